#pragma once
// The file the trace (common/trace.h) is written to: the one the environment
// variable JAVA_LAUNCHER_TRACE names, opened when the launch begins.

// Opens it, when the variable names one that can be written, and hands the
// trace the way there; otherwise nothing is traced.
void openTraceFile();
