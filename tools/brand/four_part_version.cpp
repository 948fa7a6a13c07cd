#include "four_part_version.h"

std::string FourPartVersion::text() const
{
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "." +
           std::to_string(parts[3]);
}

Outcome<FourPartVersion> parseFourPartVersion(const std::string& text)
{
    Refusal malformed{ "\"" + text + "\" is not a version of four numbers 0-65535 (A.B.C.D)" };
    FourPartVersion version{};
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && (at >= text.size() || text[at++] != '.'))
            return malformed;
        uint32_t value = 0;
        size_t digits = 0;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++digits) {
            value = value * 10 + static_cast<uint32_t>(text[at] - '0');
            if (value > 0xFFFF)
                return malformed;
        }
        if (digits == 0)
            return malformed;
        version.parts[part] = static_cast<uint16_t>(value);
    }
    if (at != text.size())
        return malformed;
    return version;
}
