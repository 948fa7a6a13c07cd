// A hand-over as the running instance receives it from any local process of
// its user: refused, or read as exactly what its lengths say, so that it
// encodes back to the same bytes; the length its header announces is the one
// the whole message is read by.
#include "fuzz_check.h"
#include "instance/handover_message.h"

#include <stdint.h>
#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HandOver handOver;
    HandOverFault fault = parseHandOver(data, size, handOver);
    size_t total = 0;
    if (size >= kHandOverHeaderLength && handOverLength(data, size, total) == HandOverFault::None)
        FUZZ_REQUIRE(total <= kLargestHandOver && (fault != HandOverFault::None || total == size));
    if (fault != HandOverFault::None)
        return 0;
    Text again;
    FUZZ_REQUIRE(encodeHandOver(handOver.directory, handOver.directoryUnits, handOver.arguments, again)
                 == HandOverFault::None);
    FUZZ_REQUIRE(again.length() == size && memcmp(again.chars(), data, size) == 0);
    return 0;
}
