#include "platform/process.h"

#include "common/argument_splitting.h"
#include "common/characters.h"
#include "platform/win32/code_page.h"

#include <windows.h>

namespace {

// A blank as the code page classes it, as when the line was split in the
// code page: a character it holds in one byte, and nothing else.
bool isBlankUnit(char16_t unit)
{
    wchar_t units[1] = { static_cast<wchar_t>(unit) };
    Text converted;
    return convertToCodePage(units, 1, converted) && converted.length() == 1
        && isBlankCharacter(converted.chars());
}

}

namespace platform {

// The command line in UTF-16: GetCommandLineA gives a best-fit look-alike of
// an argument outside the code page ("Lukasz.txt" for "Łukasz.txt").
bool commandLineArguments(CommandLineArguments& arguments)
{
    const wchar_t* line = GetCommandLineW();
    const char16_t* units = reinterpret_cast<const char16_t*>(line);
    List<TextSpan> spans;
    if (!splitWideCommandLine(units, static_cast<size_t>(lstrlenW(line)), isBlankUnit, spans))
        return false;
    for (size_t i = 0; i < spans.count(); ++i) {
        const TextSpan& span = spans.at(i);
        Text argument;
        bool exact = convertToCodePage(line + span.start, span.length, argument);
        if ((!exact && argument.isEmpty())
            || !(exact ? arguments.append(argument) : arguments.append(argument, units + span.start, span.length)))
            return false;
    }
    return true;
}

}
