#pragma once
// At most one running instance of an application per user (and on Windows
// per logon session): a start claims the application's channel and becomes
// its instance, or hands the running instance its arguments and working
// directory and ends. The instance receives hand-overs on a thread of its
// own from its claim on, and keeps them in order until they are delivered
// (see instance/handover_delivery.h).
//
//   SingleInstance instance;
//   if (!startSingleInstance({ paths, settings, arguments }, instance, failure))
//       ... tell the user why
//   if (instance.handedOver)
//       ... end with 0
#include "common/command_line_arguments.h"
#include "common/failure.h"
#include "config/application_settings.h"
#include "config/launch_paths.h"
#include "instance/handover_queue.h"
#include "platform/instance_channel.h"

// What the instance's receiving thread uses for the process's life: never freed.
struct InstanceState {
    platform::InstanceChannel* channel = nullptr;
    HandOverQueue queue;
};

struct SingleInstance {
    SingleInstance() = default;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    // Gives the claim up, so that the next start becomes the instance.
    ~SingleInstance();

    InstanceState* state = nullptr; // set when this process is the instance
    bool handedOver = false;        // this start handed its arguments over
};

struct InstanceStart {
    const LaunchPaths& paths;
    const ApplicationSettings& settings;
    const CommandLineArguments& arguments;
};

// True when this process is the instance now, or has handed its arguments
// to the one that runs (and its answer came); false with the message when
// neither could be done, or the instance did not answer within 5 seconds.
[[nodiscard]] bool startSingleInstance(const InstanceStart& start, SingleInstance& instance, Failure& failure);
// Gives the claim up, once, from any thread; hand-overs that arrive later
// are not answered, and their starts try again.
void releaseSingleInstance(SingleInstance& instance);

extern const char kInstanceFolderFormat[];
extern const char kInstanceSystemFormat[];
extern const char kInstanceNoAnswerFormat[];
extern const char kHandOverTooLargeFormat[];
