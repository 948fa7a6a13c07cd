// A hand-over as the running instance receives it from any local process of
// its user: parsed, it is refused, or it holds exactly what the lengths say
// and encodes back to the same bytes. Built by hand, with clang:
//
//   clang++ -std=c++17 -g -fsanitize=fuzzer,address,undefined -Isrc -Isrc/platform/posix/types \
//       tests/fuzz/instance/handover_fuzz.cpp src/instance/handover_message.cpp src/common/text.cpp \
//       src/common/text_list.cpp src/common/memory.cpp src/common/command_line_arguments.cpp -o build/handover_fuzz
//   build/handover_fuzz -max_total_time=60
#include "instance/handover_message.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HandOver handOver;
    if (parseHandOver(data, size, handOver) != HandOverFault::None)
        return 0;
    Text again;
    if (encodeHandOver(handOver.directory, handOver.directoryUnits, handOver.arguments, again)
            != HandOverFault::None
        || again.length() != size || memcmp(again.chars(), data, size) != 0)
        abort();
    return 0;
}
