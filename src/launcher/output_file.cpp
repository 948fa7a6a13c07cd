#include "launcher/output_file.h"

#include "common/folder_chain.h"
#include "common/message_format.h"
#include "common/output_heading.h"
#include "common/trace.h"
#include "platform/files.h"
#include "platform/standard_streams.h"

namespace {

const char kRotatedSuffix[] = ".1";
const char kStopLineFormat[] =
    "The output of this run has reached %s bytes, twice Output File Limit: the rest of it is not written.";

const char* streamsTaken(const platform::MissingStreams& missing)
{
    if (missing.output && missing.error)
        return "standard output and error";
    return missing.output ? "standard output" : "standard error";
}

// A file over the limit at the start gives its name to the next one.
void rotate(const Text& path, unsigned long long limit, unsigned long long& size)
{
    platform::FileStamp stamp;
    size = platform::fileStamp(path.chars(), stamp) ? stamp.size : 0;
    if (size <= limit)
        return;
    Text rotated(path);
    if (!rotated.append(kRotatedSuffix) || !platform::renameFile(path.chars(), rotated.chars())) {
        trace("output file %s: over the limit, and cannot be renamed: appended to", { path });
        return;
    }
    trace("output file %s: over the limit at the start: renamed to %s", { path, rotated });
    size = 0;
}

OutputCap capOf(unsigned long long size, unsigned long long limit)
{
    Text stopLine = formatMessage(kStopLineFormat, decimalText(2 * limit).chars());
    (void)stopLine.append(platform::kLineEnd);
    return OutputCap(size, 2 * limit, static_cast<Text&&>(stopLine));
}

}

bool startOutputFile(const OutputFileSettings& settings, const Text& executablePath)
{
    const Text& path = settings.path;
    if (path.isEmpty())
        return false;
    platform::MissingStreams missing = platform::missingStandardStreams();
    if (!missing.any()) {
        trace("output file %s: not used: the process has standard output and error of its own", { path });
        return false;
    }
    Text failedFolder;
    if (!makeFoldersOf(path, platform::kPathSeparator, { platform::isDirectory, platform::makeFolder }, failedFolder)) {
        trace("output file %s: the folder %s cannot be made", { path, failedFolder });
        return false;
    }
    unsigned long long size = 0;
    rotate(path, settings.limit, size);
    platform::OpenFile file = platform::openForAppending(path.chars());
    if (!file.isValid() || platform::isDirectory(path.chars())) {
        trace("output file %s: cannot be opened for writing", { path });
        return false;
    }
    LocalTime now;
    platform::localTime(now);
    Text heading = outputHeading(now, executablePath, platform::kLineEnd);
    if (platform::appendToOpenFile(file.get(), heading.chars(), heading.length()))
        size += heading.length();
    if (!platform::sendMissingStreamsToFile(static_cast<platform::OpenFile&&>(file), missing,
                                            capOf(size, settings.limit), path)) {
        trace("output file %s: no pipe or thread for it", { path });
        return false;
    }
    trace("output file %s: takes %s", { path, streamsTaken(missing) });
    return true;
}
