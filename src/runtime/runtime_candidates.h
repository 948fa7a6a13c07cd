#pragma once
// Turns the runtimes that the system's sources record into candidates for the
// choice: each record's runtime home, its version, and the checks that keep
// out what cannot serve.
#include "platform/runtime_sources.h"
#include "runtime/runtime_choice.h"

// Appends, in record order, every record whose home is not already a
// candidate's, whose version is in range and whose VM library exists and is
// built for this process's processor. Each other runtime of a known version,
// but for one an earlier source gave, is passed over: a line for the user,
// once, "Java 11.0.2 in /usr/lib/jvm/java-11/: out of the range ...".
void collectCandidates(const platform::RuntimeRecords& records, const RuntimeRequirement& requirement,
                       CandidateList& candidates, TextList& passedOver);
