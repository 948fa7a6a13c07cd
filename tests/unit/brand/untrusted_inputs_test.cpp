// Inputs made to break the tool: each is refused with a message, or edited
// within a small multiple of its size into something the tool reads again.
#include "branding.h"
#include "icon_images.h"
#include "manifest_settings.h"
#include "resource_tree.h"
#include "version_block.h"
#include "version_record.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const ManifestSettings kEverySetting{ ExecutionLevel::RequireAdministrator, DpiAwareness::PerMonitorV2 };

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(UntrustedManifest, elementsThatOverlapAreRefusedNotCut)
{
    const std::string trust = "<assembly><trustInfo></assembly></trustInfo>";
    const std::string dpi = "<assembly><dpiAware></assembly></dpiAware>";
    Outcome<std::string> level = applyManifestSettings(&trust, { ExecutionLevel::AsInvoker, std::nullopt });
    ASSERT_FALSE(level);
    EXPECT_TRUE(contains(level.message(), "the end tag of assembly closes no element open there")) << level.message();
    EXPECT_FALSE(applyManifestSettings(&dpi, { std::nullopt, DpiAwareness::System }));
    EXPECT_FALSE(applyManifestSettings(&dpi, kEverySetting));
}

TEST(UntrustedManifest, deepIndentationIsNotRepeatedOnEveryAddedLine)
{
    const std::string deep = std::string(20000, ' ') + "<assembly>\n" + std::string(20000, '\t') + "<x/></assembly>";
    Outcome<std::string> edited = applyManifestSettings(&deep, kEverySetting);
    ASSERT_TRUE(edited) << edited.message();
    EXPECT_LT(edited.value().size(), deep.size() + 4096);
    EXPECT_TRUE(contains(edited.value(), "\n" + std::string(66, ' ') + "<trustInfo xmlns="));
}

TEST(UntrustedManifest, brandingAgainDoesNotGrowIt)
{
    const std::string manifest = "<assembly>\n  <application><windowsSettings/></application>\n</assembly>\n";
    Outcome<std::string> once = applyManifestSettings(&manifest, kEverySetting);
    ASSERT_TRUE(once) << once.message();
    std::string text = once.value();
    for (int time = 0; time < 3; ++time) {
        Outcome<std::string> again = applyManifestSettings(&text, kEverySetting);
        ASSERT_TRUE(again) << again.message();
        // The trust information moves to the end each time; nothing is added.
        EXPECT_EQ(again.value().size(), once.value().size()) << time;
        text = again.value();
    }
}

TEST(UntrustedManifest, manyElementsAreAllRemovedAndTheRestKept)
{
    std::string manifest = "<assembly>\n";
    const int kCount = 50000;  // about 2 MB
    for (int i = 0; i < kCount; ++i)
        manifest += "  <trustInfo>" + std::to_string(i) + "</trustInfo>\n  <keep" + std::to_string(i) + "/>\n";
    manifest += "</assembly>\n";
    ASSERT_GT(manifest.size(), 2000000u);
    Outcome<std::string> edited = applyManifestSettings(&manifest, { ExecutionLevel::AsInvoker, std::nullopt });
    ASSERT_TRUE(edited) << edited.message();
    const std::string& result = edited.value();
    size_t trustInfos = 0;
    for (size_t at = result.find("<trustInfo"); at != std::string::npos; at = result.find("<trustInfo", at + 1))
        ++trustInfos;
    EXPECT_EQ(trustInfos, 1u);  // the one added
    EXPECT_TRUE(contains(result, "<assembly>\n  <keep0/>\n  <keep1/>\n"));
    EXPECT_TRUE(contains(result, "  <keep" + std::to_string(kCount - 1) + "/>\n  <trustInfo xmlns="));
}

// A record with one string table holding one string, "xyz".
Bytes recordWithOneString()
{
    Outcome<Bytes> empty = editVersionRecord(nullptr, VersionEdits{ {}, {}, { { u"A", u"xyz" } } });
    EXPECT_TRUE(empty) << empty.message();
    return empty ? empty.value() : Bytes{};
}

TEST(UntrustedVersionRecord, aTextValueEndingOnAnOddByteIsCutToWholeCharacters)
{
    Bytes record = recordWithOneString();
    // The String "A": header, "A\0", padding, "xyz\0": 20 bytes. Cut by one
    // byte, its value's 8 bytes no longer fit, and 7 would remain.
    size_t string = 0;
    for (size_t at = 0; at + 4 <= record.size(); at += 2)
        if (ByteView(record).le16(at) == 20 && ByteView(record).le16(at + 2) == 4 && ByteView(record).le16(at + 6) == 'A')
            string = at;
    ASSERT_NE(string, 0u);
    putLe16(record, string, 19);
    Outcome<Bytes> edited = editVersionRecord(&record, VersionEdits{ {}, {}, { { u"B", u"b" } } });
    ASSERT_TRUE(edited) << edited.message();
    Outcome<VersionBlock> root = readVersionBlock(edited.value());
    ASSERT_TRUE(root) << root.message();
    VersionBlock* table = &root.value().child(u"StringFileInfo")->children.at(0);
    ASSERT_TRUE(table->child(u"A"));
    EXPECT_EQ(table->child(u"A")->value.size() % 2, 0u);
    EXPECT_EQ(table->child(u"A")->text(), u"xyz");
    EXPECT_EQ(writeVersionBlock(root.value()), edited.value());
}

