#include "common/argument_splitting.h"

#include "common/characters.h"
#include "common/text_scan.h"

#include <string.h>

bool splitCommandLineText(const char* commandLine, TextList& arguments)
{
    Text line;
    if (!line.assign(commandLine, strlen(commandLine)))
        return false;
    trimBlanks(line);
    TextList items;
    if (!tokenizeParameters(line, items))
        return false;
    for (size_t i = 1; i < items.count(); ++i)
        if (!arguments.append(items.at(i)))
            return false;
    return true;
}

bool splitWideCommandLine(const char16_t* line, size_t length, bool (*isBlank)(char16_t),
                          List<TextSpan>& arguments)
{
    size_t at = 0;
    while (at < length && isBlank(line[at]))
        ++at;
    while (length > at && isBlank(line[length - 1]))
        --length;
    for (bool programPath = true; at < length; programPath = false) {
        char16_t end = line[at] == u'"' ? u'"' : u' ';
        size_t start = end == u'"' ? at + 1 : at;
        size_t stop = start;
        while (stop < length && line[stop] != end)
            ++stop;
        if (!programPath && !arguments.append(TextSpan { start, stop - start }))
            return false;
        at = end == u'"' ? stop + 1 : stop;
        while (at < length && line[at] == u' ')
            ++at;
    }
    return true;
}

bool tokenizeParameters(const Text& text, TextList& items)
{
    const char* chars = text.chars();
    size_t at = 0;
    while (at < text.length()) {
        bool quoted = text.at(at) == '"';
        size_t start = quoted ? at + 1 : at;
        size_t end = findCharacter(text, quoted ? '"' : ' ', start);
        if (end == kNotFound)
            return items.append(chars + start, text.length() - start);
        if (!items.append(chars + start, end - start))
            return false;
        at = skipCharacter(text, ' ', quoted ? end + 1 : end);
    }
    return true;
}

bool splitAtSeparator(TextList& pieces, const Text& text, const Text& separator)
{
    pieces.clear();
    size_t start = 0;
    for (size_t found = findText(text, separator, 0); found != kNotFound;
         found = findText(text, separator, start)) {
        if (!pieces.append(text.chars() + start, found - start))
            return false;
        start = found + separator.length();
    }
    return pieces.append(text.chars() + start, text.length() - start);
}

int findArgument(const TextList& arguments, const char* wanted)
{
    for (size_t i = 0; i < arguments.count(); ++i)
        if (arguments.at(i).equals(wanted))
            return static_cast<int>(i);
    return -1;
}

void trimBlanks(Text& text)
{
    const char* chars = text.chars();
    const char* p = chars;
    while (*p && isBlankCharacter(p))
        p = nextCharacter(p);
    text.removePrefix(static_cast<size_t>(p - chars));

    chars = text.chars();
    const char* runStart = nullptr;
    for (p = chars; *p; p = nextCharacter(p)) {
        if (!isBlankCharacter(p))
            runStart = nullptr;
        else if (!runStart)
            runStart = p;
    }
    if (runStart)
        text.truncate(static_cast<size_t>(runStart - chars));
}
