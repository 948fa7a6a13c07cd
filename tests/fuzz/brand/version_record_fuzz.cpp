// A version record as read from an executable: editing it ends in a record
// that reads back, within the 64 KB a record may hold, and that the same
// edits leave as it is; or in a refusal.
#include "fuzz_check.h"
#include "version_block.h"
#include "version_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bytes record(data, data + size);
    VersionEdits edits{ FourPartVersion{ 1, 2, 3, 4 }, std::nullopt,
                        { { u"FileDescription", u"My App" }, { u"CompanyName", u"Example Ltd" },
                          { u"OriginalFilename", u"MyApp.exe" } } };
    Outcome<Bytes> edited = editVersionRecord(&record, edits);
    if (!edited)
        return 0;
    FUZZ_REQUIRE(edited.value().size() <= 0xFFFF);
    FUZZ_REQUIRE(readVersionBlock(edited.value()));
    Outcome<Bytes> again = editVersionRecord(&edited.value(), edits);
    FUZZ_REQUIRE(again);
    FUZZ_REQUIRE(again.value() == edited.value());
    return 0;
}
