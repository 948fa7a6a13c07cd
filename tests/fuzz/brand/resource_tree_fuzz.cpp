// A resource section as read from an executable (after the address the image
// maps it at, 4 bytes little-endian): whatever it holds, reading
// it ends in a tree or a refusal, and a tree read is written back within a
// small multiple of the section's size and reads back as the same tree.
#include "fuzz_check.h"
#include "resource_tree.h"

namespace {

bool sameTree(const ResourceTree& a, const ResourceTree& b)
{
    if (a.types.size() != b.types.size())
        return false;
    for (size_t t = 0; t < a.types.size(); ++t) {
        const ResourceType& x = a.types[t];
        const ResourceType& y = b.types[t];
        if (!(x.type == y.type) || x.entries.size() != y.entries.size())
            return false;
        for (size_t e = 0; e < x.entries.size(); ++e) {
            if (!(x.entries[e].name == y.entries[e].name) || x.entries[e].languages.size() != y.entries[e].languages.size())
                return false;
            for (size_t l = 0; l < x.entries[e].languages.size(); ++l) {
                const ResourceData& p = x.entries[e].languages[l];
                const ResourceData& q = y.entries[e].languages[l];
                if (p.language != q.language || p.codePage != q.codePage || p.data != q.data)
                    return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const uint32_t sectionRva = ByteView(data, size).le32(0);
    data += 4;
    size -= 4;
    Outcome<ResourceTree> tree = readResourceTree(ByteView(data, size), sectionRva);
    if (!tree)
        return 0;
    Bytes written = writeResourceTree(tree.value(), sectionRva);
    // Every data entry is read at 16 bytes or more and written with at most
    // 7 bytes of padding; the rest comes out as large as it went in.
    FUZZ_REQUIRE(written.size() <= size + size / 2 + 16);
    Outcome<ResourceTree> again = readResourceTree(written, sectionRva);
    FUZZ_REQUIRE(again);
    // Written in lookup order, which the first tree need not have been in.
    Bytes rewritten = writeResourceTree(again.value(), sectionRva);
    FUZZ_REQUIRE(rewritten == written);
    Outcome<ResourceTree> sorted = readResourceTree(rewritten, sectionRva);
    FUZZ_REQUIRE(sorted && sameTree(sorted.value(), again.value()));
    return 0;
}
