#include "common/output_heading.h"

namespace {

bool appendDigits(Text& text, int number, int width)
{
    char digits[12];
    int count = 0;
    unsigned value = number < 0 ? 0u : static_cast<unsigned>(number);
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && count < 11);
    while (count < width && count < 11)
        digits[count++] = '0';
    while (count > 0)
        if (!text.appendChar(digits[--count]))
            return false;
    return true;
}

}

Text outputHeading(const LocalTime& time, const Text& executablePath, const char* lineEnd)
{
    Text line;
    bool made = appendDigits(line, time.year, 4) && line.appendChar('-') && appendDigits(line, time.month, 2)
        && line.appendChar('-') && appendDigits(line, time.day, 2) && line.appendChar(' ')
        && appendDigits(line, time.hour, 2) && line.appendChar(':') && appendDigits(line, time.minute, 2)
        && line.appendChar(':') && appendDigits(line, time.second, 2) && line.appendChar(' ')
        && line.append(executablePath) && line.append(lineEnd);
    return made ? line : Text();
}

Text decimalText(unsigned long long number)
{
    char digits[24];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number > 0);
    Text text;
    while (count > 0)
        if (!text.appendChar(digits[--count]))
            return Text();
    return text;
}
