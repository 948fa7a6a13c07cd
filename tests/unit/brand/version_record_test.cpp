#include "version_block.h"
#include "version_record.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The version record windres wrote for the launcher (FileVersion 1.0.0).
Bytes launcherRecord()
{
    static const char hex[] =
        "700234000000560053005f00560045005200530049004f004e005f0049004e0046004f0000000000bd04effe00000100"
        "000001000000000000000100000000003f000000000000000400040001000000000000000000000000000000d0010000"
        "010053007400720069006e006700460069006c00650049006e0066006f000000ac010000010030003400300039003000"
        "34004200300000006c0022000100460069006c0065004400650073006300720069007000740069006f006e0000000000"
        "5300740061007200740073002000610020004a0061007600610020006400650073006b0074006f007000200061007000"
        "70006c00690063006100740069006f006e0000002c0006000100460069006c006500560065007200730069006f006e00"
        "0000000031002e0030002e003000000032000900010049006e007400650072006e0061006c004e0061006d0065000000"
        "6c00610075006e0063006800650072000000000042000d0001004f0072006900670069006e0061006c00460069006c00"
        "65006e0061006d00650000006c00610075006e0063006800650072002e006500780065000000000054001a0001005000"
        "72006f0064007500630074004e0061006d006500000000004a0061007600610020004100700070006c00690063006100"
        "740069006f006e0020004c00610075006e0063006800650072000000300006000100500072006f006400750063007400"
        "560065007200730069006f006e00000031002e0030002e0030000000440000000100560061007200460069006c006500"
        "49006e0066006f00000000002400040000005400720061006e0073006c006100740069006f006e00000000000904b004";
    Bytes bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(std::string(hex + i, 2), nullptr, 16)));
    return bytes;
}

VersionBlock read(const Bytes& record)
{
    Outcome<VersionBlock> block = readVersionBlock(record);
    EXPECT_TRUE(block) << block.message();
    return block ? block.value() : VersionBlock{};
}

std::u16string stringOf(VersionBlock record, const std::u16string& key)
{
    VersionBlock* value = record.child(u"StringFileInfo")->children.at(0).child(key);
    return value ? value->text() : u"(missing)";
}

uint32_t fixed(const VersionBlock& record, size_t offset) { return ByteView(record.value).le32(offset); }

TEST(VersionRecord, writesTheResourceCompilersRecordBackByteForByte)
{
    Bytes record = launcherRecord();
    VersionBlock root = read(record);
    EXPECT_EQ(root.children.size(), 2u);
    EXPECT_EQ(stringOf(root, u"ProductName"), u"Java Application Launcher");
    EXPECT_EQ(writeVersionBlock(root), record);
}

TEST(VersionRecord, editsNumbersAndStringsAndKeepsTheRest)
{
    Bytes record = launcherRecord();
    VersionEdits edits{ FourPartVersion{ { 1, 2, 3, 4 } }, FourPartVersion{ { 65535, 0, 7, 65535 } },
                        { { u"FileDescription", u"A" }, { u"CompanyName", u"Example \u00e9 Ltd" } } };
    Outcome<Bytes> edited = editVersionRecord(&record, edits);
    ASSERT_TRUE(edited) << edited.message();
    VersionBlock root = read(edited.value());
    EXPECT_EQ(fixed(root, 8), 0x00010002u);
    EXPECT_EQ(fixed(root, 12), 0x00030004u);
    EXPECT_EQ(fixed(root, 16), 0xFFFF0000u);
    EXPECT_EQ(fixed(root, 20), 0x0007FFFFu);
    EXPECT_EQ(stringOf(root, u"FileDescription"), u"A");
    EXPECT_EQ(stringOf(root, u"CompanyName"), u"Example \u00e9 Ltd");
    EXPECT_EQ(stringOf(root, u"ProductName"), u"Java Application Launcher");
    EXPECT_EQ(stringOf(root, u"FileVersion"), u"1.0.0");  // the texts follow only when told
    EXPECT_EQ(root.child(u"VarFileInfo")->children.at(0).value, (Bytes{ 0x09, 0x04, 0xB0, 0x04 }));
    // Lengths written anew describe the new contents exactly.
    EXPECT_EQ(writeVersionBlock(root), edited.value());
    EXPECT_EQ(ByteView(edited.value()).le16(0), edited.value().size());
}

TEST(VersionRecord, anExecutableWithoutOneGetsAWholeRecord)
{
    Outcome<Bytes> made = editVersionRecord(nullptr, VersionEdits{ {}, {}, { { u"ProductName", u"App" } } });
    ASSERT_TRUE(made) << made.message();
    VersionBlock root = read(made.value());
    EXPECT_EQ(root.key, u"VS_VERSION_INFO");
    EXPECT_EQ(fixed(root, 0), 0xFEEF04BDu);
    EXPECT_EQ(root.child(u"StringFileInfo")->children.at(0).key, u"040904B0");
    EXPECT_EQ(stringOf(root, u"ProductName"), u"App");
    EXPECT_EQ(root.child(u"VarFileInfo")->children.at(0).key, u"Translation");
}

TEST(VersionRecord, aTextLengthCountedInBytesIsCutAtItsBlock)
{
    Bytes record = launcherRecord();
    putLe16(record, 0x9A, 0x22 * 2);  // FileDescription's length, in bytes instead of characters
    VersionBlock root = read(record);
    EXPECT_EQ(stringOf(root, u"FileDescription"), u"Starts a Java desktop application");
    EXPECT_EQ(stringOf(root, u"FileVersion"), u"1.0.0");
}

TEST(VersionRecord, refusesRecordsThatAreCutShortOrAreNoRecord)
{
    Bytes record = launcherRecord();
    for (size_t length = 0; length < record.size(); ++length)
        EXPECT_FALSE(readVersionBlock(ByteView(record.data(), length))) << length;
    Bytes childTooLong = record;
    putLe16(childTooLong, 0x5C, 0x300);  // StringFileInfo longer than the record
    EXPECT_FALSE(readVersionBlock(childTooLong));
    Bytes otherKey = record;
    otherKey[6] = 'X';
    Outcome<Bytes> edited = editVersionRecord(&otherKey, VersionEdits{});
    ASSERT_FALSE(edited);
    EXPECT_NE(edited.message().find("VS_VERSION_INFO"), std::string::npos);
}

}  // namespace
