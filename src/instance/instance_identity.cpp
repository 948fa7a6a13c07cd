#include "instance/instance_identity.h"

namespace {

// A name and a path never make the same identity, whatever they hold.
const char kNamePrefix[] = "name:";
const char kPathPrefix[] = "path:";

}

bool instanceIdentity(const Text& comparedPath, const Text& name, Text& identity)
{
    return identity.assign(name.isEmpty() ? kPathPrefix : kNamePrefix)
        && identity.append(name.isEmpty() ? comparedPath : name);
}

bool instanceHash(const Text& identity, Text& hashText)
{
    unsigned long long hash = 14695981039346656037ull;
    for (size_t i = 0; i < identity.length(); ++i) {
        hash ^= static_cast<unsigned char>(identity.at(i));
        hash *= 1099511628211ull;
    }
    const char digits[] = "0123456789abcdef";
    char text[16];
    for (int i = 15; i >= 0; --i, hash >>= 4)
        text[i] = digits[hash & 0xF];
    return hashText.assign(text, sizeof text);
}
