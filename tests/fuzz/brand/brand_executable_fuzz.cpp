// A launcher executable as the tool reads it, branded with every option at
// once: the outcome is a file the tool reads back and accepts, within a small
// multiple of the input, or a refusal.
#include "branding.h"
#include "fuzz_check.h"

#include <string.h>

namespace {

// A 1x1 PNG image, as --icon would give it.
const uint8_t kPng[] = { 0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
                         0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F,
                         0x15, 0xC4, 0x89, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x50,
                         0xE8, 0xF9, 0xF0, 0x1F, 0x00, 0x05, 0x08, 0x02, 0x9C, 0xBE, 0x81, 0xE2, 0x9D, 0x00, 0x00,
                         0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82 };

// What the options add to each of the (at most 32) languages edited, and the
// icon, the version record and the manifest made anew: far less than this.
const size_t kMostAdded = 1 << 20;

Branding branding()
{
    Branding result;
    result.outputFileName = "MyApp.exe";
    Outcome<IconImage> icon = iconImageFromPng(ByteView(kPng, sizeof kPng));
    FUZZ_REQUIRE(icon);
    result.icons.push_back(icon.value());
    result.identity.fileVersion = FourPartVersion{ 1, 2, 3, 4 };
    result.identity.productVersion = FourPartVersion{ 1, 2, 0, 0 };
    result.identity.description = "My App";
    result.identity.productName = "My App";
    result.identity.company = "Example Ltd";
    result.identity.copyright = "(c) 2026 Example Ltd";
    result.manifest.executionLevel = ExecutionLevel::HighestAvailable;
    result.manifest.dpiAwareness = DpiAwareness::PerMonitorV2;
    result.subsystem = Subsystem::Console;
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Branding options = branding();
    ByteView launcher(data, size);
    Outcome<Bytes> branded = brandExecutable(launcher, options);
    if (!branded)
        return 0;
    FUZZ_REQUIRE(branded.value().size() <= 2 * size + kMostAdded);
    FUZZ_REQUIRE(checkReadsBack(branded.value(), options));
    return 0;
}
