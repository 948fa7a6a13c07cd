#include "common/text_list.h"

#include <string.h>

void TextList::append(const char* chars, size_t length)
{
    Text item;
    if (item.assign(chars, length))
        items_.append(static_cast<Text&&>(item));
}

void TextList::append(const char* chars)
{
    append(chars, strlen(chars));
}
