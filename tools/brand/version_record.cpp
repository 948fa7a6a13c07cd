#include "version_record.h"

#include "version_block.h"

namespace {

const uint32_t kFixedSignature = 0xFEEF04BD;
const size_t kFixedInfoSize = 52;
enum : size_t { kFileVersionHigh = 8, kFileVersionLow = 12, kProductVersionHigh = 16, kProductVersionLow = 20 };
// US English in Unicode, the table resource compilers write by default.
const char16_t kDefaultTable[] = u"040904B0";

Bytes emptyFixedInfo()
{
    Bytes fixed(kFixedInfoSize, 0);
    putLe32(fixed, 0, kFixedSignature);
    putLe32(fixed, 4, 0x00010000);  // structure version 1.0
    putLe32(fixed, 24, 0x3F);       // VS_FFI_FILEFLAGSMASK
    putLe32(fixed, 32, 0x00040004); // VOS_NT_WINDOWS32
    putLe32(fixed, 36, 1);          // VFT_APP
    return fixed;
}

// The translation naming the table resource compilers write by default.
VersionBlock defaultTranslation()
{
    VersionBlock translation{ u"Translation", VersionBlock::kBinary, {}, {} };
    appendLe16(translation.value, 0x0409);
    appendLe16(translation.value, 1200);
    return VersionBlock{ u"VarFileInfo", VersionBlock::kText, {}, { translation } };
}

void setVersion(Bytes& fixed, size_t highOffset, size_t lowOffset, const FourPartVersion& version)
{
    putLe32(fixed, highOffset, version.high());
    putLe32(fixed, lowOffset, version.low());
}

void setString(VersionBlock& table, const std::u16string& key, const std::u16string& value)
{
    VersionBlock* string = table.child(key);
    if (!string) {
        table.children.push_back(VersionBlock{ key, VersionBlock::kText, {}, {} });
        string = &table.children.back();
    }
    string->setText(value);
}

}  // namespace

Outcome<Bytes> editVersionRecord(const Bytes* existing, const VersionEdits& edits)
{
    VersionBlock record{ u"VS_VERSION_INFO", VersionBlock::kBinary, emptyFixedInfo(), {} };
    if (existing) {
        Outcome<VersionBlock> read = readVersionBlock(*existing);
        if (!read)
            return read.refusal();
        record = read.value();
    }
    if (record.key != u"VS_VERSION_INFO")
        return Refusal{ "the version record is malformed: it does not begin with VS_VERSION_INFO" };
    if (record.value.empty())
        record.value = emptyFixedInfo();
    if (record.value.size() < kFixedInfoSize || ByteView(record.value).le32(0) != kFixedSignature)
        return Refusal{ "the version record is malformed: its fixed part is not a VS_FIXEDFILEINFO" };
    if (edits.fileVersion)
        setVersion(record.value, kFileVersionHigh, kFileVersionLow, *edits.fileVersion);
    if (edits.productVersion)
        setVersion(record.value, kProductVersionHigh, kProductVersionLow, *edits.productVersion);

    VersionBlock* strings = record.child(u"StringFileInfo");
    if (!strings || strings->children.empty()) {
        if (!strings)
            record.children.insert(record.children.begin(), VersionBlock{ u"StringFileInfo", VersionBlock::kText, {}, {} });
        record.child(u"StringFileInfo")->children.push_back(VersionBlock{ kDefaultTable, VersionBlock::kText, {}, {} });
        // A table of our own making needs the translation that names it.
        if (!record.child(u"VarFileInfo"))
            record.children.push_back(defaultTranslation());
    }
    for (VersionBlock& table : record.child(u"StringFileInfo")->children)
        for (const auto& [key, value] : edits.strings)
            setString(table, key, value);

    Bytes written = writeVersionBlock(record);
    if (written.size() > 0xFFFF)
        return Refusal{ "the version strings are too long: the version record holds at most 64 KB" };
    return written;
}

Outcome<size_t> stringTablesToEdit(const Bytes& existing)
{
    Outcome<VersionBlock> read = readVersionBlock(existing);
    if (!read)
        return read.refusal();
    VersionBlock* strings = read.value().child(u"StringFileInfo");
    return strings && !strings->children.empty() ? strings->children.size() : size_t{ 1 };
}
