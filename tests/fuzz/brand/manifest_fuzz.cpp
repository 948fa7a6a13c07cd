// A manifest as read from an executable, and the settings the owner asks for
// (chosen by the input's first byte): editing ends in a manifest the tool
// accepts again, grown by no more than the lines it adds, and no larger when
// edited again; or in a refusal.
#include "fuzz_check.h"
#include "manifest_settings.h"

#include <string>

namespace {

// The lines the tool adds, however the document is indented, stay below this.
const size_t kMostAdded = 4096;
// One per line the tool adds.
const size_t kLineEnds = 16;

ManifestSettings settingsFrom(uint8_t choice)
{
    ManifestSettings settings;
    if (choice & 0x4)
        settings.executionLevel = static_cast<ExecutionLevel>((choice & 0x3) % 3);
    if (choice & 0x20)
        settings.dpiAwareness = static_cast<DpiAwareness>(((choice >> 3) & 0x3) % 3);
    return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    ManifestSettings settings = settingsFrom(data[0]);
    std::string manifest(reinterpret_cast<const char*>(data) + 1, size - 1);
    Outcome<std::string> edited = applyManifestSettings(&manifest, settings);
    if (!edited)
        return 0;
    FUZZ_REQUIRE(edited.value().size() <= manifest.size() + kMostAdded);
    // The branded file is branded again the same way before it is written,
    // and may be branded again later: that may move what was added, and
    // change its line ends once (a stray '\r' before the end tag may make the
    // first "\r\n"), but never makes it grow further.
    Outcome<std::string> again = applyManifestSettings(&edited.value(), settings);
    FUZZ_REQUIRE(again);
    FUZZ_REQUIRE(again.value().size() <= edited.value().size() + kLineEnds);
    Outcome<std::string> third = applyManifestSettings(&again.value(), settings);
    FUZZ_REQUIRE(third);
    FUZZ_REQUIRE(third.value().size() <= again.value().size());
    return 0;
}
