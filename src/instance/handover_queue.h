#pragma once
// The hand-overs an instance has received and not yet delivered, in the
// order they came: the receiving thread adds each one, the delivering thread
// takes them, and waits while there are none.
#include "common/list.h"
#include "common/text.h"
#include "platform/threads.h"

class HandOverQueue {
public:
    // False without the system's event.
    [[nodiscard]] bool prepare();
    // False once closed, or without memory: the hand-over is not taken.
    [[nodiscard]] bool add(Text&& message);
    // No hand-over is taken from now on.
    void close();
    // Waits until there is a hand-over, then moves all there are to taken, oldest first.
    void takeAll(List<Text>& taken);

private:
    platform::Lock lock_;
    List<Text> messages_;
    bool closed_ = false;
    platform::EventOwner added_;
};
