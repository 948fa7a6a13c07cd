#include "resource_tree.h"

#include <gtest/gtest.h>

namespace {

const uint32_t kRva = 0xE000;

ResourceEntry entry(ResourceId name, std::vector<ResourceData> languages)
{
    return ResourceEntry{ std::move(name), {}, std::move(languages) };
}

// Types and names out of order, a named type and a named resource, two
// languages, data of lengths that need padding.
ResourceTree sampleTree()
{
    ResourceTree tree;
    tree.stamp.timeDateStamp = 0x12345678;
    tree.types.push_back(ResourceType{ ResourceId{ kManifestResource, {} }, {},
                                       { entry(ResourceId{ 1, {} }, { ResourceData{ 1033, 0, Bytes(5, 'm') } }) } });
    tree.types.push_back(ResourceType{
        ResourceId{ kIconResource, {} }, {},
        { entry(ResourceId{ 2, {} }, { ResourceData{ 1033, 0, Bytes(3, 'b') } }),
          entry(ResourceId{ 1, {} }, { ResourceData{ 1049, 1251, Bytes(7, 'r') }, ResourceData{ 1033, 0, Bytes(1, 'a') } }) } });
    tree.types.push_back(ResourceType{ ResourceId{ 0, u"PNGS" }, { 1, 2, 3, 4 },
                                       { entry(ResourceId{ 0, u"LOGO" }, { ResourceData{ 0, 0, Bytes(9, 'p') } }) } });
    return tree;
}

ResourceTree reread(const Bytes& section)
{
    Outcome<ResourceTree> tree = readResourceTree(section, kRva);
    EXPECT_TRUE(tree) << tree.message();
    return tree ? tree.value() : ResourceTree{};
}

TEST(ResourceTree, writesEntriesInLookupOrderAndReadsThemBack)
{
    ResourceTree tree = reread(writeResourceTree(sampleTree(), kRva));
    ASSERT_EQ(tree.types.size(), 3u);
    EXPECT_EQ(tree.stamp.timeDateStamp, 0x12345678u);
    EXPECT_EQ(tree.types[0].type.name, u"PNGS");  // names before numbers
    EXPECT_EQ(tree.types[0].stamp.minorVersion, 4);
    EXPECT_EQ(tree.types[0].entries[0].name.name, u"LOGO");
    EXPECT_EQ(tree.types[0].entries[0].languages[0].data, Bytes(9, 'p'));
    EXPECT_EQ(tree.types[1].type.number, kIconResource);
    ASSERT_EQ(tree.types[1].entries.size(), 2u);
    EXPECT_EQ(tree.types[1].entries[0].name.number, 1u);
    EXPECT_EQ(tree.types[1].entries[0].languages[0].language, 1033u);
    EXPECT_EQ(tree.types[1].entries[0].languages[1].language, 1049u);
    EXPECT_EQ(tree.types[1].entries[0].languages[1].codePage, 1251u);
    EXPECT_EQ(tree.types[1].entries[0].languages[1].data, Bytes(7, 'r'));
    EXPECT_EQ(tree.types[2].entries[0].languages[0].data, Bytes(5, 'm'));
    // Written again, the sorted tree gives the same bytes.
    EXPECT_EQ(writeResourceTree(tree, kRva), writeResourceTree(sampleTree(), kRva));
}

TEST(ResourceTree, placesDataAlignedAtAddressesInTheSection)
{
    Bytes section = writeResourceTree(sampleTree(), kRva);
    EXPECT_EQ(section.size() % 8, 0u);
    ByteView view(section);
    // Root: one named entry, two numbered, each pointing to a subdirectory.
    EXPECT_EQ(view.le16(12), 1);
    EXPECT_EQ(view.le16(14), 2);
    for (size_t entry = 16; entry < 16 + 3 * 8; entry += 8)
        EXPECT_TRUE(view.le32(entry + 4) & 0x80000000u);
    // Every resource read back lies at an 8-aligned address inside the section.
    size_t resources = 0;
    for (size_t at = 0; at + 16 <= section.size(); at += 4) {
        uint32_t rva = view.le32(at), size = view.le32(at + 4);
        if (rva >= kRva && rva < kRva + section.size() && size > 0 && size < 10 && view.le32(at + 12) == 0) {
            EXPECT_EQ(rva % 8, 0u);
            EXPECT_LE(rva - kRva + size, section.size());
            ++resources;
        }
    }
    EXPECT_EQ(resources, 5u);
}

TEST(ResourceTree, refusesDirectoriesThatLeaveTheSectionOrLoop)
{
    Bytes section = writeResourceTree(sampleTree(), kRva);
    for (size_t length = 0; length < section.size() - 8; ++length)
        EXPECT_FALSE(readResourceTree(ByteView(section.data(), length), kRva)) << length;
    EXPECT_FALSE(readResourceTree(section, kRva + 0x1000));  // data addresses before the section
    Bytes loop = section;
    putLe32(loop, 16 + 4, 0x80000000u);  // the first type's table is the root again
    Outcome<ResourceTree> looped = readResourceTree(loop, kRva);
    ASSERT_FALSE(looped);
    EXPECT_NE(looped.message().find("not types, names and languages"), std::string::npos);
}

TEST(ResourceTree, findsAddsAndRemovesTypes)
{
    ResourceTree tree = sampleTree();
    EXPECT_EQ(tree.find(kIconResource)->entries.size(), 2u);
    tree.remove(kIconResource);
    EXPECT_EQ(tree.find(kIconResource), nullptr);
    tree.add(kVersionResource).entries.push_back(entry(ResourceId{ 1, {} }, {}));
    EXPECT_EQ(&tree.add(kVersionResource), tree.find(kVersionResource));
    EXPECT_EQ(tree.types.size(), 3u);
}

}  // namespace
