#include "common/text_list.h"

#include <string.h>

bool TextList::append(const char* chars, size_t length)
{
    Text item;
    return item.assign(chars, length) && items_.append(static_cast<Text&&>(item));
}

bool TextList::append(const char* chars)
{
    return append(chars, strlen(chars));
}
