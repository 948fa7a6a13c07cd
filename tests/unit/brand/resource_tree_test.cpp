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

}  // namespace
