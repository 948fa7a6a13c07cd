#include "platform/posix/standard_streams_at_start.h"
#include "platform/standard_streams.h"

#include "common/trace.h"
#include "platform/threads.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace platform {

const char kLineEnd[] = "\n";

namespace {

MissingStreams missingAtStart;

// The pipe's bytes are taken from it only under the lock, so that once the
// lock is had and the pipe is empty, everything written is in the file.
struct OutputFile {
    int readEnd = -1; // does not block
    OpenFile file;
    OutputCap cap;
    Lock lock;
    bool failed = false;
    bool started = false;
};
OutputFile output;

bool isDevNull(int descriptor)
{
    struct stat status;
    struct stat null;
    return fstat(descriptor, &status) == 0 && S_ISCHR(status.st_mode) && stat("/dev/null", &null) == 0
        && status.st_rdev == null.st_rdev;
}

// What the cap allows, then the line that says the cap was reached; after a
// failed write, nothing.
void writeToFile(const char* bytes, size_t length)
{
    size_t taken = output.cap.allow(length);
    if (output.failed)
        return;
    if ((taken > 0 && !appendToOpenFile(output.file.get(), bytes, taken))
        || (output.cap.reachedNow()
            && !appendToOpenFile(output.file.get(), output.cap.stopLine().chars(), output.cap.stopLine().length()))) {
        output.failed = true;
        trace("output file: a write failed: output dropped");
    }
}

// Under the lock: moves what the pipe holds to the file; false once every
// write end is closed.
bool drainPipe()
{
    char run[16384];
    for (;;) {
        ssize_t got = read(output.readEnd, run, sizeof run);
        int error = errno;
        if (got > 0)
            writeToFile(run, static_cast<size_t>(got));
        else
            return got < 0 && (error == EAGAIN || error == EINTR);
    }
}

// Empties the pipe for as long as the process lives: a full pipe would
// stop the application's writes.
void* readPipe(void*)
{
    struct pollfd wanted = { output.readEnd, POLLIN, 0 };
    for (;;) {
        if (poll(&wanted, 1, -1) < 0 && errno != EINTR)
            return nullptr;
        LockHolder held(output.lock);
        if (!drainPipe())
            return nullptr;
    }
}

}

void recordStandardStreamsAtStart()
{
    // A write past the process's file size limit (to the output file, the
    // trace) fails instead of ending the process, as the machine has it once
    // it runs.
    signal(SIGXFSZ, SIG_IGN);
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        bool closed = fcntl(descriptor, F_GETFD) < 0;
        // The lowest free number is this one: those below it are open.
        if (closed)
            open("/dev/null", O_RDWR | O_NOCTTY);
        bool missing = closed || isDevNull(descriptor);
        if (descriptor == 1)
            missingAtStart.output = missing;
        if (descriptor == 2)
            missingAtStart.error = missing;
    }
}

MissingStreams missingStandardStreams()
{
    return missingAtStart;
}

bool sendMissingStreamsToFile(OpenFile&& file, MissingStreams missing, OutputCap&& cap)
{
    int ends[2];
    if (output.started || pipe2(ends, O_CLOEXEC) != 0)
        return false;
    fcntl(ends[0], F_SETFL, O_NONBLOCK);
    output.readEnd = ends[0];
    output.file = static_cast<OpenFile&&>(file);
    output.cap = static_cast<OutputCap&&>(cap);
    pthread_attr_t attributes;
    pthread_t reader;
    bool started = false;
    if (pthread_attr_init(&attributes) == 0) {
        started = pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED) == 0
            && pthread_create(&reader, &attributes, readPipe, nullptr) == 0;
        pthread_attr_destroy(&attributes);
    }
    if (!started) {
        close(ends[0]);
        close(ends[1]);
        output.file.reset();
        return false;
    }
    // Programs the application starts inherit the streams: they write to
    // the file while the application runs.
    fflush(nullptr);
    if (missing.output)
        dup2(ends[1], 1);
    if (missing.error)
        dup2(ends[1], 2);
    close(ends[1]);
    // What the machine prints through the launcher's C library goes out a
    // line at a time, in order with what it writes itself.
    if (missing.output)
        setvbuf(stdout, nullptr, _IOLBF, 0);
    output.started = true;
    return true;
}

bool outputFileTakesStreams()
{
    return output.started;
}

// What the reader has not taken yet is taken here: no waiting.
void finishOutputFile()
{
    if (!output.started)
        return;
    fflush(nullptr);
    LockHolder held(output.lock);
    (void)drainPipe();
}

Text localTimeText()
{
    time_t now = time(nullptr);
    struct tm parts;
    char text[64];
    size_t length = localtime_r(&now, &parts) ? strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts) : 0;
    Text result;
    return result.assign(text, length) ? static_cast<Text&&>(result) : Text();
}

}
