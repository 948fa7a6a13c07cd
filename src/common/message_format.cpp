#include "common/message_format.h"

namespace {

bool appendDecimal(Text& out, int number)
{
    char digits[12];
    size_t at = sizeof digits;
    bool negative = number < 0;
    // Unsigned, so that the lowest number has a magnitude too.
    unsigned value = negative ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    do {
        digits[--at] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    if (negative)
        digits[--at] = '-';
    return out.append(digits + at, sizeof digits - at);
}

}

Text formatMessage(const char* format, const FormatValue* values, size_t count)
{
    Text out;
    size_t next = 0;
    bool complete = true;
    for (const char* p = format; *p && complete; ++p) {
        if (*p != '%' || (p[1] != 's' && p[1] != 'd' && p[1] != '%')) {
            complete = out.appendChar(*p);
            continue;
        }
        ++p;
        if (*p == '%')
            complete = out.appendChar('%');
        else if (next < count && *p == 's')
            complete = out.append(values[next++].text);
        else if (next < count)
            complete = appendDecimal(out, values[next++].number);
    }
    if (!complete)
        out.clear();
    return out;
}

Text formatMessage(const char* format, const char* text)
{
    FormatValue values[] = { text };
    return formatMessage(format, values, 1);
}

Text formatMessage(const char* format, const char* text, int number)
{
    FormatValue values[] = { text, number };
    return formatMessage(format, values, 2);
}

Text formatMessage(const char* format, const char* first, const char* second)
{
    FormatValue values[] = { first, second };
    return formatMessage(format, values, 2);
}
