#pragma once
// The items of an argument file (@file), by the java command's rules: items
// are separated by spaces, tabs, form feeds and line ends; a single or double
// quote groups up to the same quote or the line's end, and inside quotes a
// backslash escapes the next character (\n, \r, \t and \f as in C) or, before
// a line end, joins the next line without its leading blanks; '#' outside
// quotes comments out the rest of the line, together with what had been read
// of the item it stands in. Nothing else is special: no variables, no nested
// argument files.
//
// java reads the file in pieces of 4,096 bytes and builds an item of parts:
// a part ends at a quote, at an escape and at the end of a piece, and each
// part ends at its first NUL byte, as does the item, a C string. So
// "a<NUL>b'c'" is the item "ac", and an item cut by '#' keeps the part an
// earlier piece gave it, which joins the next item. The splitter follows it,
// piece by piece, so that a file is never held whole.
#include "common/text.h"
#include "common/text_list.h"

#include <stddef.h>

// Splits the file's bytes as they come, in runs of any length.
//
//   ArgumentFileSplitter splitter(items);
//   bool split = splitter.take(run, length) && ... && splitter.finish();
class ArgumentFileSplitter {
public:
    explicit ArgumentFileSplitter(TextList& items) : items_(items) {}
    ArgumentFileSplitter(const ArgumentFileSplitter&) = delete;
    ArgumentFileSplitter& operator=(const ArgumentFileSplitter&) = delete;

    // Appends the items the bytes complete; false when memory runs out.
    [[nodiscard]] bool take(const char* bytes, size_t length);
    // Appends the last item, after the file's last bytes.
    [[nodiscard]] bool finish();

private:
    enum class State : unsigned char { FindNext, InComment, InQuote, InEscape, SkipLeadingBlanks, InItem };
    static const size_t kPieceSize = 4096;
    // Enough of the next piece to see where a character begun at a piece's
    // end ends: a multibyte character is never longer.
    static const size_t kLookahead = 16;

    bool splitFirstPiece();
    bool splitPiece(size_t length);
    bool step(const char* at, const char*& anchor);
    const char* next(const char* at) const;
    bool appendPart(const char* from, const char* to);
    bool appendPart(char c);
    void endPart();
    bool appendItem();

    TextList& items_;
    State state_ = State::FindNext;
    char quote_ = '"';
    Text item_;
    bool hasParts_ = false;
    size_t partStart_ = 0; // where the item's last part begins
    // The bytes at the next piece's start that end a character begun before it.
    size_t carried_ = 0;
    // The piece being gathered, then as much of the next one as there is room for.
    size_t held_ = 0;
    char window_[kPieceSize + kLookahead + 1];
};

// Appends the items of the file's contents; false when memory runs out.
[[nodiscard]] bool splitArgumentFile(const Text& contents, TextList& items);