TEST(UntrustedVersionRecord, itsStringTablesAreCounted)
{
    Bytes record = recordWithOneString();
    Outcome<size_t> one = stringTablesToEdit(record);
    ASSERT_TRUE(one);
    EXPECT_EQ(one.value(), 1u);
    Outcome<VersionBlock> root = readVersionBlock(record);
    ASSERT_TRUE(root);
    for (int i = 0; i < 40; ++i)
        root.value().child(u"StringFileInfo")->children.push_back(VersionBlock{ u"0409FDE9", VersionBlock::kText, {}, {} });
    Outcome<size_t> many = stringTablesToEdit(writeVersionBlock(root.value()));
    ASSERT_TRUE(many);
    EXPECT_EQ(many.value(), 41u);
    EXPECT_FALSE(stringTablesToEdit(Bytes{ 1, 2, 3 }));
}

const uint32_t kRva = 0x3000;
const size_t kTypes = 20;
const size_t kRootTable = 16 + 8 * kTypes;
const size_t kTypeTables = 2 * (16 + 8);  // its names' table, then the name's languages

// Types 1 to 20, each with one name and one language; the first resource
// large, the others a byte each. Written as resource compilers lay it out:
// the root table, then each type's two tables, then names, entries and data.
Bytes typesWithOneLargeResource()
{
    ResourceTree tree;
    for (uint32_t type = 1; type <= kTypes; ++type)
        tree.types.push_back(ResourceType{
            ResourceId{ type, {} }, {},
            { ResourceEntry{ ResourceId{ 1, {} }, {}, { ResourceData{ 9, 0, Bytes(type == 1 ? 4000 : 1, 'd') } } } } });
    return writeResourceTree(tree, kRva);
}

size_t typeEntry(size_t type) { return 16 + 8 * type; }
size_t languageEntry(size_t type) { return kRootTable + type * kTypeTables + 24 + 16; }

TEST(UntrustedResourceTree, tablesSharedByManyEntriesAreRefused)
{
    Bytes section = typesWithOneLargeResource();
    ASSERT_TRUE(readResourceTree(section, kRva));
    ASSERT_EQ(ByteView(section).le32(languageEntry(kTypes - 1)), 9u);
    // Every type names the first type's table, and so its large resource.
    Bytes shared = section;
    for (size_t type = 1; type < kTypes; ++type)
        putLe32(shared, typeEntry(type) + 4, ByteView(section).le32(typeEntry(0) + 4));
    Outcome<ResourceTree> read = readResourceTree(shared, kRva);
    ASSERT_FALSE(read);
    EXPECT_TRUE(contains(read.message(), "share")) << read.message();
}

TEST(UntrustedResourceTree, dataEntriesSharedByManyLanguagesAreRefused)
{
    Bytes section = typesWithOneLargeResource();
    Bytes shared = section;
    for (size_t type = 1; type < kTypes; ++type)
        putLe32(shared, languageEntry(type) + 4, ByteView(section).le32(languageEntry(0) + 4));
    Outcome<ResourceTree> read = readResourceTree(shared, kRva);
    ASSERT_FALSE(read);
    EXPECT_TRUE(contains(read.message(), "share")) << read.message();
}

TEST(UntrustedIcon, entriesThatAllNameOneImageAreRefused)
{
    Outcome<std::vector<IconImage>> one = readIcoFile(Bytes{});
    ASSERT_FALSE(one);
    // A 16x16 bitmap: its header and 16 rows of 16 pixels, then the mask.
    Bytes bitmap(40 + 16 * 16 * 4 + 16 * 4, 0);
    putLe32(bitmap, 0, 40);
    putLe32(bitmap, 4, 16);
    putLe32(bitmap, 8, 32);
    const size_t kEntries = 100;
    Bytes ico;
    appendLe16(ico, 0);
    appendLe16(ico, 1);
    appendLe16(ico, kEntries);
    for (size_t i = 0; i < kEntries; ++i) {
        ico.insert(ico.end(), { 16, 16, 0, 0 });
        appendLe16(ico, 1);
        appendLe16(ico, 32);
        appendLe32(ico, static_cast<uint32_t>(bitmap.size()));
        appendLe32(ico, static_cast<uint32_t>(6 + 16 * kEntries));
    }
    appendBytes(ico, bitmap);
    Outcome<std::vector<IconImage>> shared = readIcoFile(ico);
    ASSERT_FALSE(shared);
    EXPECT_TRUE(contains(shared.message(), "overlap")) << shared.message();
    // Each image once: accepted.
    Bytes single(ico.begin(), ico.begin() + 6 + 16);
    putLe16(single, 4, 1);
    putLe32(single, 6 + 12, 6 + 16);
    appendBytes(single, bitmap);
    EXPECT_TRUE(readIcoFile(single));
}

TEST(UntrustedExecutable, aFileTheToolWouldNotReadBackIsNeverCalledDone)
{
    Bytes notAnExecutable(4096, 0);
    notAnExecutable[0] = 'M';
    notAnExecutable[1] = 'Z';
    Status readBack = checkReadsBack(notAnExecutable, Branding{});
    ASSERT_FALSE(readBack);
    EXPECT_TRUE(contains(readBack.message(), "would not read back")) << readBack.message();
}

}  // namespace
