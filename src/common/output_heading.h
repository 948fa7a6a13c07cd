#pragma once
// The line that begins each run's part of an output file: when the run
// started, in local time, and which executable it was.
//
//   2026-03-01 14:05:33 C:\Apps\MyApp\MyApp.exe
#include "common/text.h"

struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The line with the given line end; empty when memory runs out.
Text outputHeading(const LocalTime& time, const Text& executablePath, const char* lineEnd);
// The number in decimal digits, as settings write it.
Text decimalText(unsigned long long number);
