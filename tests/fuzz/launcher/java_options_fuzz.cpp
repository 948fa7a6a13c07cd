// The options of Virtual Machine Parameters, turned into the machine's: the
// input's items, one a line, up to its first NUL byte; after each further NUL
// the contents of an argument file, named by its number ("@1" the first).
// A translation either names its reason in one of the known messages, or
// gives options that translate again to themselves, once argument files are
// no longer expanded: nothing the java command takes is handed on untaken.
// The first argument file, read as a user's options file, is refused with the
// file's message, or adds options that translate again to themselves.
#include "config/argument_file.h"
#include "config/java_options.h"
#include "config/user_options.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

#include <stdlib.h>
#include <string.h>

namespace {

struct ArgumentFiles {
    const char* contents[16];
    size_t lengths[16];
    size_t count = 0;
};

bool readArgumentFile(const char* path, Text& contents, const void* context)
{
    const ArgumentFiles& files = *static_cast<const ArgumentFiles*>(context);
    char* end = nullptr;
    unsigned long number = strtoul(path, &end, 10);
    if (*path < '1' || *path > '9' || *end || number > files.count)
        return false;
    FUZZ_REQUIRE(contents.assign(files.contents[number - 1], files.lengths[number - 1]));
    return true;
}

bool isKnownFormat(const char* format)
{
    const char* const formats[] = { kMissingValueFormat, kJavaCommandOptionFormat, kMainModuleOptionFormat,
                                    kMainJarOptionFormat, kArgumentFileFormat };
    for (const char* known : formats)
        if (format == known)
            return true;
    return false;
}

void checkTranslatedAgain(const JavaOptions& options)
{
    TextList again;
    FUZZ_REQUIRE(again.append("--disable-@files"));
    for (size_t i = 0; i < options.vmOptions.count(); ++i)
        FUZZ_REQUIRE(again.append(options.vmOptions.at(i)));
    JavaOptions translated;
    OptionFailure failure;
    ArgumentFiles none;
    if (!translateJavaOptions(again, readArgumentFile, &none, translated, failure)) {
        fprintf(stderr, "%s\n", failure.format ? failure.format : "out of memory");
        fprintf(stderr, "%s\n", failure.subject.chars());
        FUZZ_REQUIRE(!"translated options translate again");
    }
    FUZZ_REQUIRE(translated.vmOptions.count() == options.vmOptions.count());
    for (size_t i = 0; i < options.vmOptions.count(); ++i)
        FUZZ_REQUIRE(sameText(translated.vmOptions.at(i), options.vmOptions.at(i)));
    FUZZ_REQUIRE(!translated.hasClassPath && translated.vmLibraryKind.isEmpty() && translated.splashPath.isEmpty());
}

void checkUserOptions(const ArgumentFiles& files, const JavaOptions& parameters)
{
    if (files.count == 0)
        return;
    TextList items;
    Text contents;
    FUZZ_REQUIRE(contents.assign(files.contents[0], files.lengths[0]));
    FUZZ_REQUIRE(splitArgumentFile(contents, items));
    JavaOptions options;
    for (size_t i = 0; i < parameters.vmOptions.count(); ++i)
        FUZZ_REQUIRE(options.vmOptions.append(parameters.vmOptions.at(i)));
    size_t before = options.vmOptions.count();
    Failure failure;
    if (!takeUserOptions("user.options", items, options, failure)) {
        FUZZ_REQUIRE(failure.format == kUserOptionsFormat);
        return;
    }
    JavaOptions added;
    for (size_t i = 0; i < items.count(); ++i)
        FUZZ_REQUIRE(items.at(i).chars()[0] != '@');
    for (size_t i = before; i < options.vmOptions.count(); ++i)
        FUZZ_REQUIRE(added.vmOptions.append(options.vmOptions.at(i)));
    checkTranslatedAgain(added);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* input = reinterpret_cast<const char*>(data);
    const char* end = input + size;
    const char* nul = static_cast<const char*>(memchr(input, '\0', size));
    const char* itemsEnd = nul ? nul : end;
    TextList parameters;
    for (const char* at = input; at < itemsEnd;) {
        const char* lineEnd = static_cast<const char*>(memchr(at, '\n', static_cast<size_t>(itemsEnd - at)));
        if (!lineEnd)
            lineEnd = itemsEnd;
        FUZZ_REQUIRE(parameters.append(at, static_cast<size_t>(lineEnd - at)));
        at = lineEnd + 1;
    }
    ArgumentFiles files;
    for (const char* at = nul; at && at < end && files.count < 16; ++files.count) {
        const char* contents = at + 1;
        at = static_cast<const char*>(memchr(contents, '\0', static_cast<size_t>(end - contents)));
        files.contents[files.count] = contents;
        files.lengths[files.count] = static_cast<size_t>((at ? at : end) - contents);
    }

    JavaOptions options;
    OptionFailure failure;
    if (!translateJavaOptions(parameters, readArgumentFile, &files, options, failure)) {
        FUZZ_REQUIRE(failure.format && isKnownFormat(failure.format));
        return 0;
    }
    FUZZ_REQUIRE(options.vmLibraryKind.isEmpty() || options.vmLibraryKind.equals("client")
                 || options.vmLibraryKind.equals("server"));
    checkTranslatedAgain(options);
    checkUserOptions(files, options);
    return 0;
}
