#include "launcher/argument_splitting.h"

#include "common/text_scan.h"
#include "platform/platform.h"

#include <string.h>

void splitCommandLine(TextList& arguments)
{
    platform::commandLineArguments(arguments);
}

void splitCommandLineText(const char* commandLine, TextList& arguments)
{
    Text line(commandLine);
    trimBlanks(line);
    TextList items;
    tokenizeParameters(line, items);
    for (size_t i = 1; i < items.count(); ++i)
        arguments.append(items.at(i));
}

void tokenizeParameters(const Text& text, TextList& items)
{
    const char* chars = text.chars();
    size_t at = 0;
    while (at < text.length()) {
        if (text.at(at) == '"') {
            size_t start = at + 1;
            size_t close = findCharacter(text, '"', start);
            if (close == kNotFound) {
                items.append(chars + start, text.length() - start);
                return;
            }
            items.append(chars + start, close - start);
            at = skipCharacter(text, ' ', close + 1);
        } else {
            size_t space = findCharacter(text, ' ', at);
            if (space == kNotFound) {
                items.append(chars + at, text.length() - at);
                return;
            }
            items.append(chars + at, space - at);
            at = skipCharacter(text, ' ', space);
        }
    }
}

void splitAtSeparator(TextList& pieces, const Text& text, const Text& separator)
{
    pieces.clear();
    size_t start = 0;
    for (size_t found = findText(text, separator, 0); found != kNotFound;
         found = findText(text, separator, start)) {
        pieces.append(text.chars() + start, found - start);
        start = found + separator.length();
    }
    pieces.append(text.chars() + start, text.length() - start);
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
    while (*p && platform::isBlankCharacter(p))
        p = platform::nextCharacter(p);
    text.removePrefix(static_cast<size_t>(p - chars));

    chars = text.chars();
    const char* runStart = nullptr;
    for (p = chars; *p; p = platform::nextCharacter(p)) {
        if (!platform::isBlankCharacter(p))
            runStart = nullptr;
        else if (!runStart)
            runStart = p;
    }
    if (runStart)
        text.truncate(static_cast<size_t>(runStart - chars));
}
