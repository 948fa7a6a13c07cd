#include "common/output_cap.h"

size_t OutputCap::allow(size_t length)
{
    size_t taken = room_ < length ? static_cast<size_t>(room_) : length;
    room_ -= taken;
    reached_ |= room_ == 0 && length > 0;
    return taken;
}

bool OutputCap::reachedNow()
{
    bool now = reached_ && !told_;
    told_ |= now;
    return now;
}
