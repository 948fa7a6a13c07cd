#pragma once
// JDK_JAVA_OPTIONS, read as java reads it before its own command line's
// options: split at blanks (space, tab, line ends, vertical tab, form feed),
// a single or double quote grouping up to the same quote inside an option
// ("-Dname=a 'b c'" gives "-Dname=a" and "b c"; no escapes), argument files
// (@file) expanded by their own rules, and refused where java refuses it,
// with java's own messages:
//
//   -Dx="a            Error: Unmatched quote in environment variable JDK_JAVA_OPTIONS
//   -jar app.jar      Error: Option -jar is not allowed in environment variable JDK_JAVA_OPTIONS
//   @opts (with -m)   Error: Option -m in @opts is not allowed in environment variable JDK_JAVA_OPTIONS
//   com.example.Main  Error: Cannot specify main class in environment variable JDK_JAVA_OPTIONS
//   @missing          Error: could not open `missing'
#include "common/failure.h"
#include "common/text.h"
#include "common/text_list.h"
#include "config/java_options.h"

extern const char kOptionsVariable[];

// The variable's options, in order, for those of the parameters; false with
// java's message (the failure's exit code java's 1) when java refuses them.
[[nodiscard]] bool splitOptionsVariable(const Text& value, ArgumentFileSplitting splitting, const void* context,
                                        TextList& items, Failure& failure);
// What java prints when it reads the variable: "NOTE: Picked up
// JDK_JAVA_OPTIONS: " and the value as it is.
[[nodiscard]] bool optionsVariableNote(const Text& value, Text& note);
