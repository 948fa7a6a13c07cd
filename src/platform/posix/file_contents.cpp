#include "platform/posix/file_contents.h"

#include <stdio.h>

bool readWholeFile(const char* path, Text& contents)
{
    contents.clear();
    FILE* stream = fopen(path, "rb");
    if (!stream)
        return false;
    char chunk[4096];
    size_t got;
    bool complete = true;
    while (complete && (got = fread(chunk, 1, sizeof chunk, stream)) > 0)
        complete = contents.append(chunk, got);
    fclose(stream);
    return complete;
}
