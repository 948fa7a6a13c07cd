#include "common/command_line_arguments.h"

#include <string.h>

Utf16Text::Utf16Text(Utf16Text&& other) noexcept : block_(other.block_.release()), length_(other.length_)
{
    other.length_ = 0;
}

Utf16Text& Utf16Text::operator=(Utf16Text&& other) noexcept
{
    if (this != &other) {
        block_.reset(other.block_.release());
        length_ = other.length_;
        other.length_ = 0;
    }
    return *this;
}

bool Utf16Text::assign(const char16_t* units, size_t length)
{
    block_.reset();
    length_ = 0;
    if (length == 0)
        return true;
    if (length > ((size_t)-1) / sizeof(char16_t))
        return false;
    block_.reset(static_cast<char*>(allocateMemory(length * sizeof(char16_t))));
    if (!block_.isValid())
        return false;
    memcpy(block_.get(), units, length * sizeof(char16_t));
    length_ = length;
    return true;
}

bool CommandLineArguments::append(const Text& text)
{
    return add(text, Utf16Text());
}

bool CommandLineArguments::append(const Text& text, const char16_t* units, size_t length)
{
    Utf16Text exact;
    return exact.assign(units, length) && add(text, static_cast<Utf16Text&&>(exact));
}

bool CommandLineArguments::add(const Text& text, Utf16Text&& exact)
{
    if (!exact_.append(static_cast<Utf16Text&&>(exact)))
        return false;
    if (texts_.append(text))
        return true;
    exact_.removeLast();
    return false;
}
