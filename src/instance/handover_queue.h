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
    // Takes the message, and answers its start (answer(context), when
    // given) while the queue cannot close: a hand-over that was answered is
    // delivered, and once closed (the instance on its way out) nothing is
    // answered, so its start tries again and finds the next instance. False,
    // and nothing taken, when closed, unanswered or without memory.
    [[nodiscard]] bool add(Text&& message, bool (*answer)(void* context) = nullptr, void* context = nullptr);
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
