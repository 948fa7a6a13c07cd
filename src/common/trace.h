#pragma once
// An account of the launch for a person who wants to know why it went as it
// did: which settings were read, which runtimes were found and why each was
// taken or not, what the machine was given and how each step ended. Written
// only when the environment variable JAVA_LAUNCHER_TRACE names a file, a line
// at a time as the launch goes, appended to that file. Tracing never changes
// what the launch does.
//
// The lines are made here; where they go is handed in, once, by the launch,
// which opens the file (launcher/trace_file.h): common/ opens no files.
#include "common/message_format.h"

#include <initializer_list>
#include <stddef.h>

// Takes one whole line, its '\n' included.
using TraceOutput = void (*)(const char* line, size_t length);
// Every line from now on goes to the output; before one is set, none is made.
void setTraceOutput(TraceOutput output);

bool isTracing();
// One line: the format filled with the values (%s texts, %d numbers).
void trace(const char* format, std::initializer_list<FormatValue> values = {});
