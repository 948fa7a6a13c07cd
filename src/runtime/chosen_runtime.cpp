#include "runtime/chosen_runtime.h"

#include "common/library_processor.h"
#include "common/path_parts.h"
#include "platform/files.h"
#include "platform/runtime_sources.h"
#include "runtime/runtime_layout.h"

namespace {

const size_t kLibraryHeadersLimit = 4096;

// The library lies in bin\<kind>\ of the runtime; its own DLLs lie in bin\.
Text binDirectoryOf(const Text& vmLibraryPath)
{
    Text kindDirectory = directoryOfPath(vmLibraryPath, platform::kPathSeparator);
    if (kindDirectory.isEmpty())
        return kindDirectory;
    kindDirectory.truncate(kindDirectory.length() - 1);
    return directoryOfPath(kindDirectory, platform::kPathSeparator);
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
    runtime.binDirectory = binDirectoryOf(runtime.vmLibraryPath);
    LibraryProcessor processor = processorOf(runtime.vmLibraryPath);
    runtime.processorChecked = processor.isKnown();
    if (runtime.processorChecked && !(processor == platform::kThisProcessor))
        return VmLibraryFit::OtherProcessor;
    return VmLibraryFit::Fits;
}
