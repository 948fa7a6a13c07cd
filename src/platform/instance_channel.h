#pragma once
// The channel through which the starts of one application find its running
// instance and hand it their arguments. It is the system's own and this
// user's alone: on Windows a named mutex in the session's Local\ namespace
// says which process is the instance, and a named pipe that only this user
// may open carries the hand-overs; on Linux a lock file, held with flock for
// the instance's life, and a Unix socket beside it, in $XDG_RUNTIME_DIR or
// else in a folder of the user's own under the temporary directory. Each end
// makes sure the other is a process of the same user.
//
//   InstanceChannel* channel = openInstanceChannel(hash, problem);
//   if (claimInstance(channel, problem) == InstanceClaim::Claimed)
//       ... acceptConnection(channel) on a thread of its own, until releaseInstance(channel)
//   else
//       ... connectToInstance(channel), writeWithin(...), readWithin(...)
#include "common/text.h"
#include "common/unique_handle.h"

#include <stddef.h>

namespace platform {

struct InstanceChannel;
struct InstanceConnection;

// Why the channel cannot be used: a folder that is not this user's alone
// (the folder, and what is wrong with it), or a system call that failed
// (its name and error code).
struct ChannelProblem {
    Text folder;
    const char* fault = nullptr;
    const char* call = nullptr;
    int code = 0;
};

// The channel of the application whose identity hashes to `hash` (16
// hexadecimal digits), for this user (on Windows, in this session); null
// with the problem when its folder is refused.
InstanceChannel* openInstanceChannel(const char* hash, ChannelProblem& problem);
// For a start that handed its arguments over; the instance's channel stays
// open for the process's life, since its receiving thread uses it.
void closeInstanceChannel(InstanceChannel* channel);
using InstanceChannelOwner = UniqueHandle<InstanceChannel*, closeInstanceChannel>;

// Claimed: this process is the instance from now on, and connections reach
// it. Taken: another process is (or is just going). Failed: see the problem.
enum class InstanceClaim { Claimed, Taken, Failed };
InstanceClaim claimInstance(InstanceChannel* channel, ChannelProblem& problem);
// Gives the claim up: the next start becomes the instance, and
// acceptConnection returns null from now on. Once, from any thread.
void releaseInstance(InstanceChannel* channel);

// A connection to the instance, whose process is this user's; null when
// none can be made now (none listens yet, or no more, or it is busy).
InstanceConnection* connectToInstance(InstanceChannel* channel);
// Lets the instance's process bring itself to the front, as this start,
// which the user just made, may (Windows); nothing on Linux.
void allowToComeForward(InstanceConnection* connection);
// The instance's side: waits for the next connection of a process of this
// user (others are turned away); null once the claim is given up.
InstanceConnection* acceptConnection(InstanceChannel* channel);
void closeConnection(InstanceConnection* connection);
using ConnectionOwner = UniqueHandle<InstanceConnection*, closeConnection>;
// Exactly `length` bytes within the time; false when the other end closed,
// failed or was not done in time.
bool readWithin(InstanceConnection* connection, char* buffer, size_t length, unsigned long milliseconds);
bool writeWithin(InstanceConnection* connection, const char* bytes, size_t length, unsigned long milliseconds);

// Brings the process's first visible top-level window to the front (Windows).
// Linux offers the launcher no window system to ask: nothing happens there.
void bringWindowForward();

}
