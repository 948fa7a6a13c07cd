#include "runtime/chosen_runtime.h"

#include "common/library_processor.h"
#include "common/path_parts.h"
#include "platform/files.h"
#include "platform/runtime_sources.h"
#include "runtime/runtime_layout.h"

namespace {

const size_t kLibraryHeadersLimit = 4096;

// The library lies in bin\<kind>\ of the runtime; its own DLLs lie in bin\.
bool binDirectoryOf(const Text& vmLibraryPath, Text& directory)
{
    if (!directoryOfPath(vmLibraryPath, platform::kPathSeparator, directory))
        return false;
    if (directory.isEmpty())
        return true;
    directory.truncate(directory.length() - 1);
    return directoryOfPath(directory, platform::kPathSeparator, directory);
}

LibraryProcessor processorOf(const Text& library)
{
    Text head;
    if (!platform::readFileStart(library.chars(), kLibraryHeadersLimit, head))
        return LibraryProcessor();
    return libraryProcessor(reinterpret_cast<const unsigned char*>(head.chars()), head.length());
}

}

VmLibraryFit findVmLibrary(const char* kind, ChosenRuntime& runtime)
{
    runtime.vmLibraryPath = findJvmLibrary(runtime.home, kind);
    if (runtime.vmLibraryPath.isEmpty())
        return VmLibraryFit::Missing;
    // Without its folder the library would find other libraries of its name.
    if (!binDirectoryOf(runtime.vmLibraryPath, runtime.binDirectory)) {
        runtime.vmLibraryPath.clear();
        return VmLibraryFit::Missing;
    }
    LibraryProcessor processor = processorOf(runtime.vmLibraryPath);
    runtime.processorChecked = processor.isKnown();
    if (runtime.processorChecked && !(processor == platform::kThisProcessor))
        return VmLibraryFit::OtherProcessor;
    return VmLibraryFit::Fits;
}
