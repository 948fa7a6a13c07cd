#include "launcher/error_reporting.h"

#include "common/message_format.h"
#include "common/trace.h"
#include "platform/message_box.h"

namespace {

const char kOutputFileFormat[] = "%s\n\nThe application's output is in %s.";

// The output file that takes the streams, for the boxes to name.
const char* outputFilePath = nullptr;

}

void nameOutputFileInBoxes(const char* path)
{
    outputFilePath = path;
}

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
    // Where messages go to standard error, they are in the file themselves.
    Text withFile;
    if (outputFilePath && platform::messagesShownInBox())
        withFile = formatMessage(kOutputFileFormat, failure.text(), outputFilePath);
    platform::showErrorBox(owner, withFile.isEmpty() ? failure.text() : withFile.chars());
}

void showFailureInPassing(const Failure& failure)
{
    if (!failure.hasMessage())
        return;
    trace("message: %s", { failure.text() });
    platform::showOnStandardError(failure.text());
}
