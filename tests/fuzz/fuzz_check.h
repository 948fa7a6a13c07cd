#pragma once
// What every fuzz target, the launcher's and the branding tool's, insists on
// beyond the sanitizers' own checks: a broken promise ends the run with the
// reason, so libFuzzer keeps the input.
#include <stdio.h>
#include <stdlib.h>

#define FUZZ_REQUIRE(condition)                                                               \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            fprintf(stderr, "%s:%d: broken promise: %s\n", __FILE__, __LINE__, #condition);   \
            abort();                                                                          \
        }                                                                                     \
    } while (0)
