#pragma once
// Little-endian numbers in byte buffers, as every format the tool touches
// (PE headers, resources, icons) stores them; PNG alone is big-endian.
#include <stddef.h>
#include <stdint.h>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A read-only window on bytes. Readers check fits() before reading: the
// accessors themselves do not.
class ByteView {
public:
    ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    ByteView(const Bytes& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    size_t size() const { return size_; }
    const uint8_t* data() const { return data_; }
    bool fits(size_t offset, size_t length) const { return offset <= size_ && length <= size_ - offset; }
    ByteView part(size_t offset, size_t length) const { return ByteView(data_ + offset, length); }
    Bytes copy(size_t offset, size_t length) const { return Bytes(data_ + offset, data_ + offset + length); }

    uint8_t u8(size_t offset) const { return data_[offset]; }
    uint16_t le16(size_t offset) const { return static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8); }
    uint32_t le32(size_t offset) const { return le16(offset) | static_cast<uint32_t>(le16(offset + 2)) << 16; }
    uint32_t be32(size_t offset) const
    {
        return static_cast<uint32_t>(data_[offset]) << 24 | data_[offset + 1] << 16 | data_[offset + 2] << 8 |
               data_[offset + 3];
    }

private:
    const uint8_t* data_;
    size_t size_;
};

inline void putLe16(Bytes& bytes, size_t offset, uint16_t value)
{
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline void putLe32(Bytes& bytes, size_t offset, uint32_t value)
{
    putLe16(bytes, offset, static_cast<uint16_t>(value));
    putLe16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

inline void appendLe16(Bytes& bytes, uint16_t value)
{
    bytes.resize(bytes.size() + 2);
    putLe16(bytes, bytes.size() - 2, value);
}

inline void appendLe32(Bytes& bytes, uint32_t value)
{
    bytes.resize(bytes.size() + 4);
    putLe32(bytes, bytes.size() - 4, value);
}

inline void appendBytes(Bytes& bytes, ByteView more) { bytes.insert(bytes.end(), more.data(), more.data() + more.size()); }

inline size_t alignUp(size_t value, size_t alignment) { return (value + alignment - 1) / alignment * alignment; }

// Zero bytes up to the next multiple of alignment.
inline void padTo(Bytes& bytes, size_t alignment) { bytes.resize(alignUp(bytes.size(), alignment), 0); }
