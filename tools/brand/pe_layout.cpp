#include "pe_layout.h"

#include "printable_text.h"

namespace {

const uint16_t kMachineX86 = 0x14C, kMachineX64 = 0x8664;
const uint16_t kMagicPe32 = 0x10B, kMagicPe32Plus = 0x20B;
const uint16_t kExecutableImage = 0x0002, kDll = 0x2000;
const size_t kSectionHeaderSize = 40;
const size_t kDebugEntrySize = 28;
const uint16_t kUnusedRelocation = 0;  // IMAGE_REL_BASED_ABSOLUTE pads a block

struct Directory {
    uint32_t rva;
    uint32_t size;
};

Directory directory(ByteView file, const PeLayout& layout, size_t index)
{
    if (index >= layout.dataDirectoryCount)
        return { 0, 0 };
    return { file.le32(layout.directoryOffset(index)), file.le32(layout.directoryOffset(index) + 4) };
}

bool isPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

Refusal oddLayout(const std::string& what) { return Refusal{ "cannot rewrite this layout: " + what }; }

// The file offset of length bytes at rva, when a section's file data holds them.
std::optional<size_t> fileOffsetOf(const PeLayout& layout, uint32_t rva, uint32_t length)
{
    for (const Section& section : layout.sections)
        if (rva >= section.virtualAddress && length <= section.rawSize &&
            rva - section.virtualAddress <= section.rawSize - length)
            return section.rawOffset + (rva - section.virtualAddress);
    return std::nullopt;
}

Status readHeaders(ByteView file, PeLayout& layout, size_t& sectionTable, size_t& sectionCount)
{
    if (!file.fits(0, 64) || file.u8(0) != 'M' || file.u8(1) != 'Z')
        return Refusal{ "not a Windows executable (no MZ header)" };
    size_t pe = file.le32(0x3C);
    if (!file.fits(pe, 24))
        return Refusal{ "cut short: the PE header lies beyond the end of the file" };
    if (file.le32(pe) != 0x00004550)
        return Refusal{ "not a Windows executable (no PE signature)" };
    // The checksum is summed in aligned words: a header off that alignment
    // would have no checksum two tools agree on.
    if (pe % 4 != 0)
        return oddLayout("the PE header is not aligned to 4 bytes");
    uint16_t machine = file.le16(pe + 4);
    if (machine != kMachineX86 && machine != kMachineX64)
        return Refusal{ "not an x86 or x64 executable (machine type " + std::to_string(machine) + ")" };
    uint16_t characteristics = file.le16(pe + 22);
    if (!(characteristics & kExecutableImage) || (characteristics & kDll))
        return Refusal{ "not an executable (a DLL or an object file)" };

    layout.is64 = machine == kMachineX64;
    layout.optionalHeaderOffset = pe + 24;
    size_t optionalSize = file.le16(pe + 20);
    size_t fixedPart = layout.is64 ? 112 : 96;
    if (!file.fits(layout.optionalHeaderOffset, optionalSize) || optionalSize < fixedPart)
        return Refusal{ "cut short: the optional header is incomplete" };
    if (file.le16(layout.optionalHeaderOffset) != (layout.is64 ? kMagicPe32Plus : kMagicPe32))
        return Refusal{ "the optional header does not match the machine type" };
    layout.dataDirectoriesOffset = layout.optionalHeaderOffset + fixedPart;
    layout.dataDirectoryCount = file.le32(layout.dataDirectoriesOffset - 4);
    if (layout.dataDirectoryCount > 16 || fixedPart + 8 * layout.dataDirectoryCount > optionalSize)
        return Refusal{ "the optional header's data directories are malformed" };
    layout.sectionAlignment = file.le32(layout.optionalHeaderOffset + 32);
    layout.fileAlignment = file.le32(layout.optionalHeaderOffset + 36);
    if (!isPowerOfTwo(layout.fileAlignment) || !isPowerOfTwo(layout.sectionAlignment) ||
        layout.fileAlignment > layout.sectionAlignment)
        return Refusal{ "the optional header's alignments are invalid" };
    sectionTable = layout.optionalHeaderOffset + optionalSize;
    sectionCount = file.le16(pe + 6);
    if (file.le32(pe + 12) != 0 && file.le32(pe + 16) != 0)
        return oddLayout("the file carries a COFF symbol table (strip it first)");
    return Done{};
}

Status readSections(ByteView file, PeLayout& layout, size_t table, size_t count)
{
    if (count == 0 || !file.fits(table, count * kSectionHeaderSize))
        return Refusal{ "cut short: the section table is incomplete" };
    for (size_t i = 0; i < count; ++i) {
        size_t at = table + i * kSectionHeaderSize;
        std::string raw(reinterpret_cast<const char*>(file.data() + at), 8);
        std::string name = printableName(raw.substr(0, raw.find('\0')));
        Section section{ name, at, file.le32(at + 8), file.le32(at + 12), file.le32(at + 16), file.le32(at + 20),
                         file.le32(at + 36) };
        if (section.rawSize != 0 && !file.fits(section.rawOffset, section.rawSize))
            return Refusal{ "cut short: section " + name + " ends beyond the end of the file" };
        // The rewrite copies the headers and then the section data; data
        // among the headers would be copied over them.
        if (section.rawSize != 0 && section.rawOffset < table + count * kSectionHeaderSize)
            return oddLayout("section " + name + " has its file data among the headers");
        if (i > 0 && section.virtualAddress < layout.sections.back().virtualAddress)
            return oddLayout("the sections are not in address order");
        layout.sections.push_back(section);
    }
    return Done{};
}

// Each section ends before the next begins and within the image, counted
// without wrapping at 4 GB.
Status checkAddresses(ByteView file, const PeLayout& layout)
{
    uint64_t end = 0;
    for (const Section& section : layout.sections) {
        if (section.virtualAddress < end)
            return oddLayout("section " + section.name + " overlaps the one before it in memory");
        end = uint64_t{ section.virtualAddress } + loadedSize(section);
    }
    if (end > file.le32(layout.sizeOfImageOffset()))
        return Refusal{ "the image size leaves out section " + layout.sections.back().name };
    return Done{};
}

Status findResourceAndRelocations(ByteView file, PeLayout& layout)
{
    Directory resources = directory(file, layout, kResourceDirectory);
    if (resources.rva == 0)
        return Refusal{ "the executable has no resources to rewrite" };
    size_t index = 0;
    while (index < layout.sections.size() && layout.sections[index].virtualAddress != resources.rva)
        ++index;
    if (index == layout.sections.size() || layout.sections[index].rawSize == 0 ||
        resources.size > layout.sections[index].rawSize)
        return oddLayout("the resources are not a section of their own");
    layout.resourceSection = index;
    const Section& resource = layout.sections[index];

    size_t following = layout.sections.size() - index - 1;
    Directory relocations = directory(file, layout, kRelocationDirectory);
    if (following == 1 && relocations.rva != 0 && layout.sections[index + 1].virtualAddress == relocations.rva &&
        layout.sections[index + 1].rawOffset >= size_t{ resource.rawOffset } + resource.rawSize)
        layout.relocationSection = index + 1;
    else if (following != 0)
        return oddLayout("section " + layout.sections[index + 1].name +
                         " follows the resources (only the base relocations may)");
    for (size_t i = 0; i < index; ++i) {
        const Section& before = layout.sections[i];
        if (before.rawSize != 0 && size_t{ before.rawOffset } + before.rawSize > resource.rawOffset)
            return oddLayout("section " + before.name + " lies after the resources in the file");
    }
    return Done{};
}

// What the rewrite moves (the resources' end, the relocation section) must
// be referred to by nothing but the two directories it updates.
Status checkNothingElseRefersToWhatMoves(ByteView file, const PeLayout& layout)
{
    const Section& resource = layout.sections[layout.resourceSection];
    if (directory(file, layout, kSecurityDirectory).rva != 0)
        return Refusal{ "the executable is signed: brand it before signing it" };
    for (size_t i = 0; i < layout.dataDirectoryCount; ++i) {
        Directory entry = directory(file, layout, i);
        if (i == kResourceDirectory || i == kSecurityDirectory || i == kRelocationDirectory || entry.rva == 0)
            continue;
        if (entry.rva + static_cast<uint64_t>(entry.size) > resource.virtualAddress)
            return oddLayout("data directory " + std::to_string(i) + " lies in or after the resources");
    }
    Directory debug = directory(file, layout, kDebugDirectory);
    if (debug.rva != 0) {
        std::optional<size_t> at = fileOffsetOf(layout, debug.rva, debug.size);
        if (!at)
            return Refusal{ "the debug directory lies outside the file" };
        for (size_t entry = *at; entry + kDebugEntrySize <= *at + debug.size; entry += kDebugEntrySize)
            if (file.le32(entry + 24) >= resource.rawOffset)
                return oddLayout("debug data follows the resources in the file (strip it first)");
    }
    return Done{};
}

// Moving the relocation section leaves its contents valid only while no
// fix-up lands in the part of the image that moves.
Status checkRelocationTargets(ByteView file, const PeLayout& layout)
{
    Directory relocations = directory(file, layout, kRelocationDirectory);
    if (relocations.rva == 0)
        return Done{};
    std::optional<size_t> start = fileOffsetOf(layout, relocations.rva, relocations.size);
    if (!start)
        return Refusal{ "the base relocation table lies outside the file" };
    uint32_t movingFrom = layout.sections[layout.resourceSection].virtualAddress;
    for (size_t block = *start, end = *start + relocations.size; block < end;) {
        if (end - block < 8 || file.le32(block + 4) < 8 || file.le32(block + 4) > end - block)
            return Refusal{ "the base relocation table is malformed" };
        uint32_t page = file.le32(block), blockSize = file.le32(block + 4);
        for (size_t entry = block + 8; entry + 2 <= block + blockSize; entry += 2) {
            uint16_t fixup = file.le16(entry);
            if (fixup >> 12 != kUnusedRelocation && uint64_t{ page } + (fixup & 0xFFFu) >= movingFrom)
                return oddLayout("base relocations fix up the resources or what follows them");
        }
        block += blockSize;
    }
    return Done{};
}

}  // namespace

Outcome<PeLayout> readPeLayout(ByteView file)
{
    PeLayout layout{};
    size_t sectionTable = 0, sectionCount = 0;
    Status headers = readHeaders(file, layout, sectionTable, sectionCount);
    if (!headers)
        return headers.refusal();
    Status sections = readSections(file, layout, sectionTable, sectionCount);
    if (!sections)
        return sections.refusal();
    Status addresses = checkAddresses(file, layout);
    if (!addresses)
        return addresses.refusal();
    Status found = findResourceAndRelocations(file, layout);
    if (!found)
        return found.refusal();
    Status alone = checkNothingElseRefersToWhatMoves(file, layout);
    if (!alone)
        return alone.refusal();
    Status fixups = checkRelocationTargets(file, layout);
    if (!fixups)
        return fixups.refusal();
    return layout;
}
