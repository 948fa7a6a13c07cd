#pragma once
// What the launcher's fuzz targets share: the input as a file the code under
// test opens by name, and comparisons of its texts.
#include "common/text.h"
#include "fuzz_check.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <stdlib.h>
#include <unistd.h>

// A file of this process's own, rewritten with each input and removed at the
// end of the run; in memory where the system offers /dev/shm.
class InputFile {
public:
    explicit InputFile(const char* name)
    {
        snprintf(path_, sizeof path_, "%s/%s-%ld", access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp", name,
                 static_cast<long>(getpid()));
    }
    ~InputFile() { unlink(path_); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const char* path() const { return path_; }

    void write(const uint8_t* data, size_t size)
    {
        FILE* file = fopen(path_, "wb");
        bool written = file && fwrite(data, 1, size, file) == size;
        if (!file || fclose(file) != 0 || !written) {
            perror(path_);
            abort();
        }
    }

private:
    char path_[256];
};

inline bool sameText(const Text& a, const char* b, size_t length)
{
    return a.length() == length && memcmp(a.chars(), b, length) == 0;
}

inline bool sameText(const Text& a, const Text& b)
{
    return sameText(a, b.chars(), b.length());
}

// The input's first line (without its '\n') and the rest.
inline void splitFirstLine(const uint8_t* data, size_t size, Text& line, const uint8_t*& rest, size_t& restSize)
{
    const void* end = memchr(data, '\n', size);
    size_t length = end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - data) : size;
    if (!line.assign(reinterpret_cast<const char*>(data), length))
        abort();
    rest = data + (end ? length + 1 : length);
    restSize = size - (end ? length + 1 : length);
}
