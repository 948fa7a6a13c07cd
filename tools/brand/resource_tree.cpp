#include "resource_tree.h"

#include <algorithm>
#include <utility>

namespace {

const size_t kTableHeader = 16;
const size_t kEntrySize = 8;
const size_t kDataEntrySize = 16;
const uint32_t kHighBit = 0x80000000u;

Refusal malformed(const std::string& what) { return Refusal{ "the resource directory is malformed: " + what }; }

class TreeReader {
public:
    TreeReader(ByteView section, uint32_t rva) : section_(section), rva_(rva), unread_(section.size()) {}

    // The table at offset: its stamp, and each entry's id and target offset,
    // the target being a subdirectory when wantDirectories says so.
    Status table(size_t offset, bool wantDirectories, DirectoryStamp& stamp,
                 std::vector<std::pair<ResourceId, size_t>>& entries) const
    {
        if (!section_.fits(offset, kTableHeader))
            return malformed("a table lies outside the section");
        stamp = { section_.le32(offset), section_.le32(offset + 4), section_.le16(offset + 8),
                  section_.le16(offset + 10) };
        size_t count = static_cast<size_t>(section_.le16(offset + 12)) + section_.le16(offset + 14);
        if (!section_.fits(offset + kTableHeader, count * kEntrySize))
            return malformed("a table's entries lie outside the section");
        Status room = take(kTableHeader + count * kEntrySize);
        if (!room)
            return room;
        for (size_t i = 0; i < count; ++i) {
            size_t entry = offset + kTableHeader + i * kEntrySize;
            Outcome<ResourceId> id = this->id(section_.le32(entry));
            if (!id)
                return id.refusal();
            uint32_t target = section_.le32(entry + 4);
            if (((target & kHighBit) != 0) != wantDirectories)
                return malformed("the tree is not types, names and languages");
            entries.emplace_back(id.value(), target & ~kHighBit);
        }
        return Done{};
    }

    Outcome<ResourceData> data(size_t offset, uint32_t language) const
    {
        if (!section_.fits(offset, kDataEntrySize))
            return malformed("a data entry lies outside the section");
        uint32_t rva = section_.le32(offset), size = section_.le32(offset + 4);
        if (rva < rva_ || !section_.fits(rva - rva_, size))
            return malformed("a resource's data lies outside the resource section");
        Status room = take(kDataEntrySize + size);
        if (!room)
            return room.refusal();
        return ResourceData{ language, section_.le32(offset + 8), section_.copy(rva - rva_, size) };
    }

private:
    Outcome<ResourceId> id(uint32_t field) const
    {
        if (!(field & kHighBit))
            return ResourceId{ field, {} };
        size_t offset = field & ~kHighBit;
        if (!section_.fits(offset, 2) || !section_.fits(offset + 2, 2u * section_.le16(offset)))
            return malformed("a name lies outside the section");
        Status room = take(2 + 2u * section_.le16(offset));
        if (!room)
            return room.refusal();
        ResourceId id;
        for (size_t i = 0; i < section_.le16(offset); ++i)
            id.name += static_cast<char16_t>(section_.le16(offset + 2 + 2 * i));
        return id;
    }

    // Each table, name, data entry and resource is read as often as it is
    // referred to, and copied each time. Those of a tree add up to no more
    // than the section holds; more means parts shared by many entries, or a
    // loop, which would make the tree written back many times larger.
    Status take(size_t length) const
    {
        if (length > unread_)
            return malformed("its entries share tables, names or data (they add up to more than the section)");
        unread_ -= length;
        return Done{};
    }

    ByteView section_;
    uint32_t rva_;
    mutable size_t unread_;
};

Outcome<ResourceEntry> readEntry(const TreeReader& reader, const ResourceId& name, size_t offset)
{
    ResourceEntry entry{ name, {}, {} };
    std::vector<std::pair<ResourceId, size_t>> languages;
    Status table = reader.table(offset, false, entry.stamp, languages);
    if (!table)
        return table.refusal();
    for (const auto& [language, dataOffset] : languages) {
        if (!language.name.empty())
            return malformed("a language given by name");
        Outcome<ResourceData> data = reader.data(dataOffset, language.number);
        if (!data)
            return data.refusal();
        entry.languages.push_back(std::move(data.value()));
    }
    return entry;
}

Outcome<ResourceType> readType(const TreeReader& reader, const ResourceId& type, size_t offset)
{
    ResourceType result{ type, {}, {} };
    std::vector<std::pair<ResourceId, size_t>> names;
    Status table = reader.table(offset, true, result.stamp, names);
    if (!table)
        return table.refusal();
    for (const auto& [name, entryOffset] : names) {
        Outcome<ResourceEntry> entry = readEntry(reader, name, entryOffset);
        if (!entry)
            return entry.refusal();
        result.entries.push_back(std::move(entry.value()));
    }
    return result;
}

bool comesBefore(const ResourceId& a, const ResourceId& b)
{
    if (a.name.empty() != b.name.empty())
        return !a.name.empty();
    return a.name.empty() ? a.number < b.number : a.name < b.name;
}

void sortEntries(ResourceTree& tree)
{
    std::stable_sort(tree.types.begin(), tree.types.end(),
                     [](const ResourceType& a, const ResourceType& b) { return comesBefore(a.type, b.type); });
    for (ResourceType& type : tree.types) {
        std::stable_sort(type.entries.begin(), type.entries.end(),
                         [](const ResourceEntry& a, const ResourceEntry& b) { return comesBefore(a.name, b.name); });
        for (ResourceEntry& entry : type.entries)
            std::stable_sort(entry.languages.begin(), entry.languages.end(),
                             [](const ResourceData& a, const ResourceData& b) { return a.language < b.language; });
    }
}

// Writes the tables first and fills in what points forward (names, data
// entries, data) once those have their places.
class TreeWriter {
public:
    // Returns where the table's first entry lies.
    size_t table(const DirectoryStamp& stamp, const std::vector<ResourceId>& ids)
    {
        appendLe32(out_, stamp.characteristics);
        appendLe32(out_, stamp.timeDateStamp);
        appendLe16(out_, stamp.majorVersion);
        appendLe16(out_, stamp.minorVersion);
        auto named = std::count_if(ids.begin(), ids.end(), [](const ResourceId& id) { return !id.name.empty(); });
        appendLe16(out_, static_cast<uint16_t>(named));
        appendLe16(out_, static_cast<uint16_t>(ids.size() - named));
        size_t first = out_.size();
        for (const ResourceId& id : ids) {
            if (!id.name.empty())
                names_.emplace_back(out_.size(), id.name);
            appendLe32(out_, id.number);
            appendLe32(out_, 0);
        }
        return first;
    }

    size_t position() const { return out_.size(); }
    void pointTo(size_t entry, size_t target, bool directory)
    {
        putLe32(out_, entry + 4, static_cast<uint32_t>(target) | (directory ? kHighBit : 0));
    }
    void data(size_t entry, const ResourceData* data) { data_.emplace_back(entry, data); }

    Bytes finish(uint32_t sectionRva)
    {
        for (const auto& [entry, name] : names_) {
            putLe32(out_, entry, static_cast<uint32_t>(out_.size()) | kHighBit);
            appendLe16(out_, static_cast<uint16_t>(name.size()));
            for (char16_t unit : name)
                appendLe16(out_, unit);
        }
        padTo(out_, 4);
        std::vector<size_t> dataEntries;
        for (const auto& [entry, data] : data_) {
            pointTo(entry, out_.size(), false);
            dataEntries.push_back(out_.size());
            appendLe32(out_, 0);
            appendLe32(out_, static_cast<uint32_t>(data->data.size()));
            appendLe32(out_, data->codePage);
            appendLe32(out_, 0);
        }
        for (size_t i = 0; i < data_.size(); ++i) {
            padTo(out_, 8);
            putLe32(out_, dataEntries[i], sectionRva + static_cast<uint32_t>(out_.size()));
            appendBytes(out_, data_[i].second->data);
        }
        // Resource compilers end the section aligned too.
        padTo(out_, 8);
        return std::move(out_);
    }

private:
    Bytes out_;
    std::vector<std::pair<size_t, std::u16string>> names_;
    std::vector<std::pair<size_t, const ResourceData*>> data_;
};

template <typename Items, typename IdOf>
std::vector<ResourceId> idsOf(const Items& items, IdOf idOf)
{
    std::vector<ResourceId> ids;
    for (const auto& item : items)
        ids.push_back(idOf(item));
    return ids;
}

}  // namespace

ResourceType* ResourceTree::find(uint32_t type)
{
    for (ResourceType& candidate : types)
        if (candidate.type == ResourceId{ type, {} })
            return &candidate;
    return nullptr;
}

void ResourceTree::remove(uint32_t type)
{
    types.erase(std::remove_if(types.begin(), types.end(),
                               [type](const ResourceType& t) { return t.type == ResourceId{ type, {} }; }),
                types.end());
}

ResourceType& ResourceTree::add(uint32_t type)
{
    if (ResourceType* found = find(type))
        return *found;
    types.push_back(ResourceType{ ResourceId{ type, {} }, {}, {} });
    return types.back();
}

Outcome<ResourceTree> readResourceTree(ByteView section, uint32_t sectionRva)
{
    TreeReader reader(section, sectionRva);
    ResourceTree tree;
    std::vector<std::pair<ResourceId, size_t>> types;
    Status root = reader.table(0, true, tree.stamp, types);
    if (!root)
        return root.refusal();
    for (const auto& [type, offset] : types) {
        Outcome<ResourceType> read = readType(reader, type, offset);
        if (!read)
            return read.refusal();
        tree.types.push_back(std::move(read.value()));
    }
    return tree;
}

Bytes writeResourceTree(ResourceTree tree, uint32_t sectionRva)
{
    sortEntries(tree);
    TreeWriter writer;
    size_t typeEntry = writer.table(tree.stamp, idsOf(tree.types, [](const ResourceType& t) { return t.type; }));
    for (const ResourceType& type : tree.types) {
        writer.pointTo(typeEntry, writer.position(), true);
        typeEntry += kEntrySize;
        size_t nameEntry = writer.table(type.stamp, idsOf(type.entries, [](const ResourceEntry& e) { return e.name; }));
        for (const ResourceEntry& entry : type.entries) {
            writer.pointTo(nameEntry, writer.position(), true);
            nameEntry += kEntrySize;
            size_t languageEntry = writer.table(
                entry.stamp, idsOf(entry.languages, [](const ResourceData& d) { return ResourceId{ d.language, {} }; }));
            for (const ResourceData& data : entry.languages) {
                writer.data(languageEntry, &data);
                languageEntry += kEntrySize;
            }
        }
    }
    return writer.finish(sectionRva);
}
