#pragma once
#include "common/list.h"
#include "common/text.h"

#include <stddef.h>

// An ordered, growable list of texts; duplicates and empty elements allowed.
// An element that cannot get memory is dropped silently.
class TextList {
public:
    size_t count() const { return items_.count(); }
    const Text& at(size_t index) const { return items_.at(index); }

    void append(const char* chars, size_t length);
    void append(const char* chars);
    void append(const Text& text) { append(text.chars(), text.length()); }
    void clear() { items_.clear(); }

private:
    List<Text> items_;
};
