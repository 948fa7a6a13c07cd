#pragma once
// The arguments after the program's path. Each is a text in the code page, as
// the launch works with it; where the system gives the command line in UTF-16
// (Windows) and the code page cannot hold an argument exactly (a file dropped
// on the application whose name holds any character), its exact UTF-16 is
// kept beside it, for the String[] handed to main.
//
//   CommandLineArguments arguments;
//   if (!arguments.append(text, units, length)) ... out of memory
//   arguments.exact(i).isEmpty()  // the text is exact
#include "common/list.h"
#include "common/memory.h"
#include "common/text.h"
#include "common/text_list.h"

#include <stddef.h>

// UTF-16 code units as the system gave them; empty when there are none.
class Utf16Text {
public:
    Utf16Text() = default;
    Utf16Text(Utf16Text&& other) noexcept;
    Utf16Text& operator=(Utf16Text&& other) noexcept;

    const char16_t* units() const { return reinterpret_cast<const char16_t*>(block_.get()); }
    size_t length() const { return length_; }
    bool isEmpty() const { return length_ == 0; }

    // False when memory runs out; the text is then empty.
    [[nodiscard]] bool assign(const char16_t* units, size_t length);

private:
    MemoryBlock block_;
    size_t length_ = 0;
};

class CommandLineArguments {
public:
    size_t count() const { return texts_.count(); }
    const Text& text(size_t index) const { return texts_.at(index); }
    // The argument's exact UTF-16 where its text is not exact; else empty.
    const Utf16Text& exact(size_t index) const { return exact_.at(index); }
    // The texts, for what takes them as a list.
    const TextList& texts() const { return texts_; }

    // An argument whose text is exact. False when memory runs out, and
    // nothing is added.
    [[nodiscard]] bool append(const Text& text);
    // An argument whose text stands in for its exact units.
    [[nodiscard]] bool append(const Text& text, const char16_t* units, size_t length);

private:
    bool add(const Text& text, Utf16Text&& exact);

    TextList texts_;
    List<Utf16Text> exact_; // one for each text
};
