#include "common/output_tail.h"

#include <string.h>

void OutputTail::append(const char* bytes, size_t length)
{
    if (!bytes_.isValid())
        bytes_.reset(static_cast<char*>(allocateMemory(kBound)));
    if (!bytes_.isValid())
        return;
    if (length > kBound) {
        bytes += length - kBound;
        length = kBound;
        cut_ = true;
    }
    while (length > 0) {
        // Once the buffer is full, every byte written overwrites the oldest.
        if (full_)
            cut_ = true;
        size_t room = kBound - next_;
        size_t part = length < room ? length : room;
        memcpy(bytes_.get() + next_, bytes, part);
        bytes += part;
        length -= part;
        next_ += part;
        if (next_ == kBound) {
            next_ = 0;
            full_ = true;
        }
    }
}

bool OutputTail::appendTo(Text& text) const
{
    if (!full_)
        return text.append(bytes_.get(), next_);
    return text.append(bytes_.get() + next_, kBound - next_) && text.append(bytes_.get(), next_);
}
