#include "file_system.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Failure systemFailure(const std::string& what, const std::string& path, int error)
{
    return Failure{ "cannot " + what + " " + path + ": " + strerror(error) };
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { close(); }
    int get() const { return fd_; }
    int close()
    {
        int result = fd_ >= 0 ? ::close(fd_) : 0;
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

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

}  // namespace

std::vector<std::string> programArguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

Outcome<Bytes> readWholeFile(const std::string& path)
{
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status;
    if (file.get() < 0 || fstat(file.get(), &status) != 0)
        return systemFailure("read", path, errno);
    if (!S_ISREG(status.st_mode))
        return Failure{ "cannot read " + path + ": not a file" };
    Bytes contents;
    uint8_t buffer[65536];
    for (;;) {
        ssize_t count = read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return systemFailure("read", path, errno);
        if (count == 0)
            return contents;
        contents.insert(contents.end(), buffer, buffer + count);
    }
}

Status replaceFile(const std::string& path, const Bytes& contents)
{
    std::string temporary = path + ".brand-" + std::to_string(getpid()) + ".tmp";
    // An executable, as the launcher it is made from: runnable where the
    // system starts Windows programs itself.
    FileDescriptor file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0777));
    if (file.get() < 0)
        return systemFailure("write", path, errno);
    int error = writeAll(file.get(), contents);
    if (error == 0 && file.close() != 0)
        error = errno;
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error == 0)
        return Done{};
    unlink(temporary.c_str());
    return systemFailure("write", path, error);
}

bool sameFile(const std::string& first, const std::string& second)
{
    struct stat a, b;
    return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string fileNameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }
