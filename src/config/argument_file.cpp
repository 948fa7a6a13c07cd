#include "config/argument_file.h"

#include "platform/platform.h"

namespace {

enum class State { FindNext, InComment, InQuote, InEscape, SkipLeadingBlanks, InItem };

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

// Walks the contents as the java command's own reader does, a state machine
// over whole characters of the code page, so that the second byte of a
// double-byte character never counts as a quote or a backslash.
class Splitter {
public:
    Splitter(const Text& contents, TextList& items) : text_(contents.chars()), end_(text_ + contents.length()), items_(items) {}

    bool run()
    {
        const char* anchor = text_;
        for (const char* at = text_; at < end_; at = next(at)) {
            char c = *at;
            if (state_ == State::FindNext || state_ == State::SkipLeadingBlanks) {
                while (isSeparator(c)) {
                    if (++at >= end_)
                        return true;
                    c = *at;
                }
                state_ = state_ == State::FindNext ? State::InItem : State::InQuote;
                anchor = at;
            } else if (state_ == State::InEscape) {
                // A backslash before a line end joins the lines.
                if (isLineEnd(c)) {
                    state_ = State::SkipLeadingBlanks;
                } else {
                    // A character of two bytes is taken whole.
                    const char* after = next(at);
                    if (!(after == at + 1 ? appendPiece(escaped(c)) : appendPiece(at, after)))
                        return false;
                    state_ = State::InQuote;
                }
                anchor = next(at);
                continue;
            } else if (state_ == State::InComment) {
                while (!isLineEnd(c)) {
                    if (++at >= end_)
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
        if (state_ != State::InItem && state_ != State::InQuote)
            return true;
        if (anchor < end_ && !appendPiece(anchor, end_))
            return false;
        // An item cut by the end of the file counts only when something of it was read.
        return !hasPieces_ || items_.append(pieces_);
    }

private:
    // One character of an item or of a quote.
    bool step(const char* at, const char*& anchor)
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
            if (!appendPiece(anchor, at) || !items_.append(pieces_))
                return false;
            pieces_.clear();
            hasPieces_ = false;
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
            if (!appendPiece(anchor, at))
                return false;
            state_ = State::InEscape;
            anchor = at + 1;
            return true;
        case '\'':
        case '"':
            if (state_ == State::InQuote && quote_ != c)
                return true;
            if (anchor != at && !appendPiece(anchor, at))
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

    const char* next(const char* at) const
    {
        const char* after = platform::nextCharacter(at);
        if (after <= at)
            after = at + 1; // a NUL byte in the file
        return after < end_ ? after : end_;
    }

    bool appendPiece(const char* from, const char* to)
    {
        hasPieces_ = true;
        return pieces_.append(from, static_cast<size_t>(to - from));
    }

    bool appendPiece(char c)
    {
        hasPieces_ = true;
        return pieces_.appendChar(c);
    }

    const char* text_;
    const char* end_;
    TextList& items_;
    State state_ = State::FindNext;
    char quote_ = '"';
    Text pieces_;
    bool hasPieces_ = false;
};

}

bool splitArgumentFile(const Text& contents, TextList& items)
{
    return Splitter(contents, items).run();
}
