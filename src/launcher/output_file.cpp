#include "launcher/output_file.h"

#include "common/folder_chain.h"
#include "common/trace.h"
#include "launcher/error_reporting.h"
#include "platform/files.h"
#include "platform/standard_streams.h"

namespace {

const char kStopLine[] = "The output of this run reached twice Output File Limit: the rest is not written.";

// A file over the limit at the start gives its name to the next one; the
// bytes the file holds when the run begins.
unsigned long long rotate(const Text& path, unsigned long long limit)
{
    platform::FileStamp stamp;
    if (!platform::fileStamp(path.chars(), stamp) || stamp.size <= limit)
        return stamp.size;
    Text rotated;
    bool renamed = rotated.assign(path) && rotated.append(".1") && platform::renameFile(path.chars(), rotated.chars());
    trace("output file %s: over the limit, %s %s", { path, renamed ? "renamed" : "not renamed", rotated });
    return renamed ? 0 : stamp.size;
}

// Null when the file takes the missing streams, else why not.
const char* sendStreamsToFile(const OutputFileSettings& settings, const Text& executablePath,
                              platform::MissingStreams missing)
{
    const Text& path = settings.path;
    if (!missing.any())
        return "not needed: the streams are the process's own";
    if (!makeFoldersOf(path, platform::kPathSeparator, { platform::isDirectory, platform::makeFolder }))
        return "its folder cannot be made";
    unsigned long long size = rotate(path, settings.limit);
    // When the run started, and which executable it was.
    Text heading = platform::localTimeText();
    Text stopLine;
    platform::OpenFile file = platform::openForAppending(path.chars());
    if (file.isValid() && stopLine.assign(kStopLine) && heading.appendChar(' ') && heading.append(executablePath)
        && heading.append(platform::kLineEnd) && stopLine.append(platform::kLineEnd)
        && platform::appendToOpenFile(file.get(), heading.chars(), heading.length()))
        size += heading.length();
    OutputCap cap(size, 2 * settings.limit, static_cast<Text&&>(stopLine));
    bool sent = file.isValid()
        && platform::sendMissingStreamsToFile(static_cast<platform::OpenFile&&>(file), missing,
                                              static_cast<OutputCap&&>(cap));
    return sent ? nullptr : "cannot be opened";
}

}

void startOutputFile(const OutputFileSettings& settings, const Text& executablePath)
{
    if (settings.path.isEmpty())
        return;
    platform::MissingStreams missing = platform::missingStandardStreams();
    const char* notUsed = sendStreamsToFile(settings, executablePath, missing);
    trace("output file %s: %s", { settings.path, notUsed ? notUsed : "takes what the process lacks" });
    if (!notUsed)
        nameOutputFileInBoxes(settings.path.chars());
}
