#pragma once
// The seal beside a startup archive: a line that the launcher writes once the
// runtime has finished writing the archive, from a hash of what the archive
// was made for (the options, the JARs, the runtime) and of the archive's own
// state as the runtime left it. The runtime trusts the archive it is handed:
// a damaged one can crash it, a cut one makes it warn at every start, one
// made for other JARs of the same size and time it uses as it is. So an
// archive is handed over only while it matches its seal.
//
//   ArchiveHash facts;
//   facts.addOptions(options);
//   facts.addFile(jar);
//   if (!archiveMatchesSeal(archive, seal, facts.value())) ... remove it
//   ... once the runtime has ended:
//   writeSeal(archive, seal, facts.value());
#include "common/text.h"
#include "common/text_list.h"
#include "platform/files.h"

#include <stddef.h>

// 64-bit FNV-1a over what is added; a hash for telling states apart, not a
// defence against someone who forges them.
class ArchiveHash {
public:
    void addBytes(const char* bytes, size_t length);
    void addNumber(unsigned long long number);
    void addText(const Text& text) { addBytes(text.chars(), text.length() + 1); }
    void addStamp(const platform::FileStamp& stamp);
    // The file's stamp, or a mark that it is not there; false then.
    bool addFile(const char* path, platform::FileStamp& stamp);
    // Each option, except those that only say what the runtime logs.
    void addOptions(const TextList& options);
    unsigned long long value() const { return hash_; }

private:
    unsigned long long hash_ = 14695981039346656037ull;
};

// The number's lowest `digits` hexadecimal digits, appended.
[[nodiscard]] bool appendHexDigits(Text& text, unsigned long long number, int digits);

// The seal's text for an archive of these facts in this state; empty when
// memory runs out.
Text sealText(unsigned long long facts, const platform::FileStamp& archive);
// Whether a file's first bytes are a whole dynamic archive header: the
// runtime writes it last, after everything it describes.
bool isWholeArchiveHeader(const Text& start, unsigned long long fileSize);

// False too when the archive or the seal is not its owner's alone.
bool archiveMatchesSeal(const char* archive, const char* seal, unsigned long long facts);
// Writes the seal when the archive is there with its whole header, once no
// one but its owner may write it; false (and no seal) otherwise. The seal is
// made anew, never through a link.
bool writeSeal(const char* archive, const char* seal, unsigned long long facts);
