#include "common/characters.h"

#include <ctype.h>
#include <limits.h>
#include <stdlib.h>

const char* nextCharacter(const char* position)
{
    if (!*position)
        return position;
    int length = mblen(position, MB_LEN_MAX);
    return position + (length > 1 ? length : 1);
}

bool isBlankCharacter(const char* position)
{
    return isspace(static_cast<unsigned char>(*position)) != 0;
}
