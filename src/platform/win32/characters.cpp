#include "common/characters.h"

#include <windows.h>

const char* nextCharacter(const char* position)
{
    return CharNextA(position);
}

bool isBlankCharacter(const char* position)
{
    WORD type = 0;
    if (!GetStringTypeExA(GetThreadLocale(), CT_CTYPE1, position, 1, &type))
        return false;
    return (type & C1_SPACE) != 0;
}
