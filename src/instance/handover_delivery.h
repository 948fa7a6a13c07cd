#pragma once
// Delivers the hand-overs a single instance receives (see
// instance/single_instance.h) to the application, from the moment its main is
// called: on a thread of its own, one at a time, in the order they came.
// With Single Instance Method, the thread attaches itself to the machine as a
// daemon thread (the application may end while it waits) at the first
// hand-over and calls the static method with the arguments, made as main's
// are, and the start's working directory; an exception the method throws is
// described as the machine describes one that nobody caught, and the next
// hand-over comes all the same. Without a method, the instance's window comes
// to the front.
#include "config/application_settings.h"
#include "instance/handover_queue.h"
#include "jvm/vm_output.h"

#include <jni.h>

// Starts the delivering thread; hand-overs that came earlier are delivered
// first. Without a thread, hand-overs are dropped, as the trace says.
// A method that cannot be called is reported once, through `report`, which
// the launch sequence makes say it on standard error and in the trace.
void startHandOverDelivery(JavaVM* vm, HandOverQueue& queue, const ApplicationSettings& settings,
                           const FailureReport& report);

extern const char kMethodUnusableFormat[];
