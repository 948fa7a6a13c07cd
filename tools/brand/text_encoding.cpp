#include "text_encoding.h"

namespace {

// The number of bytes of the sequence a UTF-8 lead byte starts, with the
// smallest code point that sequence may encode; 0 for a byte no sequence
// starts with.
int sequenceLength(unsigned char lead, char32_t& smallest)
{
    if (lead < 0x80) return smallest = 0, 1;
    if ((lead & 0xE0) == 0xC0) return smallest = 0x80, 2;
    if ((lead & 0xF0) == 0xE0) return smallest = 0x800, 3;
    if ((lead & 0xF8) == 0xF0) return smallest = 0x10000, 4;
    return 0;
}

}  // namespace

Outcome<std::u16string> utf16FromUtf8(const std::string& text)
{
    static const unsigned char leadMasks[] = { 0, 0x7F, 0x1F, 0x0F, 0x07 };
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        char32_t smallest = 0;
        unsigned char lead = static_cast<unsigned char>(text[i]);
        int length = sequenceLength(lead, smallest);
        if (length == 0 || text.size() - i < static_cast<size_t>(length))
            return Refusal{ "\"" + text + "\" is not valid UTF-8" };
        char32_t point = lead & leadMasks[length];
        for (int k = 1; k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return Refusal{ "\"" + text + "\" is not valid UTF-8" };
            point = point << 6 | (next & 0x3F);
        }
        // Overlong forms, surrogates and points beyond Unicode are not text.
        if (point < smallest || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
            return Refusal{ "\"" + text + "\" is not valid UTF-8" };
        if (point >= 0x10000) {
            point -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (point >> 10));
            out += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
        } else {
            out += static_cast<char16_t>(point);
        }
        i += length;
    }
    return out;
}
