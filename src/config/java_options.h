#pragma once
// "Virtual Machine Parameters" take what the java command takes before the
// main class; this turns them into what the virtual machine's invocation
// interface understands, the way the JDK's own launcher does:
//
//   --add-opens java.base/java.lang=ALL-UNNAMED  ->  --add-opens=java.base/java.lang=ALL-UNNAMED
//   -p mods                                      ->  --module-path=mods
//   @options.txt                                 ->  the items of the file, in its place
//   -cp lib/extra.jar                            ->  appended to the class path option
//   -server                                      ->  the runtime's server VM library
//
// Anything it does not know is handed on unchanged, in its place.
#include "common/text.h"
#include "common/text_list.h"

// What the parameters say besides the options for the machine.
struct JavaOptions {
    TextList vmOptions;    // in order, for the machine
    bool hasClassPath = false;
    Text classPath;        // the value of the last -cp, -classpath or --class-path
    Text vmLibraryKind;    // "client" or "server" (the last -client or -server), or empty
    Text splashPath;       // the file of the last -splash:, or empty
};

// Why the parameters cannot be taken: a message format with one %s, and the
// text for it (the option or the file). A null format means memory ran out.
struct OptionFailure {
    const char* format = nullptr;
    Text subject;
};

// What became of an argument file.
enum class ArgumentFileOutcome { Split, CannotRead, TooLarge, OutOfMemory };
// Appends the items of an argument file as it reads it.
using ArgumentFileSplitting = ArgumentFileOutcome (*)(const char* path, TextList& items, const void* context);
// Splits the file as the system names it (a relative path from the current
// directory), piece by piece; one larger than java reads is not read at all.
ArgumentFileOutcome splitArgumentFileAt(const char* path, TextList& items, const void* context);
// The same for a file of at most `largest` bytes.
ArgumentFileOutcome splitArgumentFileUpTo(const char* path, unsigned long long largest, TextList& items);
// The contents of an argument file, read whole; false when it cannot be read.
using ArgumentFileReader = bool (*)(const char* path, Text& contents, const void* context);

// The parameters as split from the setting, names already expanded, then
// options whose argument files are expanded already (JDK_JAVA_OPTIONS'),
// taken as if they followed them. True with the result; false with the
// reason.
[[nodiscard]] bool translateJavaOptions(const TextList& parameters, ArgumentFileSplitting splitting,
                                        const void* context, JavaOptions& result, OptionFailure& failure,
                                        const TextList* expandedAfter = nullptr);
[[nodiscard]] bool translateJavaOptions(const TextList& parameters, ArgumentFileReader reader, const void* context,
                                        JavaOptions& result, OptionFailure& failure);

// The class path option with the value of -cp behind the setting's own
// entries, separated as the system separates them.
[[nodiscard]] bool appendOptionClassPath(Text& classPathOption, bool settingGiven, const JavaOptions& options);

extern const char kMissingValueFormat[];
extern const char kJavaCommandOptionFormat[];
extern const char kMainModuleOptionFormat[];
extern const char kMainJarOptionFormat[];
extern const char kArgumentFileFormat[];
extern const char kArgumentFileTooLargeFormat[];
