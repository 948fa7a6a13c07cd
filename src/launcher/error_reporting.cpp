#include "launcher/error_reporting.h"

#include "common/trace.h"
#include "platform/message_box.h"

void showNote(const Text& note)
{
    if (note.isEmpty())
        return;
    trace("note: %s", { note });
    if (!platform::messagesShownInBox())
        platform::showErrorBox(nullptr, note.chars());
}

void showFailure(platform::WindowHandle owner, const Failure& failure)
{
    if (!failure.hasMessage())
        return;
    trace("message: %s", { failure.text() });
    platform::showErrorBox(owner, failure.text());
}

void showFailureInPassing(const Failure& failure)
{
    if (!failure.hasMessage())
        return;
    trace("message: %s", { failure.text() });
    platform::showOnStandardError(failure.text());
}
