#include "instance/handover_queue.h"

bool HandOverQueue::prepare()
{
    added_.reset(platform::newEvent());
    return added_.isValid();
}

bool HandOverQueue::add(Text&& message, bool (*answer)(void* context), void* context)
{
    {
        // The answer is a few bytes within the hand-over's time: close()
        // and the delivering thread wait for it no longer than that.
        platform::LockHolder held(lock_);
        if (closed_ || !messages_.append(static_cast<Text&&>(message)))
            return false;
        if (answer && !answer(context)) {
            messages_.removeLast();
            return false;
        }
    }
    platform::raiseEvent(added_.get());
    return true;
}

void HandOverQueue::close()
{
    platform::LockHolder held(lock_);
    closed_ = true;
}

void HandOverQueue::takeAll(List<Text>& taken)
{
    taken.clear();
    for (;;) {
        {
            platform::LockHolder held(lock_);
            if (messages_.count() > 0) {
                taken.exchange(messages_);
                return;
            }
        }
        platform::waitForEvent(added_.get());
    }
}
