#include "xml_elements.h"

#include "printable_text.h"

#include <utility>

namespace {

struct Tag {
    size_t begin;
    size_t end;
    std::string name;
    bool closing;
    bool selfClosing;
};

bool startsWith(const std::string& text, size_t at, const char* prefix)
{
    return text.compare(at, std::char_traits<char>::length(prefix), prefix) == 0;
}

// Markup that holds no elements, by how it opens and closes.
const char* const kOtherMarkup[][2] = { { "<!--", "-->" }, { "<![CDATA[", "]]>" }, { "<?", "?>" }, { "<!", ">" } };

// The next tag at or after from, or none at the end of the markup. A '<'
// that opens no whole markup (a tag without its '>' or its name, a '<' inside
// a tag, a comment without its end) stops the search and makes broken true.
std::optional<Tag> nextTag(const std::string& xml, size_t from, bool& broken)
{
    size_t at = xml.find('<', from);
    while (at != std::string::npos) {
        const char* const* other = nullptr;
        for (const auto& markup : kOtherMarkup)
            if (!other && startsWith(xml, at, markup[0]))
                other = markup;
        if (other) {
            size_t close = xml.find(other[1], at + std::char_traits<char>::length(other[0]));
            if (close == std::string::npos)
                return broken = true, std::nullopt;
            at = xml.find('<', close);
            continue;
        }
        Tag tag{ at, 0, {}, xml.compare(at, 2, "</") == 0, false };
        size_t nameStart = at + (tag.closing ? 2 : 1);
        size_t nameEnd = xml.find_first_of(" \t\r\n/><", nameStart);
        if (nameEnd == std::string::npos || nameEnd == nameStart)
            return broken = true, std::nullopt;
        tag.name = xml.substr(nameStart, nameEnd - nameStart);
        char quote = 0;
        size_t i = nameEnd;
        for (; i < xml.size() && xml[i] != '<' && (quote || xml[i] != '>'); ++i)
            if (quote ? xml[i] == quote : xml[i] == '"' || xml[i] == '\'')
                quote = quote ? 0 : xml[i];
        if (i == xml.size() || xml[i] == '<')
            return broken = true, std::nullopt;
        tag.end = i + 1;
        tag.selfClosing = xml[i - 1] == '/';
        if (tag.closing && tag.selfClosing)
            return broken = true, std::nullopt;
        return tag;
    }
    return std::nullopt;
}

// For documents already found well nested, where nothing is broken.
std::optional<Tag> nextTag(const std::string& xml, size_t from)
{
    bool broken = false;
    return nextTag(xml, from, broken);
}

std::string localNameOf(const std::string& name)
{
    size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

bool blank(char c) { return c == ' ' || c == '\t'; }

// Each added line repeats its parent's indentation: copied whole, a line of
// thousands of blanks before the parent would make every line as long.
const size_t kWidestIndentation = 64;

// The indentation of the line that position lies on, up to the first
// non-blank, and no wider than kWidestIndentation.
std::string indentationAt(const std::string& xml, size_t position)
{
    size_t lineStart = xml.rfind('\n', position == 0 ? 0 : position - 1);
    lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
    size_t end = lineStart;
    while (end < xml.size() && end - lineStart < kWidestIndentation && blank(xml[end]))
        ++end;
    return xml.substr(lineStart, end - lineStart);
}

}  // namespace

std::optional<ElementSpan> findElement(const std::string& xml, const std::string& localName, size_t from)
{
    for (std::optional<Tag> tag = nextTag(xml, from); tag; tag = nextTag(xml, tag->end)) {
        if (tag->closing || localNameOf(tag->name) != localName)
            continue;
        if (tag->selfClosing)
            return ElementSpan{ tag->begin, tag->end, tag->end, tag->end, true };
        int depth = 1;
        for (std::optional<Tag> inner = nextTag(xml, tag->end); inner; inner = nextTag(xml, inner->end)) {
            if (inner->name != tag->name || inner->selfClosing)
                continue;
            depth += inner->closing ? -1 : 1;
            if (depth == 0)
                return ElementSpan{ tag->begin, tag->end, inner->begin, inner->end, false };
        }
        return std::nullopt;
    }
    return std::nullopt;
}

Outcome<std::string> rootElementOf(const std::string& xml)
{
    std::vector<std::string> open;
    std::string root;
    bool broken = false;
    for (std::optional<Tag> tag = nextTag(xml, 0, broken); tag; tag = nextTag(xml, tag->end, broken)) {
        if (tag->closing) {
            if (open.empty() || open.back() != tag->name)
                return Refusal{ "the end tag of " + printableName(tag->name) + " closes no element open there" };
            open.pop_back();
            continue;
        }
        if (open.empty() && !root.empty())
            return Refusal{ "element " + printableName(tag->name) + " stands beside the root element" };
        if (open.empty())
            root = localNameOf(tag->name);
        if (!tag->selfClosing)
            open.push_back(tag->name);
    }
    if (broken)
        return Refusal{ "a '<' opens no whole tag, comment or declaration" };
    if (!open.empty())
        return Refusal{ "element " + printableName(open.back()) + " has no end tag" };
    if (root.empty())
        return Refusal{ "it holds no element" };
    return root;
}

// One pass, building the kept text: what has been kept so far is the
// document as it stands once the elements before have gone.
void removeElements(std::string& xml, const std::string& localName)
{
    std::string kept;
    size_t copied = 0;
    for (std::optional<ElementSpan> element = findElement(xml, localName); element;
         element = findElement(xml, localName, element->end)) {
        kept.append(xml, copied, element->begin - copied);
        size_t before = kept.size();
        while (before > 0 && blank(kept[before - 1]))
            --before;
        size_t after = element->end;
        while (after < xml.size() && blank(xml[after]))
            ++after;
        if (after < xml.size() && xml[after] == '\r')
            ++after;
        bool aloneOnItsLine = (before == 0 || kept[before - 1] == '\n') && (after == xml.size() || xml[after] == '\n');
        if (aloneOnItsLine) {
            kept.resize(before);
            copied = after + (after < xml.size() ? 1 : 0);
        } else {
            copied = element->end;
        }
    }
    kept.append(xml, copied, std::string::npos);
    xml = std::move(kept);
}

void appendChildLines(std::string& xml, const ElementSpan& parent, const std::vector<std::string>& lines)
{
    const std::string newline = xml.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::string indentation = indentationAt(xml, parent.begin) + "  ";
    std::string text;
    for (const std::string& line : lines)
        text += indentation + line + newline;
    // Before the end tag's own line when it stands alone there, else right
    // before the end tag on a line of its own.
    size_t at = parent.contentEnd;
    while (at > parent.contentBegin && blank(xml[at - 1]))
        --at;
    if (at > 0 && xml[at - 1] == '\n')
        xml.insert(at, text);
    else
        xml.insert(parent.contentEnd, newline + text + indentationAt(xml, parent.begin));
}
