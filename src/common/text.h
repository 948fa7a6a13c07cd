#pragma once
#include <stddef.h>

// A NUL-terminated byte string in the system's ANSI code page. An operation
// that cannot get memory leaves the text as it was and returns false; so a
// copy is made by assign, whose result is looked at like every append's.
class Text {
public:
    Text() noexcept = default;
    Text(const Text& other) = delete;
    Text(Text&& other) noexcept;
    Text& operator=(const Text& other) = delete;
    Text& operator=(Text&& other) noexcept;
    ~Text();

    const char* chars() const { return buffer_ ? buffer_ : ""; }
    size_t length() const { return length_; }
    bool isEmpty() const { return length_ == 0; }
    char at(size_t index) const { return buffer_[index]; }

    // Exact, case-sensitive comparison of the whole text.
    bool equals(const char* other) const;
    // Whether the text begins with these bytes, exactly.
    bool startsWith(const char* prefix) const;

    [[nodiscard]] bool assign(const char* chars, size_t length);
    [[nodiscard]] bool assign(const char* chars);
    [[nodiscard]] bool assign(const Text& other);
    [[nodiscard]] bool append(const char* chars);
    [[nodiscard]] bool append(const char* chars, size_t length);
    [[nodiscard]] bool append(const Text& other) { return append(other.chars(), other.length()); }
    [[nodiscard]] bool appendChar(char c) { return append(&c, 1); }

    // Room for a text of `length` bytes, so that appending up to it cannot fail.
    [[nodiscard]] bool reserve(size_t length);
    void truncate(size_t length);
    void removePrefix(size_t count);
    void setAt(size_t index, char c) { buffer_[index] = c; }
    void clear() { truncate(0); }

private:
    char* buffer_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
};
