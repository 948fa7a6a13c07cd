#pragma once
#include "common/list.h"
#include "common/text.h"

#include <stddef.h>

// An ordered, growable list of texts; duplicates and empty elements allowed.
// An element that cannot get memory is not added, and append says so.
class TextList {
public:
    size_t count() const { return items_.count(); }
    const Text& at(size_t index) const { return items_.at(index); }

    [[nodiscard]] bool append(const char* chars, size_t length);
    [[nodiscard]] bool append(const char* chars);
    [[nodiscard]] bool append(const Text& text) { return append(text.chars(), text.length()); }
    void clear() { items_.clear(); }
    void exchange(TextList& other) { items_.exchange(other.items_); }

private:
    List<Text> items_;
};
