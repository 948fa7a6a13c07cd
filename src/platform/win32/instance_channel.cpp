#include "platform/instance_channel.h"

#include "common/memory.h"
#include "platform/threads.h"
#include "platform/win32/code_page.h"
#include "platform/win32/handles.h"

#include <new>
#include <sddl.h>

namespace platform {

namespace {

// How long the instance waits for a start to read its answer and close.
const unsigned long kCloseWait = 1000;
const DWORD kPipeBuffer = 4096;

union ProcessUser {
    TOKEN_USER token;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
};

bool userOfProcess(HANDLE process, ProcessUser& user)
{
    KernelObject token;
    DWORD length = 0;
    return OpenProcessToken(process, TOKEN_QUERY, token.replaceAddress())
        && GetTokenInformation(token.get(), TokenUser, &user, sizeof user, &length);
}

// An access list that lets this user, and no one else, in.
struct OwnAccess {
    SECURITY_DESCRIPTOR descriptor;
    BYTE list[sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE];
    SECURITY_ATTRIBUTES attributes;
};

bool makeOwnAccess(PSID user, OwnAccess& access)
{
    PACL list = reinterpret_cast<PACL>(access.list);
    access.attributes = { sizeof access.attributes, &access.descriptor, FALSE };
    return InitializeSecurityDescriptor(&access.descriptor, SECURITY_DESCRIPTOR_REVISION)
        && InitializeAcl(list, sizeof access.list, ACL_REVISION)
        && AddAccessAllowedAce(list, ACL_REVISION, GENERIC_ALL, user)
        && SetSecurityDescriptorDacl(&access.descriptor, TRUE, list, FALSE);
}

}

// The mutex is owned by the thread that claimed it (the launcher's); the
// pipe has one instance, which the receiving thread connects to each start
// in turn.
struct InstanceChannel {
    ProcessUser user;
    OwnAccess access;
    WideText mutexName;
    WideText pipeName;
    KernelObject mutex;
    File pipe;
    KernelObject connected;
    KernelObject stop;
    Lock state;
    bool claimed = false;
    bool released = false;
};

struct InstanceConnection {
    HANDLE handle = INVALID_HANDLE_VALUE;
    File ownHandle;       // the start's end; the instance's is the channel's pipe
    KernelObject done;    // for the overlapped reads and writes
    ULONG peer = 0;       // the other end's process
};

namespace {

bool isOwnUserProcess(const InstanceChannel* channel, ULONG processId)
{
    KernelObject process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    ProcessUser user;
    return process.isValid() && userOfProcess(process.get(), user)
        && EqualSid(user.token.User.Sid, channel->user.token.User.Sid);
}

// Names in the user's and the session's name: the mutex lives in the
// session's Local\ namespace; pipes have no sessions, so the session's
// number is part of the pipe's name.
bool makeNames(InstanceChannel* channel, const char* hash)
{
    char* sid = nullptr;
    if (!ConvertSidToStringSidA(channel->user.token.User.Sid, &sid))
        return false;
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    char number[16];
    wsprintfA(number, "%lu", session);
    Text mutexName;
    Text pipeName;
    bool named = mutexName.assign("Local\\JavaLauncher-") && pipeName.assign("\\\\.\\pipe\\JavaLauncher-")
        && mutexName.append(sid) && mutexName.appendChar('-') && mutexName.append(hash)
        && pipeName.append(sid) && pipeName.appendChar('-') && pipeName.append(number) && pipeName.appendChar('-')
        && pipeName.append(hash) && widen(mutexName.chars(), channel->mutexName)
        && widen(pipeName.chars(), channel->pipeName);
    LocalFree(sid);
    return named;
}

InstanceConnection* newConnection(HANDLE handle, ULONG peer)
{
    void* memory = allocateMemory(sizeof(InstanceConnection));
    if (!memory)
        return nullptr;
    InstanceConnection* connection = new (memory) InstanceConnection();
    connection->handle = handle;
    connection->peer = peer;
    connection->done.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!connection->done.isValid()) {
        closeConnection(connection);
        return nullptr;
    }
    return connection;
}

// One overlapped read or write of the whole length, cancelled at the deadline.
bool transfer(InstanceConnection* connection, char* buffer, size_t length, unsigned long milliseconds, bool write)
{
    unsigned long long deadline = steadyMilliseconds() + milliseconds;
    while (length > 0) {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = connection->done.get();
        DWORD part = length > 0x10000 ? 0x10000 : static_cast<DWORD>(length);
        BOOL started = write ? WriteFile(connection->handle, buffer, part, nullptr, &overlapped)
                             : ReadFile(connection->handle, buffer, part, nullptr, &overlapped);
        if (!started && GetLastError() != ERROR_IO_PENDING)
            return false;
        unsigned long long now = steadyMilliseconds();
        DWORD wait = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        DWORD moved = 0;
        if (WaitForSingleObject(overlapped.hEvent, wait) != WAIT_OBJECT_0) {
            CancelIo(connection->handle);
            GetOverlappedResult(connection->handle, &overlapped, &moved, TRUE);
            return false;
        }
        if (!GetOverlappedResult(connection->handle, &overlapped, &moved, FALSE) || moved == 0)
            return false;
        buffer += moved;
        length -= moved;
    }
    return true;
}

bool isReleased(InstanceChannel* channel)
{
    LockHolder held(channel->state);
    return channel->released;
}

InstanceClaim claimFailed(ChannelProblem& problem, const char* call, DWORD code)
{
    problem.call = call;
    problem.code = static_cast<int>(code);
    return InstanceClaim::Failed;
}

BOOL CALLBACK findOwnWindow(HWND window, LPARAM found)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}

