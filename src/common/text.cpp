#include "common/text.h"

#include "common/memory.h"

#include <string.h>

#if defined(__SANITIZE_ADDRESS__)
#define TEXT_MARKS_ITS_END 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TEXT_MARKS_ITS_END 1
#endif
#endif
#ifdef TEXT_MARKS_ITS_END
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

// Under AddressSanitizer a buffer's room past the terminating NUL is marked
// unreadable, so that a read past a text's end is caught although the buffer
// goes on; a buffer goes back to the allocator whole.
void moveReadableEnd(char* buffer, size_t capacity, size_t oldEnd, size_t newEnd)
{
#ifdef TEXT_MARKS_ITS_END
    if (buffer)
        __sanitizer_annotate_contiguous_container(buffer, buffer + capacity, buffer + oldEnd, buffer + newEnd);
#else
    (void)buffer, (void)capacity, (void)oldEnd, (void)newEnd;
#endif
}

}

Text::Text(Text&& other) noexcept
    : buffer_(other.buffer_), length_(other.length_), capacity_(other.capacity_)
{
    other.buffer_ = nullptr;
    other.length_ = 0;
    other.capacity_ = 0;
}

Text& Text::operator=(Text&& other) noexcept
{
    if (this != &other) {
        moveReadableEnd(buffer_, capacity_, length_ + 1, capacity_);
        releaseMemory(buffer_);
        buffer_ = other.buffer_;
        length_ = other.length_;
        capacity_ = other.capacity_;
        other.buffer_ = nullptr;
        other.length_ = 0;
        other.capacity_ = 0;
    }
    return *this;
}

Text::~Text()
{
    moveReadableEnd(buffer_, capacity_, length_ + 1, capacity_);
    releaseMemory(buffer_);
}

bool Text::equals(const char* other) const
{
    return strcmp(chars(), other) == 0;
}

bool Text::startsWith(const char* prefix) const
{
    return strncmp(chars(), prefix, strlen(prefix)) == 0;
}

bool Text::reserve(size_t length)
{
    if (length < capacity_)
        return true;
    size_t capacity = capacity_ ? capacity_ : 16;
    while (capacity <= length) {
        if (capacity > ((size_t)-1) / 2)
            return false;
        capacity *= 2;
    }
    char* buffer = static_cast<char*>(allocateMemory(capacity));
    if (!buffer)
        return false;
    memcpy(buffer, chars(), length_ + 1);
    moveReadableEnd(buffer_, capacity_, length_ + 1, capacity_);
    releaseMemory(buffer_);
    moveReadableEnd(buffer, capacity, capacity, length_ + 1);
    buffer_ = buffer;
    capacity_ = capacity;
    return true;
}

bool Text::assign(const char* chars, size_t length)
{
    if (length == 0) {
        clear();
        return true;
    }
    if (chars >= buffer_ && buffer_ && chars <= buffer_ + length_) {
        // A part of this very text: move it to the front.
        memmove(buffer_, chars, length);
        truncate(length);
        return true;
    }
    if (!reserve(length))
        return false;
    moveReadableEnd(buffer_, capacity_, length_ + 1, length + 1);
    if (length)
        memcpy(buffer_, chars, length);
    length_ = length;
    if (buffer_)
        buffer_[length_] = '\0';
    return true;
}

bool Text::assign(const char* chars)
{
    return assign(chars, strlen(chars));
}

// Itself too: its own bytes stay where they are.
bool Text::assign(const Text& other)
{
    return assign(other.chars(), other.length());
}

bool Text::append(const char* chars)
{
    return append(chars, strlen(chars));
}

bool Text::append(const char* chars, size_t length)
{
    if (length == 0)
        return true;
    if (length > ((size_t)-1) / 2 - length_)
        return false;
    if (buffer_ && chars >= buffer_ && chars < buffer_ + capacity_) {
        Text copy;
        return copy.assign(chars, length) && append(copy.chars(), length);
    }
    if (!reserve(length_ + length))
        return false;
    moveReadableEnd(buffer_, capacity_, length_ + 1, length_ + length + 1);
    memcpy(buffer_ + length_, chars, length);
    length_ += length;
    buffer_[length_] = '\0';
    return true;
}

void Text::truncate(size_t length)
{
    if (length < length_) {
        buffer_[length] = '\0';
        moveReadableEnd(buffer_, capacity_, length_ + 1, length + 1);
        length_ = length;
    }
}

void Text::removePrefix(size_t count)
{
    if (count >= length_) {
        clear();
        return;
    }
    memmove(buffer_, buffer_ + count, length_ - count + 1);
    moveReadableEnd(buffer_, capacity_, length_ + 1, length_ - count + 1);
    length_ -= count;
}
