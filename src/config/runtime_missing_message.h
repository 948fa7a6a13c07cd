#pragma once
// What the user reads when no runtime can be taken: the launcher's own
// sentence and address, or the application's (Runtime Missing Message, with
// %1 for the versions it asks for, and Runtime Download Address, of
// [Application]), followed by the runtimes that were found and passed over,
// each with its reason.
#include "common/failure.h"
#include "common/text.h"
#include "config/launch_paths.h"
#include "runtime/runtime_choice.h"

struct RuntimeMessageSettings {
    Text message; // empty: the launcher's own
    Text address; // empty: the launcher's own
};

// Reads both settings; false with the message naming the setting when the
// address holds a control character.
[[nodiscard]] bool readRuntimeMessageSettings(const LaunchPaths& paths, RuntimeMessageSettings& settings,
                                              Failure& failure);
// Fills the failure: the requirement is the phrase for the versions asked
// for; at most kShownPassedOver runtimes are listed. Without settings and
// runtimes passed over, the launcher's message as it always was.
bool failRuntimeNotFound(Failure& failure, const RuntimeMessageSettings& settings, const Text& requirement,
                         const PassedOverList& passedOver);

const size_t kShownPassedOver = 5;
extern const char kRuntimeNotFoundFormat[];
extern const char kAddressControlCharacterMessage[];
