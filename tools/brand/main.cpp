// brand: copies a launcher executable to a new file that carries an
// application's identity (see command_line.h and kUsage).
#include "branding.h"
#include "command_line.h"
#include "file_system.h"
#include "printable_text.h"

#include <new>
#include <stdio.h>
#include <stdlib.h>

namespace {

enum ExitCode { kDone = 0, kFailed = 1, kWrongCommandLine = 2 };

int fail(const std::string& message, int code)
{
    fprintf(stderr, "brand: %s\n", printableLine(message).c_str());
    return code;
}

// Built without exceptions, the tool would otherwise abort on std::bad_alloc.
// Nothing is being written while memory is still being taken.
void outOfMemory()
{
    fputs("brand: out of memory\n", stderr);
    exit(kFailed);
}

Outcome<Branding> brandingFor(const CommandLine& line)
{
    std::vector<IconFile> files;
    for (const std::string& path : line.iconPaths) {
        Outcome<Bytes> icon = readWholeFile(path);
        if (!icon)
            return icon.refusal();
        files.push_back(IconFile{ path, icon.value() });
    }
    Branding branding{ fileNameOf(line.output), {}, line.identity, line.manifest, line.subsystem };
    if (!files.empty()) {
        Outcome<std::vector<IconImage>> images = iconImagesFromFiles(files);
        if (!images)
            return images.refusal();
        branding.icons = images.value();
    }
    return branding;
}

}  // namespace

int main(int argc, char** argv)
{
    std::set_new_handler(outOfMemory);
    Outcome<CommandLine> line = parseCommandLine(programArguments(argc, argv));
    if (!line)
        return fail(line.message() + " (brand --help describes the options)", kWrongCommandLine);
    if (line.value().help) {
        fputs(kUsage, stdout);
        return kDone;
    }
    const CommandLine& request = line.value();
    if (sameFile(request.input, request.output))
        return fail("--in and --out name the same file: the launcher is never changed in place", kWrongCommandLine);
    Outcome<Bytes> launcher = readWholeFile(request.input);
    if (!launcher)
        return fail(launcher.message(), kFailed);
    Outcome<Branding> branding = brandingFor(request);
    if (!branding)
        return fail(branding.message(), kFailed);
    Outcome<Bytes> branded = brandExecutable(launcher.value(), branding.value());
    if (!branded)
        return fail(request.input + ": " + branded.message(), kFailed);
    Status readBack = checkReadsBack(branded.value(), branding.value());
    if (!readBack)
        return fail(request.input + ": " + readBack.message(), kFailed);
    Status written = replaceFile(request.output, branded.value());
    if (!written)
        return fail(written.message(), kFailed);
    return kDone;
}
