// Answers settings-file queries with the platform's profile reader:
// GetPrivateProfileStringA on Windows, the launcher's own reader on Linux; the
// answers of the two builds are compared under Wine.
//
//   profile_dump QUERIES
//
// QUERIES holds one query a line: MODE FILE SECTION KEY, separated by single
// spaces, the last three written in hexadecimal. MODE is the buffer size handed
// to the reader (platform::readProfileString), or "ini" for the
// launcher's own read of a whole value (readIniValue), or "given" for whether
// the reader finds a value (platform::profileValueGiven), answered "given" or
// "none". Otherwise one answer line a query:
// the count returned, a space, and the bytes before the count in hexadecimal;
// for a buffer size, also " unterminated" when no NUL follows at the count.
#include "config/ini_value.h"
#include "platform/process.h"
#include "platform/settings_reader.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Decodes one hexadecimal field in place; returns the field after it.
char* decodeField(char* field)
{
    char* end = strchr(field, ' ');
    if (end)
        *end++ = '\0';
    char* out = field;
    for (char* in = field; in[0] && in[1]; in += 2) {
        char pair[3] = { in[0], in[1], '\0' };
        *out++ = static_cast<char>(strtoul(pair, nullptr, 16));
    }
    *out = '\0';
    return end ? end : field + strlen(field);
}

void printAnswer(size_t count, const char* bytes, bool terminated)
{
    printf("%lu ", static_cast<unsigned long>(count));
    for (size_t i = 0; i < count; ++i)
        printf("%02X", static_cast<unsigned char>(bytes[i]));
    puts(terminated ? "" : " unterminated");
}

}

int main(int argc, char** argv)
{
    platform::StartedPlatform started(nullptr);
    FILE* queries = argc == 2 ? fopen(argv[1], "r") : nullptr;
    if (!queries) {
        fputs("usage: profile_dump QUERIES\n", stderr);
        return 2;
    }
    static char line[1 << 16];
    while (fgets(line, sizeof line, queries)) {
        line[strcspn(line, "\r\n")] = '\0';
        char* file = strchr(line, ' ');
        if (!file)
            continue;
        *file++ = '\0';
        char* section = decodeField(file);
        char* key = decodeField(section);
        decodeField(key);
        if (strcmp(line, "given") == 0) {
            puts(platform::profileValueGiven(file, section, key) ? "given" : "none");
            continue;
        }
        if (strcmp(line, "ini") == 0) {
            Text value = readIniValue(file, section, key);
            printAnswer(value.length(), value.chars(), true);
            continue;
        }
        size_t size = strtoul(line, nullptr, 10);
        char* buffer = static_cast<char*>(malloc(size + 1));
        memset(buffer, 0x7F, size + 1);
        size_t count = platform::readProfileString(file, section, key, buffer, size);
        printAnswer(count, buffer, count < size && buffer[count] == '\0');
        free(buffer);
    }
    fclose(queries);
    return 0;
}
