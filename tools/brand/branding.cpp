#include "branding.h"

#include "resource_tree.h"
#include "text_encoding.h"
#include "version_record.h"

#include <utility>

namespace {

const uint32_t kUsEnglish = 0x0409;
// The resource name Windows reads a program's own manifest from
// (CREATEPROCESS_MANIFEST_RESOURCE_ID) and the version record's (VS_VERSION_INFO).
const uint32_t kFirstResource = 1;
// Of the version records, and of the manifests Windows reads: resource
// compilers write one per language the program is translated into.
const size_t kMostEditedLanguages = 32;

// New resources take the language the version record has, which is the
// language resource compilers gave everything else.
uint32_t languageOfTree(ResourceTree& tree)
{
    ResourceType* versions = tree.find(kVersionResource);
    if (versions && !versions->entries.empty() && !versions->entries[0].languages.empty())
        return versions->entries[0].languages[0].language;
    return kUsEnglish;
}

bool changesResources(const Branding& branding)
{
    const Identity& id = branding.identity;
    return !branding.icons.empty() || branding.manifest.any() || id.fileVersion || id.productVersion ||
           id.description || id.productName || id.company || id.copyright;
}

// The group Explorer shows is the first one; the new group takes its name
// and language, and the new images replace every old one.
void replaceIcons(ResourceTree& tree, const std::vector<IconImage>& images)
{
    ResourceId groupName{ kFirstResource, {} };
    uint32_t language = languageOfTree(tree);
    ResourceType* groups = tree.find(kGroupIconResource);
    if (groups && !groups->entries.empty()) {
        groupName = groups->entries[0].name;
        if (!groups->entries[0].languages.empty())
            language = groups->entries[0].languages[0].language;
    }
    tree.remove(kIconResource);
    tree.remove(kGroupIconResource);
    ResourceType& icons = tree.add(kIconResource);
    for (size_t i = 0; i < images.size(); ++i)
        icons.entries.push_back(ResourceEntry{ ResourceId{ static_cast<uint32_t>(kFirstResource + i), {} }, {},
                                               { ResourceData{ language, 0, images[i].data } } });
    Bytes group = iconGroupDirectory(images, kFirstResource);
    tree.add(kGroupIconResource).entries.push_back(ResourceEntry{ groupName, {}, { ResourceData{ language, 0, group } } });
}

Outcome<VersionEdits> versionEdits(const Branding& branding)
{
    const Identity& id = branding.identity;
    std::string fileName = branding.outputFileName;
    std::string internalName = fileName.substr(0, fileName.rfind('.'));
    std::vector<std::pair<const char16_t*, std::optional<std::string>>> texts = {
        { u"FileDescription", id.description },
        { u"ProductName", id.productName },
        { u"CompanyName", id.company },
        { u"LegalCopyright", id.copyright },
        { u"FileVersion", id.fileVersion ? std::optional<std::string>(id.fileVersion->text()) : std::nullopt },
        { u"ProductVersion", id.productVersion ? std::optional<std::string>(id.productVersion->text()) : std::nullopt },
        { u"OriginalFilename", fileName },
        { u"InternalName", internalName },
    };
    VersionEdits edits{ id.fileVersion, id.productVersion, {} };
    for (const auto& [key, text] : texts) {
        if (!text)
            continue;
        Outcome<std::u16string> wide = utf16FromUtf8(*text);
        if (!wide)
            return wide.refusal();
        edits.strings.emplace_back(key, wide.value());
    }
    return edits;
}

size_t languageCount(const ResourceType& type)
{
    size_t count = 0;
    for (const ResourceEntry& entry : type.entries)
        count += entry.languages.size();
    return count;
}

// Every edited language grows by what the options add, so their number is
// what keeps the output within a small multiple of the input.
Status checkFewEnough(size_t languages, const char* what)
{
    if (languages <= kMostEditedLanguages)
        return Done{};
    return Refusal{ "the executable holds " + std::to_string(languages) + " " + what + ": more than the " +
                    std::to_string(kMostEditedLanguages) + " languages the tool edits" };
}

Status rewriteVersionRecords(ResourceTree& tree, const Branding& branding)
{
    Outcome<VersionEdits> edits = versionEdits(branding);
    if (!edits)
        return edits.refusal();
    uint32_t language = languageOfTree(tree);
    ResourceType& versions = tree.add(kVersionResource);
    Status few = checkFewEnough(languageCount(versions), "version records");
    if (!few)
        return few;
    if (languageCount(versions) == 0) {
        Outcome<Bytes> made = editVersionRecord(nullptr, edits.value());
        if (!made)
            return made.refusal();
        if (versions.entries.empty())
            versions.entries.push_back(ResourceEntry{ ResourceId{ kFirstResource, {} }, {}, {} });
        versions.entries[0].languages.push_back(ResourceData{ language, 0, std::move(made.value()) });
        return Done{};
    }
    // Each string table gets every string: their number, too, keeps the
    // output within a small multiple of the input.
    size_t tables = 0;
    for (const ResourceEntry& entry : versions.entries)
        for (const ResourceData& record : entry.languages) {
            Outcome<size_t> count = stringTablesToEdit(record.data);
            if (!count)
                return count.refusal();
            tables += count.value();
        }
    few = checkFewEnough(tables, "string tables in its version records");
    if (!few)
        return few;
    for (ResourceEntry& entry : versions.entries)
        for (ResourceData& record : entry.languages) {
            Outcome<Bytes> edited = editVersionRecord(&record.data, edits.value());
            if (!edited)
                return edited.refusal();
            record.data = std::move(edited.value());
        }
    return Done{};
}

// Windows reads the manifest named kFirstResource; any other stays as it is.
Status rewriteManifest(ResourceTree& tree, const ManifestSettings& settings)
{
    uint32_t language = languageOfTree(tree);
    ResourceType& manifests = tree.add(kManifestResource);
    ResourceEntry* own = nullptr;
    for (ResourceEntry& entry : manifests.entries)
        if (entry.name == ResourceId{ kFirstResource, {} })
            own = &entry;
    if (!own) {
        manifests.entries.push_back(ResourceEntry{ ResourceId{ kFirstResource, {} }, {}, {} });
        own = &manifests.entries.back();
    }
    Status few = checkFewEnough(own->languages.size(), "manifests");
    if (!few)
        return few;
    if (own->languages.empty()) {
        Outcome<std::string> made = applyManifestSettings(nullptr, settings);
        if (!made)
            return made.refusal();
        own->languages.push_back(ResourceData{ language, 0, Bytes(made.value().begin(), made.value().end()) });
        return Done{};
    }
    for (ResourceData& manifest : own->languages) {
        std::string text(manifest.data.begin(), manifest.data.end());
        Outcome<std::string> applied = applyManifestSettings(&text, settings);
        if (!applied)
            return applied.refusal();
        manifest.data.assign(applied.value().begin(), applied.value().end());
    }
    return Done{};
}

Outcome<Bytes> rebrandResources(ByteView launcher, const PeLayout& layout, const Branding& branding)
{
    uint32_t sectionRva = layout.sections[layout.resourceSection].virtualAddress;
    Outcome<ResourceTree> tree = readResourceTree(resourceSectionData(launcher, layout), sectionRva);
    if (!tree)
        return tree.refusal();
    if (!branding.icons.empty())
        replaceIcons(tree.value(), branding.icons);
    Status version = rewriteVersionRecords(tree.value(), branding);
    if (!version)
        return version.refusal();
    if (branding.manifest.any()) {
        Status manifest = rewriteManifest(tree.value(), branding.manifest);
        if (!manifest)
            return manifest.refusal();
    }
    return withResourceSection(launcher, layout, writeResourceTree(std::move(tree.value()), sectionRva));
}

}  // namespace

Outcome<Bytes> brandExecutable(ByteView launcher, const Branding& branding)
{
    Outcome<PeLayout> layout = readPeLayout(launcher);
    if (!layout)
        return layout.refusal();
    Bytes branded = launcher.copy(0, launcher.size());
    if (changesResources(branding)) {
        Outcome<Bytes> rebranded = rebrandResources(launcher, layout.value(), branding);
        if (!rebranded)
            return rebranded;
        branded = std::move(rebranded.value());
    }
    // The headers keep their places, so the layout read still applies.
    if (branding.subsystem)
        setSubsystem(branded, layout.value(), *branding.subsystem);
    updateChecksum(branded, layout.value());
    return branded;
}

Status checkReadsBack(ByteView branded, const Branding& branding)
{
    Outcome<Bytes> again = brandExecutable(branded, branding);
    if (!again)
        return Refusal{ "the branded file would not read back (" + again.message() + "): nothing is written" };
    return Done{};
}
