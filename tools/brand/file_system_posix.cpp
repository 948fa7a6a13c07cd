#include "file_system.h"
#include "temporary_file.h"

#include "common/unique_handle.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Refusal systemRefusal(const std::string& what, const std::string& path, int error)
{
    return Refusal{ "cannot " + what + " " + path + ": " + strerror(error) };
}

using FileDescriptor = UniqueHandle<int, close, -1>;

// 0, or the error that stopped the writing.
int writeAll(int fd, const Bytes& contents)
{
    for (size_t done = 0; done < contents.size();) {
        ssize_t written = write(fd, contents.data() + done, contents.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        done += static_cast<size_t>(written);
    }
    return 0;
}

// What is at the output's name: nothing yet, or a regular file, whose
// permissions the new file takes.
struct OutputPlace {
    bool exists;
    struct stat status;
};

const char* kindOfFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISLNK(mode))
        return "a symbolic link (name the file it points to)";
    if (S_ISFIFO(mode))
        return "a pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    return "not a regular file";
}

// Only a regular file is replaced. A symbolic link is refused rather than
// followed or replaced: either would write somewhere the name does not say.
Outcome<OutputPlace> outputPlace(const std::string& path)
{
    OutputPlace place{ true, {} };
    if (lstat(path.c_str(), &place.status) != 0) {
        int error = errno;
        if (error != ENOENT)
            return systemRefusal("write", path, error);
        place.exists = false;
    } else if (!S_ISREG(place.status.st_mode)) {
        return Refusal{ "cannot write " + path + ": it is " + kindOfFile(place.status.st_mode) };
    }
    return place;
}

const int kEndingSignals[] = { SIGINT, SIGTERM, SIGHUP };

// The temporary file's name while it exists, for the signal handler.
const char* volatile temporaryToRemove = nullptr;

extern "C" void removeTemporaryAndEnd(int signal)
{
    if (temporaryToRemove)
        unlink(temporaryToRemove);
    // Ended by the same signal, as the caller expects of an interrupted tool.
    ::signal(signal, SIG_DFL);
    raise(signal);
}

// Holds the ending signals back while the temporary file comes or goes, so
// that the handler never sees a name half registered, or one renamed away.
class EndingSignalsHeld {
public:
    EndingSignalsHeld()
    {
        sigset_t ending;
        sigemptyset(&ending);
        for (int signal : kEndingSignals)
            sigaddset(&ending, signal);
        sigprocmask(SIG_BLOCK, &ending, &previous_);
    }
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;
    ~EndingSignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

void removeTemporaryOnEndingSignals()
{
    for (int signal : kEndingSignals) {
        struct sigaction action {};
        // One the tool was started to ignore (nohup) stays ignored.
        if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
            continue;
        action = {};
        action.sa_handler = removeTemporaryAndEnd;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

// The calls TemporaryFile makes on this system; the mode is the one a new
// file is created with.
struct PosixFiles {
    using Name = std::string;
    using Error = int;
    using File = FileDescriptor;
    using EndingHeld = EndingSignalsHeld;
    static constexpr int kAlreadyThere = EEXIST;

    mode_t mode;

    static void handleEnding() { removeTemporaryOnEndingSignals(); }
    static void removeAtEnding(const Name* name) { temporaryToRemove = name ? name->c_str() : nullptr; }
    static Name nameOf(const std::string& path) { return path; }
    static pid_t processId() { return getpid(); }
    static bool alreadyThere(int error) { return error == EEXIST; }
    static void remove(const Name& name) { unlink(name.c_str()); }

    int createNew(const Name& name, File& file) const
    {
        int created = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        int error = errno;
        file.reset(created);
        return file.isValid() ? 0 : error;
    }

    static int close(File& file)
    {
        return file.isValid() && ::close(file.release()) != 0 ? errno : 0;
    }

    static int rename(const Name& name, const std::string& path)
    {
        return ::rename(name.c_str(), path.c_str()) != 0 ? errno : 0;
    }
};

}  // namespace

std::vector<std::string> programArguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

Outcome<Bytes> readWholeFile(const std::string& path)
{
    // Without O_NONBLOCK, opening a pipe waits for a writer, for ever if none
    // comes; on a regular file, the only kind read, it changes nothing.
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status;
    if (!file.isValid() || fstat(file.get(), &status) != 0)
        return systemRefusal("read", path, errno);
    if (!S_ISREG(status.st_mode))
        return Refusal{ "cannot read " + path + ": not a file" };
    Bytes contents;
    uint8_t buffer[65536];
    for (;;) {
        ssize_t count = read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return systemRefusal("read", path, errno);
        if (count == 0)
            return contents;
        contents.insert(contents.end(), buffer, buffer + count);
    }
}

Status replaceFile(const std::string& path, const Bytes& contents)
{
    Outcome<OutputPlace> place = outputPlace(path);
    if (!place)
        return place.refusal();
    // An executable, as the launcher it is made from, runnable where the
    // system starts Windows programs itself; or as the file it replaces,
    // whose permissions fchmod gives it whatever the umask.
    const OutputPlace& existing = place.value();
    TemporaryFile<PosixFiles> temporary(PosixFiles{ existing.exists ? S_IRUSR | S_IWUSR : 0777u });
    int error = temporary.create(path.substr(0, path.find_last_of('/') + 1));
    if (error == 0 && existing.exists && fchmod(temporary.handle(), existing.status.st_mode & 0777) != 0)
        error = errno;
    if (error == 0)
        error = writeAll(temporary.handle(), contents);
    // On disk before it takes the name: a crash then leaves the old file or
    // the whole new one, never an empty file under the name.
    if (error == 0 && fsync(temporary.handle()) != 0)
        error = errno;
    if (error == 0)
        error = temporary.closeAndRename(path);
    if (error != 0)
        return systemRefusal("write", path, error);
    return Done{};
}

bool sameFile(const std::string& first, const std::string& second)
{
    struct stat a, b;
    return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string fileNameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }
