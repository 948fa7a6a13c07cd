#include "platform/instance_channel.h"

#include "common/memory.h"
#include "platform/posix/file_contents.h"
#include "platform/process.h"
#include "platform/threads.h"

#include <errno.h>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <string.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>

namespace platform {

namespace {

const char kNamePrefix[] = "java-launcher-";
const char kPrivateFolderPrefix[] = "/java-launcher-";
const int kBacklog = 128;

}

// The folder stays open for the channel's life: the lock file and the socket
// are reached through it (the socket as /proc/self/fd/N/NAME, which also
// keeps the path short), so no one can swap it for another after its check.
struct InstanceChannel {
    FileDescriptor folder;
    Text lockName;
    Text socketName;
    Text socketPath;
    FileDescriptor lock;
    FileDescriptor listener;
    Lock state;
    bool claimed = false;
    bool released = false;
};

struct InstanceConnection {
    FileDescriptor socket;
};

namespace {

// Where the channel lies: the session's runtime folder, which the system
// makes for this user alone, else a folder of this user's own made under the
// temporary directory. False when it cannot be named or made.
bool channelFolder(Text& folder, ChannelProblem& problem)
{
    if (environmentVariable("XDG_RUNTIME_DIR", folder) && folder.chars()[0] == '/')
        return true;
    if ((!environmentVariable("TMPDIR", folder) || folder.chars()[0] != '/') && !folder.assign("/tmp"))
        return false;
    char user[24];
    snprintf(user, sizeof user, "%u", static_cast<unsigned>(geteuid()));
    if (!folder.append(kPrivateFolderPrefix) || !folder.append(user))
        return false;
    int made = mkdir(folder.chars(), 0700);
    int error = errno;
    if (made != 0 && error != EEXIST) {
        problem.call = "mkdir";
        problem.code = error;
        return false;
    }
    return true;
}

// Opens the folder, never through a link, and checks that it is this user's alone.
int openPrivateFolder(const Text& folder, ChannelProblem& problem)
{
    FileDescriptor opened(open(folder.chars(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    int error = errno;
    struct stat status;
    if (!opened.isValid() && error != ELOOP && error != ENOTDIR) {
        problem.call = "open";
        problem.code = error;
        return -1;
    }
    // O_DIRECTORY may say ENOTDIR for a link to a folder.
    if (!opened.isValid())
        problem.fault = lstat(folder.chars(), &status) == 0 && S_ISLNK(status.st_mode)
            ? "is a link, which is never followed" : "is not a folder";
    else if (fstat(opened.get(), &status) != 0)
        problem.fault = "cannot be checked";
    else if (status.st_uid != geteuid())
        problem.fault = "belongs to another user";
    else if (status.st_mode & 077)
        problem.fault = "may be used by other users (its mode is wider than 0700)";
    if (problem.fault) {
        // Without memory for the folder's name, the want of memory is the problem.
        if (!problem.folder.assign(folder))
            problem.fault = nullptr;
        return -1;
    }
    return opened.release();
}

bool isOwnUser(int socket)
{
    ucred peer;
    socklen_t length = sizeof peer;
    return getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == geteuid();
}

bool fillAddress(const Text& path, sockaddr_un& address)
{
    address = sockaddr_un();
    address.sun_family = AF_UNIX;
    if (path.length() >= sizeof address.sun_path)
        return false;
    memcpy(address.sun_path, path.chars(), path.length() + 1);
    return true;
}

InstanceClaim claimFailed(ChannelProblem& problem, const char* call, int code)
{
    problem.call = call;
    problem.code = code;
    return InstanceClaim::Failed;
}

bool isReleased(InstanceChannel* channel)
{
    LockHolder held(channel->state);
    return channel->released;
}

// Waits until the socket is ready for `events`, at most until the deadline.
bool waitUntilReady(int socket, short events, unsigned long long deadline)
{
    unsigned long long now = steadyMilliseconds();
    if (now >= deadline)
        return false;
    pollfd ready = { socket, events, 0 };
    int result = poll(&ready, 1, static_cast<int>(deadline - now));
    return result > 0 || (result < 0 && errno == EINTR);
}

}

InstanceChannel* openInstanceChannel(const char* hash, ChannelProblem& problem)
{
    Text folder;
    if (!channelFolder(folder, problem))
        return nullptr;
    int descriptor = openPrivateFolder(folder, problem);
    if (descriptor < 0)
        return nullptr;
    void* memory = allocateMemory(sizeof(InstanceChannel));
    if (!memory) {
        close(descriptor);
        return nullptr;
    }
    InstanceChannel* channel = new (memory) InstanceChannel();
    channel->folder.reset(descriptor);
    char socketPath[64];
    snprintf(socketPath, sizeof socketPath, "/proc/self/fd/%d/%s%s.socket", descriptor, kNamePrefix, hash);
    bool named = channel->lockName.append(kNamePrefix) && channel->lockName.append(hash)
        && channel->lockName.append(".lock") && channel->socketPath.append(socketPath)
        && channel->socketName.append(strrchr(socketPath, '/') + 1);
    if (!named) {
        closeInstanceChannel(channel);
        return nullptr;
    }
    return channel;
}

void closeInstanceChannel(InstanceChannel* channel)
{
    channel->~InstanceChannel();
    releaseMemory(channel);
}

InstanceClaim claimInstance(InstanceChannel* channel, ChannelProblem& problem)
{
    if (!channel->lock.isValid()) {
        channel->lock.reset(openat(channel->folder.get(), channel->lockName.chars(),
                                   O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
        int error = errno;
        if (!channel->lock.isValid())
            return claimFailed(problem, "open", error);
    }
    // Held until the process ends or gives it up: the kernel lets it go
    // however the process ends, so a crashed instance leaves nothing behind.
    if (flock(channel->lock.get(), LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        return error == EWOULDBLOCK || error == EINTR ? InstanceClaim::Taken : claimFailed(problem, "flock", error);
    }
    // A socket left by an instance that crashed answers nobody: it goes.
    sockaddr_un address;
    int removed = unlinkat(channel->folder.get(), channel->socketName.chars(), 0);
    int error = errno;
    if (removed != 0 && error != ENOENT)
        return claimFailed(problem, "unlink", error);
    channel->listener.reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    error = errno;
    const char* call = "socket";
    if (channel->listener.isValid()) {
        call = "bind";
        if (fillAddress(channel->socketPath, address)
            && bind(channel->listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            call = "listen";
            if (listen(channel->listener.get(), kBacklog) == 0) {
                channel->claimed = true;
                return InstanceClaim::Claimed;
            }
        }
        error = errno;
    }
    channel->listener.reset();
    flock(channel->lock.get(), LOCK_UN);
    return claimFailed(problem, call, error);
}

void releaseInstance(InstanceChannel* channel)
{
    {
        LockHolder held(channel->state);
        if (!channel->claimed || channel->released)
            return;
        channel->released = true;
    }
    // While the lock is still held, so that no newer instance's socket goes.
    unlinkat(channel->folder.get(), channel->socketName.chars(), 0);
    // Wakes the receiving thread's accept; the descriptor stays open, as that
    // thread may still use it.
    shutdown(channel->listener.get(), SHUT_RDWR);
    channel->lock.reset();
}

InstanceConnection* connectToInstance(InstanceChannel* channel)
{
    // Without waiting: a listener whose queue is full (an instance that
    // stopped answering) would hold up a blocking connect for good.
    FileDescriptor connection(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    sockaddr_un address;
    if (!connection.isValid() || !fillAddress(channel->socketPath, address)
        || connect(connection.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || !isOwnUser(connection.get()))
        return nullptr;
    void* memory = allocateMemory(sizeof(InstanceConnection));
    if (!memory)
        return nullptr;
    InstanceConnection* result = new (memory) InstanceConnection();
    result->socket = static_cast<FileDescriptor&&>(connection);
    return result;
}

void allowToComeForward(InstanceConnection*)
{
}

InstanceConnection* acceptConnection(InstanceChannel* channel)
{
    for (;;) {
        FileDescriptor connection(accept4(channel->listener.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        int error = errno;
        if (isReleased(channel))
            return nullptr;
        if (!connection.isValid()) {
            // A signal, a peer gone before it was taken, or no descriptor left for now.
            if (error != EINTR && error != ECONNABORTED)
                sleepMilliseconds(10);
            continue;
        }
        if (!isOwnUser(connection.get()))
            continue;
        void* memory = allocateMemory(sizeof(InstanceConnection));
        if (!memory)
            continue;
        InstanceConnection* result = new (memory) InstanceConnection();
        result->socket = static_cast<FileDescriptor&&>(connection);
        return result;
    }
}

void closeConnection(InstanceConnection* connection)
{
    connection->~InstanceConnection();
    releaseMemory(connection);
}

bool readWithin(InstanceConnection* connection, char* buffer, size_t length, unsigned long milliseconds)
{
    unsigned long long deadline = steadyMilliseconds() + milliseconds;
    int socket = connection->socket.get();
    while (length > 0) {
        ssize_t got = recv(socket, buffer, length, 0);
        int error = errno;
        if (got > 0) {
            buffer += got;
            length -= static_cast<size_t>(got);
        } else if (got == 0 || (error != EAGAIN && error != EINTR) || !waitUntilReady(socket, POLLIN, deadline)) {
            return false;
        }
    }
    return true;
}

bool writeWithin(InstanceConnection* connection, const char* bytes, size_t length, unsigned long milliseconds)
{
    unsigned long long deadline = steadyMilliseconds() + milliseconds;
    int socket = connection->socket.get();
    while (length > 0) {
        // A peer that went away must not end this process with SIGPIPE.
        ssize_t sent = send(socket, bytes, length, MSG_NOSIGNAL);
        int error = errno;
        if (sent > 0) {
            bytes += sent;
            length -= static_cast<size_t>(sent);
        } else if (sent == 0 || (error != EAGAIN && error != EINTR) || !waitUntilReady(socket, POLLOUT, deadline)) {
            return false;
        }
    }
    return true;
}

void bringWindowForward()
{
}

}
