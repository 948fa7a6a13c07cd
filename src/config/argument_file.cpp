#include "config/argument_file.h"

#include "common/characters.h"

#include <string.h>

namespace {

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\n' || c == '\r';
}

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

char escaped(char c)
{
    switch (c) {
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'f': return '\f';
    default: return c;
    }
}

}

bool ArgumentFileSplitter::take(const char* bytes, size_t length)
{
    const size_t capacity = sizeof window_ - 1;
    while (length > 0) {
        size_t count = capacity - held_ < length ? capacity - held_ : length;
        memcpy(window_ + held_, bytes, count);
        held_ += count;
        bytes += count;
        length -= count;
        if (held_ == capacity && !splitFirstPiece())
            return false;
    }
    return true;
}

bool ArgumentFileSplitter::finish()
{
    if (held_ > kPieceSize && !splitFirstPiece())
        return false;
    if (!splitPiece(held_))
        return false;
    held_ = 0;
    if (state_ != State::InItem && state_ != State::InQuote)
        return true;
    // An item cut by the end of the file counts only when something of it was read.
    return !hasParts_ || appendItem();
}

bool ArgumentFileSplitter::splitFirstPiece()
{
    if (!splitPiece(kPieceSize))
        return false;
    held_ -= kPieceSize;
    memmove(window_, window_ + kPieceSize, held_);
    return true;
}

// Walks the piece as the java command's own reader does, a state machine
// over whole characters of the code page, so that the second byte of a
// double-byte character never counts as a quote or a backslash.
bool ArgumentFileSplitter::splitPiece(size_t length)
{
    window_[held_] = '\0';
    const char* const end = window_ + length;
    const char* anchor = window_;
    const char* at = window_ + carried_;
    carried_ = 0;
    for (; at < end; at = next(at)) {
        char c = *at;
        if (state_ == State::FindNext || state_ == State::SkipLeadingBlanks) {
            while (isSeparator(c)) {
                if (++at >= end)
                    return true;
                c = *at;
            }
            state_ = state_ == State::FindNext ? State::InItem : State::InQuote;
            anchor = at;
        } else if (state_ == State::InEscape) {
            // A backslash before a line end joins the lines.
            if (isLineEnd(c))
                state_ = State::SkipLeadingBlanks;
            else if (!appendPart(escaped(c)))
                return false;
            else
                state_ = State::InQuote;
            // The rest of a character of two bytes follows as it is.
            anchor = at + 1;
            continue;
        } else if (state_ == State::InComment) {
            while (!isLineEnd(c)) {
                if (++at >= end)
                    return true;
                c = *at;
            }
            anchor = at + 1;
            state_ = State::FindNext;
            continue;
        }
        if (!step(at, anchor))
            return false;
    }
    carried_ = static_cast<size_t>(at - end);
    if ((state_ == State::InItem || state_ == State::InQuote) && anchor < end)
        return appendPart(anchor, end);
    return true;
}

// One character of an item or of a quote.
bool ArgumentFileSplitter::step(const char* at, const char*& anchor)
{
    char c = *at;
    switch (c) {
    case ' ':
    case '\t':
    case '\f':
        if (state_ == State::InQuote)
            return true;
        // A blank outside quotes ends the item; a line end ends even a quote.
        [[fallthrough]];
    case '\n':
    case '\r':
        if (!appendPart(anchor, at) || !appendItem())
            return false;
        anchor = at + 1;
        state_ = State::FindNext;
        return true;
    case '#':
        if (state_ == State::InQuote)
            return true;
        state_ = State::InComment;
        anchor = at + 1;
        return true;
    case '\\':
        if (state_ != State::InQuote)
            return true;
        if (!appendPart(anchor, at))
            return false;
        state_ = State::InEscape;
        anchor = at + 1;
        return true;
    case '\'':
    case '"':
        if (state_ == State::InQuote && quote_ != c)
            return true;
        if (anchor != at && !appendPart(anchor, at))
            return false;
        anchor = at + 1;
        if (state_ == State::InItem) {
            quote_ = c;
            state_ = State::InQuote;
        } else {
            state_ = State::InItem;
        }
        return true;
    default:
        return true;
    }
}

// The next character, which may end in the next piece.
const char* ArgumentFileSplitter::next(const char* at) const
{
    // A character that begins with a byte below 0x80 is that byte, in every code page.
    if (static_cast<unsigned char>(*at) < 0x80)
        return at + 1;
    const char* after = nextCharacter(at);
    const char* held = window_ + held_;
    return after < held ? after : held;
}

bool ArgumentFileSplitter::appendPart(const char* from, const char* to)
{
    endPart();
    hasParts_ = true;
    return item_.append(from, static_cast<size_t>(to - from));
}

bool ArgumentFileSplitter::appendPart(char c)
{
    endPart();
    hasParts_ = true;
    return item_.appendChar(c);
}

// java joins an item's parts as C strings, so each ends at its first NUL.
void ArgumentFileSplitter::endPart()
{
    const char* part = item_.chars() + partStart_;
    const void* nul = memchr(part, '\0', item_.length() - partStart_);
    if (nul)
        item_.truncate(static_cast<size_t>(static_cast<const char*>(nul) - item_.chars()));
    partStart_ = item_.length();
}

bool ArgumentFileSplitter::appendItem()
{
    endPart();
    if (!items_.append(item_))
        return false;
    item_.clear();
    hasParts_ = false;
    partStart_ = 0;
    return true;
}

bool splitArgumentFile(const Text& contents, TextList& items)
{
    ArgumentFileSplitter splitter(items);
    return splitter.take(contents.chars(), contents.length()) && splitter.finish();
}
