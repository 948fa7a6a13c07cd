#include "platform/posix/utf8_conversion.h"

#include "common/unique_handle.h"

#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <string.h>

namespace {

using Converter = UniqueHandle<iconv_t, iconv_close, -1>;

// The bytes of the UTF-8 character at p (at least 1, at most what is left).
size_t utf8SequenceLength(const unsigned char* p, size_t left)
{
    size_t length = *p >= 0xF0 ? 4 : *p >= 0xE0 ? 3 : *p >= 0xC0 ? 2 : 1;
    if (length > left)
        return 1;
    for (size_t i = 1; i < length; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return 1;
    return length;
}

}

bool utf8ToLocaleEncoding(const char* utf8, size_t length, Text& converted)
{
    converted.clear();
    const char* codeset = nl_langinfo(CODESET);
    if (strcmp(codeset, "UTF-8") == 0)
        return converted.assign(utf8, length);
    Converter converter(iconv_open(codeset, "UTF-8"));
    if (!converter.isValid())
        return false;
    char* in = const_cast<char*>(utf8);
    size_t inLeft = length;
    bool complete = true;
    while (complete && inLeft > 0) {
        char chunk[256];
        char* out = chunk;
        size_t outLeft = sizeof chunk;
        size_t result = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        int error = errno;
        complete = converted.append(chunk, sizeof chunk - outLeft);
        if (result == static_cast<size_t>(-1) && error != E2BIG) {
            size_t skipped = utf8SequenceLength(reinterpret_cast<unsigned char*>(in), inLeft);
            in += skipped;
            inLeft -= skipped;
            // Windows converts through UTF-16: a character beyond its basic
            // plane is two units there, and so two '?'.
            complete = complete && converted.append("??", skipped == 4 ? 2 : 1);
        }
    }
    return complete;
}
