#include "instance/instance_identity.h"

#include "common/characters.h"

namespace {

// A name and a path never make the same identity, whatever they hold.
const char kNamePrefix[] = "name:";
const char kPathPrefix[] = "path:";

}

Text instanceIdentity(const Text& executablePath, const Text& name, bool pathsIgnoreCase)
{
    Text identity(name.isEmpty() ? kPathPrefix : kNamePrefix);
    if (!identity.append(name.isEmpty() ? executablePath : name))
        return Text();
    if (!name.isEmpty() || !pathsIgnoreCase)
        return identity;
    // By whole characters: the second byte of a double-byte one is no letter.
    const char* start = identity.chars();
    for (const char* at = start + sizeof kPathPrefix - 1; *at;) {
        const char* next = nextCharacter(at);
        size_t i = static_cast<size_t>(at - start);
        if (next == at + 1 && *at >= 'a' && *at <= 'z')
            identity.setAt(i, static_cast<char>(*at - 'a' + 'A'));
        else if (next == at + 1 && *at == '/')
            identity.setAt(i, '\\');
        at = next;
    }
    return identity;
}

Text instanceHash(const Text& identity)
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
    return Text(text, sizeof text);
}
