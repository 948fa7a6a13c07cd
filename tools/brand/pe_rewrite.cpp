#include "pe_rewrite.h"

#include "pe_checksum.h"

#include <algorithm>

namespace {

const uint32_t kInitializedData = 0x00000040;  // IMAGE_SCN_CNT_INITIALIZED_DATA

uint32_t loadedSize(const Section& section) { return section.virtualSize ? section.virtualSize : section.rawSize; }

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

Bytes withResourceSection(ByteView file, const PeLayout& layout, const Bytes& resources)
{
    const Section& resource = layout.sections[layout.resourceSection];
    Bytes out = file.copy(0, resource.rawOffset);
    appendBytes(out, resources);
    padTo(out, layout.fileAlignment);
    uint32_t rawSize = static_cast<uint32_t>(out.size() - resource.rawOffset);
    uint32_t virtualSize = static_cast<uint32_t>(resources.size());
    writeSectionPlace(out, resource, virtualSize, resource.virtualAddress, rawSize, resource.rawOffset);
    putLe32(out, layout.directoryOffset(kResourceDirectory) + 4, virtualSize);

    uint32_t imageEnd = static_cast<uint32_t>(alignUp(resource.virtualAddress + virtualSize, layout.sectionAlignment));
    if (layout.relocationSection) {
        // Its fix-ups name addresses before the resources, which stay put,
        // so the table moves as it is; only where it lies changes.
        const Section& relocation = layout.sections[*layout.relocationSection];
        uint32_t rawOffset = static_cast<uint32_t>(out.size());
        appendBytes(out, file.part(relocation.rawOffset, relocation.rawSize));
        writeSectionPlace(out, relocation, relocation.virtualSize, imageEnd, relocation.rawSize, rawOffset);
        putLe32(out, layout.directoryOffset(kRelocationDirectory), imageEnd);
        imageEnd = static_cast<uint32_t>(alignUp(imageEnd + loadedSize(relocation), layout.sectionAlignment));
    }
    appendBytes(out, trailingData(file, layout));

    putLe32(out, layout.sizeOfImageOffset(), imageEnd);
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