InstanceChannel* openInstanceChannel(const char* hash, ChannelProblem& problem)
{
    void* memory = allocateMemory(sizeof(InstanceChannel));
    if (!memory)
        return nullptr;
    InstanceChannel* channel = new (memory) InstanceChannel();
    if (!userOfProcess(GetCurrentProcess(), channel->user) || !makeOwnAccess(channel->user.token.User.Sid, channel->access)
        || !makeNames(channel, hash)) {
        problem.call = "the user's security identifier";
        problem.code = static_cast<int>(GetLastError());
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
    if (!channel->mutex.isValid()) {
        channel->mutex.reset(CreateMutexW(&channel->access.attributes, FALSE, channel->mutexName.units()));
        DWORD error = GetLastError();
        if (!channel->mutex.isValid())
            return claimFailed(problem, "CreateMutex", error);
    }
    // Owned, or left behind by an instance that ended without giving it up
    // (abandoned): this process is the instance.
    DWORD waited = WaitForSingleObject(channel->mutex.get(), 0);
    DWORD error = GetLastError();
    if (waited == WAIT_TIMEOUT)
        return InstanceClaim::Taken;
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
        return claimFailed(problem, "WaitForSingleObject", error);
    // The first instance of the name, or none: a pipe of that name that is
    // still there is the last instance's, on its way out, or a stranger's.
    channel->pipe.reset(CreateNamedPipeW(channel->pipeName.units(),
        PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, kPipeBuffer, kPipeBuffer, 0,
        &channel->access.attributes));
    error = GetLastError();
    channel->connected.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    channel->stop.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (channel->pipe.isValid() && channel->connected.isValid() && channel->stop.isValid()) {
        channel->claimed = true;
        return InstanceClaim::Claimed;
    }
    if (!channel->pipe.isValid() && error == ERROR_ACCESS_DENIED) {
        channel->pipe.reset();
        ReleaseMutex(channel->mutex.get());
        return InstanceClaim::Taken;
    }
    const char* call = channel->pipe.isValid() ? "CreateEvent" : "CreateNamedPipe";
    channel->pipe.reset();
    ReleaseMutex(channel->mutex.get());
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
    // The receiving thread closes the pipe. Only the claiming thread can
    // give the mutex back; from any other, it is let go when that thread
    // ends with the process, and the next start waits for that.
    SetEvent(channel->stop.get());
    ReleaseMutex(channel->mutex.get());
}

InstanceConnection* connectToInstance(InstanceChannel* channel)
{
    // The instance may take the start's identity, never act as it.
    File pipe(CreateFileW(channel->pipeName.units(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
    DWORD error = GetLastError();
    if (!pipe.isValid()) {
        if (error == ERROR_PIPE_BUSY)
            WaitNamedPipeW(channel->pipeName.units(), 50);
        return nullptr;
    }
    ULONG server = 0;
    if (!GetNamedPipeServerProcessId(pipe.get(), &server) || !isOwnUserProcess(channel, server))
        return nullptr;
    InstanceConnection* connection = newConnection(pipe.get(), server);
    if (connection)
        connection->ownHandle = static_cast<File&&>(pipe);
    return connection;
}

void allowToComeForward(InstanceConnection* connection)
{
    AllowSetForegroundWindow(connection->peer);
}

InstanceConnection* acceptConnection(InstanceChannel* channel)
{
    HANDLE pipe = channel->pipe.get();
    HANDLE waits[2] = { channel->connected.get(), channel->stop.get() };
    while (!isReleased(channel)) {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = waits[0];
        BOOL connected = ConnectNamedPipe(pipe, &overlapped);
        DWORD error = GetLastError();
        DWORD moved = 0;
        if (!connected && error == ERROR_IO_PENDING) {
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
                CancelIo(pipe);
                GetOverlappedResult(pipe, &overlapped, &moved, TRUE);
                continue;
            }
            connected = GetOverlappedResult(pipe, &overlapped, &moved, FALSE);
            error = GetLastError();
        }
        ULONG client = 0;
        if ((connected || error == ERROR_PIPE_CONNECTED) && GetNamedPipeClientProcessId(pipe, &client)
            && isOwnUserProcess(channel, client)) {
            InstanceConnection* connection = newConnection(pipe, client);
            if (connection)
                return connection;
        }
        DisconnectNamedPipe(pipe);
        if (!connected && error != ERROR_PIPE_CONNECTED)
            Sleep(10);
    }
    channel->pipe.reset();
    return nullptr;
}

void closeConnection(InstanceConnection* connection)
{
    // The instance's end: disconnecting would throw away an answer the start
    // has not read yet, so it waits for the start to close first.
    if (!connection->ownHandle.isValid() && connection->handle != INVALID_HANDLE_VALUE) {
        char rest;
        transfer(connection, &rest, 1, kCloseWait, false);
        DisconnectNamedPipe(connection->handle);
    }
    connection->~InstanceConnection();
    releaseMemory(connection);
}

bool readWithin(InstanceConnection* connection, char* buffer, size_t length, unsigned long milliseconds)
{
    return transfer(connection, buffer, length, milliseconds, false);
}

bool writeWithin(InstanceConnection* connection, const char* bytes, size_t length, unsigned long milliseconds)
{
    return transfer(connection, const_cast<char*>(bytes), length, milliseconds, true);
}

void bringWindowForward()
{
    HWND window = nullptr;
    EnumWindows(findOwnWindow, reinterpret_cast<LPARAM>(&window));
    if (!window)
        return;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

}
