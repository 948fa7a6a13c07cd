#include "platform/runtime_sources.h"

#include "common/trace.h"

#include <dirent.h>
#include <elf.h>
#include <stdlib.h>
#include <string.h>

// Runtimes older than Java 9 keep their libraries one level deeper, under
// the architecture's name.
#if defined(__x86_64__)
#define RUNTIME_ARCH "amd64"
#define PROCESSOR_CODE EM_X86_64
#elif defined(__aarch64__)
#define RUNTIME_ARCH "aarch64"
#define PROCESSOR_CODE EM_AARCH64
#else
#define RUNTIME_ARCH "i386"
#define PROCESSOR_CODE EM_386
#endif

namespace {

// The runtimes of the system's packages, each in a directory of its own.
const char kRuntimesDirectory[] = "/usr/lib/jvm/";
const char kRuntimesSource[] = "runtime directories";

// A directory's entries in name order, as scandir gives them: each entry and
// the list are the C library's allocations, freed when the owner goes.
class DirectoryEntries {
public:
    explicit DirectoryEntries(const char* directory) : count_(scandir(directory, &entries_, nullptr, alphasort)) {}
    DirectoryEntries(const DirectoryEntries&) = delete;
    DirectoryEntries& operator=(const DirectoryEntries&) = delete;
    ~DirectoryEntries()
    {
        for (int i = 0; i < count_; ++i)
            free(entries_[i]);
        free(entries_);
    }

    // -1 when the directory cannot be read.
    int count() const { return count_; }
    const char* name(int index) const { return entries_[index]->d_name; }

private:
    struct dirent** entries_ = nullptr;
    int count_;
};

}

namespace platform {

const char* const kJavaLibraryPaths[] = {
    "lib/libjava.so", "lib/" RUNTIME_ARCH "/libjava.so", nullptr,
};
const char* const kVmLibraryPaths[] = {
    "lib/client/libjvm.so", "lib/server/libjvm.so",
    "lib/" RUNTIME_ARCH "/client/libjvm.so", "lib/" RUNTIME_ARCH "/server/libjvm.so",
    nullptr,
};
const char kPrivateRuntimeSubdirectory[] = "jre/";

const LibraryProcessor kThisProcessor = {
    LibraryProcessor::Format::Elf, PROCESSOR_CODE, sizeof(void*) * 8,
};

// The directories under /usr/lib/jvm in name order (a link to one counts as
// another record of the same runtime).
void recordedRuntimes(RuntimeRecords& records)
{
    DirectoryEntries entries(kRuntimesDirectory);
    if (entries.count() < 0) {
        trace("  source %s: %s: not there", { kRuntimesSource, kRuntimesDirectory });
        return;
    }
    trace("  source %s: %s", { kRuntimesSource, kRuntimesDirectory });
    for (int i = 0; i < entries.count(); ++i) {
        RuntimeRecord record;
        record.source = kRuntimesSource;
        record.kind = RecordKind::Installed;
        const char* name = entries.name(i);
        // A record that cannot get memory is left out, as one that is not there.
        if (name[0] != '.' && record.home.assign(kRuntimesDirectory, strlen(kRuntimesDirectory))
            && record.home.append(name) && record.name.assign(name, strlen(name))
            && record.location.assign(record.home.chars(), record.home.length()))
            (void)records.append(static_cast<RuntimeRecord&&>(record));
    }
}

}
