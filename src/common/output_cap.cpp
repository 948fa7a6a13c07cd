#include "common/output_cap.h"

size_t OutputCap::allow(size_t length)
{
    unsigned long long room = written_ < most_ ? most_ - written_ : 0;
    size_t taken = room < length ? static_cast<size_t>(room) : length;
    written_ += taken;
    if (written_ >= most_ && length > 0)
        reached_ = true;
    return taken;
}

bool OutputCap::reachedNow()
{
    if (!reached_ || told_)
        return false;
    told_ = true;
    return true;
}
