#include "printable_text.h"

namespace {

void appendEscaped(std::string& out, unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
}

bool printableAscii(unsigned char byte) { return byte >= 0x20 && byte < 0x7F; }

// The length of the well-formed UTF-8 sequence of two to four bytes at i, or 0.
size_t utf8SequenceAt(const std::string& text, size_t i)
{
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || text.size() - i < length)
        return 0;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 0;
    unsigned char second = static_cast<unsigned char>(text[i + 1]);
    // C1 controls, overlong forms, surrogates and points beyond Unicode.
    if ((lead == 0xC2 && second < 0xA0) || (lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

}  // namespace

std::string printableName(const std::string& bytes)
{
    std::string out;
    for (char c : bytes) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte == '\\')
            out += "\\\\";
        else if (printableAscii(byte))
            out += c;
        else
            appendEscaped(out, byte);
    }
    return out;
}

std::string printableLine(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        size_t sequence = byte < 0x80 ? 0 : utf8SequenceAt(text, i);
        if (printableAscii(byte) || sequence) {
            size_t length = sequence ? sequence : 1;
            out.append(text, i, length);
            i += length;
        } else {
            appendEscaped(out, byte);
            ++i;
        }
    }
    return out;
}
