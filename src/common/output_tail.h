#pragma once
// The last bytes of an output of unknown length: appending never holds more
// than the bound, so a writer that says much costs no more than one that says
// little. The buffer is taken at the first append; without memory for it
// nothing is kept.
#include "common/memory.h"
#include "common/text.h"

#include <stddef.h>

class OutputTail {
public:
    static constexpr size_t kBound = 64 * 1024;

    void append(const char* bytes, size_t length);
    // Appends the kept bytes in the order they were written, the oldest
    // first; false when the text could not take them. `cut` tells whether
    // older ones were dropped.
    [[nodiscard]] bool appendTo(Text& text) const;
    size_t length() const { return full_ ? kBound : next_; }
    bool cut() const { return cut_; }
    void clear() { next_ = 0; full_ = false; cut_ = false; }

private:
    MemoryBlock bytes_;
    size_t next_ = 0; // where the next byte goes
    bool full_ = false;
    bool cut_ = false;
};
