#pragma once
// What the user reads when no runtime can be taken: the launcher's own
// sentence and address, or the application's (Runtime Missing Message, with
// %1 for the versions it asks for, and Runtime Download Address, of
// [Application]), followed by the runtimes that were found and passed over,
// each with its reason.
#include "common/failure.h"
#include "common/text.h"
#include "common/text_list.h"
#include "config/launch_paths.h"

// Checks the address when the launch begins, so that a mistake shows at
// once: false with the message naming the setting when it holds a control
// character.
[[nodiscard]] bool checkRuntimeDownloadAddress(const LaunchPaths& paths, Failure& failure);
// Fills the failure with the message of the settings: the requirement is the
// phrase for the versions asked for, the lines are those of the runtimes
// passed over.
bool failRuntimeNotFound(Failure& failure, const LaunchPaths& paths, const Text& requirement,
                         const TextList& passedOver);
// The message: the text (empty: the launcher's own, kRuntimeNotFoundFormat's)
// with %1 replaced, a line end, the address (empty: the launcher's own),
// then at most kShownPassedOver of the lines. Without text, address and
// runtimes passed over, the launcher's message as it always was. Empty when
// memory runs out.
Text runtimeNotFoundMessage(const Text& text, const Text& address, const Text& requirement,
                            const TextList& passedOver);

const size_t kShownPassedOver = 5;
extern const char kAddressControlCharacterMessage[];
