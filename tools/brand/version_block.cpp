#include "version_block.h"

namespace {

const size_t kHeader = 6;  // wLength, wValueLength, wType
// VS_VERSIONINFO, StringFileInfo, a string table, a String: nothing deeper.
const int kDeepest = 4;

Refusal malformed(const std::string& what) { return Refusal{ "the version record is malformed: " + what }; }

// Reads the block at offset, which must end by limit; offsets count from
// the record's start, which is aligned, as every block's is.
Outcome<VersionBlock> readBlock(ByteView record, size_t offset, size_t limit, int depth)
{
    if (depth > kDeepest)
        return malformed("blocks nested too deep");
    if (offset + kHeader > limit)
        return malformed("a block is cut short");
    size_t length = record.le16(offset);
    if (length < kHeader || length > limit - offset)
        return malformed("a block's length runs past its parent");
    size_t end = offset + length;
    VersionBlock block;
    block.type = record.le16(offset + 4);
    size_t at = offset + kHeader;
    for (; at + 2 <= end && record.le16(at) != 0; at += 2)
        block.key += static_cast<char16_t>(record.le16(at));
    if (at + 2 > end)
        return malformed("a key has no end");
    size_t valueStart = alignUp(at + 2, 4);
    // A text value's length counts characters; some compilers counted bytes
    // instead, which can only overstate it, so it is cut at the block's end,
    // to whole characters, and leaves no room for children.
    size_t valueLength = record.le16(offset + 2) * (block.type == VersionBlock::kText ? 2u : 1u);
    size_t room = valueStart < end ? end - valueStart : 0;
    size_t children = alignUp(valueStart + valueLength, 4);
    if (valueLength > room) {
        if (block.type != VersionBlock::kText)
            return malformed("a value runs past its block");
        valueLength = room & ~size_t{ 1 };
        children = end;
    }
    block.value = valueLength ? record.copy(valueStart, valueLength) : Bytes{};
    for (size_t child = children; child < end;) {
        Outcome<VersionBlock> read = readBlock(record, child, end, depth + 1);
        if (!read)
            return read;
        child = alignUp(child + record.le16(child), 4);
        block.children.push_back(read.value());
    }
    return block;
}

void writeBlock(Bytes& out, const VersionBlock& block)
{
    size_t start = out.size();
    appendLe16(out, 0);
    size_t valueLength = block.type == VersionBlock::kText ? block.value.size() / 2 : block.value.size();
    appendLe16(out, static_cast<uint16_t>(valueLength));
    appendLe16(out, block.type);
    for (char16_t unit : block.key)
        appendLe16(out, unit);
    appendLe16(out, 0);
    padTo(out, 4);
    appendBytes(out, block.value);
    for (const VersionBlock& child : block.children) {
        padTo(out, 4);
        writeBlock(out, child);
    }
    // The length leaves out the padding after the last value, as resource
    // compilers write it.
    putLe16(out, start, static_cast<uint16_t>(out.size() - start));
}

}  // namespace

VersionBlock* VersionBlock::child(const std::u16string& childKey)
{
    for (VersionBlock& candidate : children)
        if (candidate.key == childKey)
            return &candidate;
    return nullptr;
}

std::u16string VersionBlock::text() const
{
    std::u16string text;
    for (size_t i = 0; i + 1 < value.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(value[i] | value[i + 1] << 8);
        if (unit == 0)
            break;
        text += unit;
    }
    return text;
}

void VersionBlock::setText(const std::u16string& text)
{
    type = kText;
    value.clear();
    for (char16_t unit : text)
        appendLe16(value, unit);
    appendLe16(value, 0);
}

Outcome<VersionBlock> readVersionBlock(ByteView record) { return readBlock(record, 0, record.size(), 1); }

Bytes writeVersionBlock(const VersionBlock& block)
{
    Bytes out;
    writeBlock(out, block);
    return out;
}
