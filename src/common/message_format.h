#pragma once
#include "common/text.h"

// One value for a conversion of a message format: a text for %s, a number for %d.
struct FormatValue {
    FormatValue(const char* value) : text(value) {}
    FormatValue(const Text& value) : text(value.chars()) {}
    FormatValue(int value) : number(value) {}

    const char* text = "";
    int number = 0;
};

// Fills a printf-style format in which only %s (a text), %d (a signed 32-bit
// number) and %% occur, taking the values in order. The result has no length
// limit; it is empty only when memory runs out.
Text formatMessage(const char* format, const FormatValue* values, size_t count);
Text formatMessage(const char* format, const char* text);
Text formatMessage(const char* format, const char* text, int number);
Text formatMessage(const char* format, const char* first, const char* second);
