#include "pe_rewrite.h"

#include "pe_checksum.h"

#include <algorithm>

namespace {

const uint32_t kInitializedData = 0x00000040;  // IMAGE_SCN_CNT_INITIALIZED_DATA
const uint64_t kLargestImage = 0xFFFFFFFFu;     // SizeOfImage and every address are 32-bit

uint64_t alignedEnd(uint64_t start, uint64_t length, uint32_t alignment)
{
    return (start + length + alignment - 1) / alignment * alignment;
}

// Whatever the file holds after its sections' data (an installer's payload,
// say) stays at the end.
ByteView trailingData(ByteView file, const PeLayout& layout)
{
    size_t end = 0;
    for (const Section& section : layout.sections)
        if (section.rawSize != 0)
            end = std::max<size_t>(end, section.rawOffset + section.rawSize);
    return file.part(end, file.size() - end);
}

void writeSectionPlace(Bytes& file, const Section& section, uint32_t virtualSize, uint32_t virtualAddress,
                       uint32_t rawSize, uint32_t rawOffset)
{
    putLe32(file, section.headerOffset + 8, virtualSize);
    putLe32(file, section.headerOffset + 12, virtualAddress);
    putLe32(file, section.headerOffset + 16, rawSize);
    putLe32(file, section.headerOffset + 20, rawOffset);
}

}  // namespace

ByteView resourceSectionData(ByteView file, const PeLayout& layout)
{
    const Section& section = layout.sections[layout.resourceSection];
    return file.part(section.rawOffset, section.rawSize);
}

Outcome<Bytes> withResourceSection(ByteView file, const PeLayout& layout, const Bytes& resources)
{
    const Section& resource = layout.sections[layout.resourceSection];
    uint64_t imageEnd = alignedEnd(resource.virtualAddress, resources.size(), layout.sectionAlignment);
    uint64_t relocationsAt = imageEnd;
    if (layout.relocationSection)
        imageEnd = alignedEnd(imageEnd, loadedSize(layout.sections[*layout.relocationSection]), layout.sectionAlignment);
    if (imageEnd > kLargestImage)
        return Refusal{ "cannot rewrite this layout: the new resources would end beyond the 4 GB address space" };

    Bytes out = file.copy(0, resource.rawOffset);
    appendBytes(out, resources);
    padTo(out, layout.fileAlignment);
    uint32_t rawSize = static_cast<uint32_t>(out.size() - resource.rawOffset);
    uint32_t virtualSize = static_cast<uint32_t>(resources.size());
    writeSectionPlace(out, resource, virtualSize, resource.virtualAddress, rawSize, resource.rawOffset);
    putLe32(out, layout.directoryOffset(kResourceDirectory) + 4, virtualSize);
    if (layout.relocationSection) {
        // Its fix-ups name addresses before the resources, which stay put,
        // so the table moves as it is; only where it lies changes.
        const Section& relocation = layout.sections[*layout.relocationSection];
        uint32_t rawOffset = static_cast<uint32_t>(out.size());
        uint32_t virtualAddress = static_cast<uint32_t>(relocationsAt);
        appendBytes(out, file.part(relocation.rawOffset, relocation.rawSize));
        writeSectionPlace(out, relocation, relocation.virtualSize, virtualAddress, relocation.rawSize, rawOffset);
        putLe32(out, layout.directoryOffset(kRelocationDirectory), virtualAddress);
    }
    appendBytes(out, trailingData(file, layout));

    putLe32(out, layout.sizeOfImageOffset(), static_cast<uint32_t>(imageEnd));
    // The resource section counts as initialized data (linkers say so in its
    // flags): the total changes by as much as its file data did.
    if (resource.characteristics & kInitializedData) {
        uint32_t initialized = file.le32(layout.sizeOfInitializedDataOffset());
        putLe32(out, layout.sizeOfInitializedDataOffset(), initialized - resource.rawSize + rawSize);
    }
    return out;
}

void setSubsystem(Bytes& file, const PeLayout& layout, Subsystem subsystem)
{
    putLe16(file, layout.subsystemOffset(), static_cast<uint16_t>(subsystem));
}

void updateChecksum(Bytes& file, const PeLayout& layout)
{
    putLe32(file, layout.checksumOffset(), peChecksum(file, layout.checksumOffset()));
}
