#pragma once
// How much of a run's output its file may take: the file may grow to twice
// the limit (the bytes it held at the start count), then it takes one line
// saying so, and nothing more. The limit keeps a file that no one reads from
// filling the disk; the line tells whoever reads it why the output ends.
//
//   OutputCap cap(sizeAtStart, 2 * limit, stopLine);
//   size_t taken = cap.allow(length);   // write the first `taken` bytes
//   if (cap.reachedNow())
//       write cap.stopLine();
#include "common/text.h"

#include <stddef.h>

class OutputCap {
public:
    OutputCap() = default;
    OutputCap(unsigned long long written, unsigned long long most, Text&& stopLine)
        : room_(written < most ? most - written : 0), stopLine_(static_cast<Text&&>(stopLine))
    {
    }

    // How many of the next `length` bytes the file takes.
    size_t allow(size_t length);
    // True once: after the call of allow() that reached the cap.
    bool reachedNow();
    const Text& stopLine() const { return stopLine_; }

private:
    unsigned long long room_ = 0;
    Text stopLine_;
    bool reached_ = false;
    bool told_ = false;
};
