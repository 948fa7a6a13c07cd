#include "instance/single_instance.h"

#include "common/message_format.h"
#include "common/trace.h"
#include "instance/handover_message.h"
#include "instance/instance_identity.h"
#include "platform/files.h"
#include "platform/threads.h"

#include <new>
#include <string.h>

const char kInstanceFolderFormat[] = "%s cannot tell whether it is running already: the folder %s %s.\n";
const char kInstanceSystemFormat[] = "%s cannot tell whether it is running already: %s failed (error %d).\n";
const char kInstanceNoAnswerFormat[] = "%s is running already, but did not answer within 5 seconds.\n";
const char kHandOverTooLargeFormat[] =
    "The arguments are too long to hand over to the running %s: they may take 1 MiB at most.\n";

namespace {

// How long a start waits for the instance's answer, from its first attempt.
const unsigned long kAnswerTime = 5000;
// How long the instance waits for a start's whole hand-over, so that a start
// that stopped short holds up no other for long.
const unsigned long kReceiveTime = 2000;
// Between attempts, while the instance is starting (or going).
const unsigned long kRetryPause = 10;
// The instance's answer: the hand-over is taken and will be delivered.
const char kTaken[4] = { 'J', 'L', 'O', 'K' };

unsigned long remainingUntil(unsigned long long deadline)
{
    unsigned long long now = platform::steadyMilliseconds();
    return now < deadline ? static_cast<unsigned long>(deadline - now) : 0;
}

bool channelFailed(const char* applicationName, const platform::ChannelProblem& problem, Failure& failure)
{
    if (problem.fault) {
        FormatValue values[] = { applicationName, problem.folder, problem.fault };
        return failWithText(failure, kInstanceFolderFormat, formatMessage(kInstanceFolderFormat, values, 3));
    }
    if (!problem.call)
        return fail(failure, kOutOfMemoryMessage);
    FormatValue values[] = { applicationName, problem.call, problem.code };
    return failWithText(failure, kInstanceSystemFormat, formatMessage(kInstanceSystemFormat, values, 3));
}

struct Answer {
    platform::InstanceConnection* connection;
    unsigned long long deadline;
};

bool answerTaken(void* context)
{
    Answer& answer = *static_cast<Answer*>(context);
    return platform::writeWithin(answer.connection, kTaken, sizeof kTaken, remainingUntil(answer.deadline));
}

// Reads one hand-over within the time and takes it when it is whole: a
// start that sends anything else, too much or too little gets no answer,
// and so does one that comes when the instance is on its way out.
void receiveOne(InstanceState& state, platform::InstanceConnection* connection)
{
    unsigned long long deadline = platform::steadyMilliseconds() + kReceiveTime;
    unsigned char header[kHandOverHeaderLength];
    size_t total = 0;
    HandOverFault fault = HandOverFault::CutShort;
    if (platform::readWithin(connection, reinterpret_cast<char*>(header), sizeof header, remainingUntil(deadline)))
        fault = handOverLength(header, sizeof header, total);
    MemoryBlock message;
    if (fault == HandOverFault::None) {
        message.reset(static_cast<char*>(allocateMemory(total)));
        fault = message.isValid() ? HandOverFault::CutShort : HandOverFault::NoMemory;
    }
    if (message.isValid()) {
        memcpy(message.get(), header, sizeof header);
        if (platform::readWithin(connection, message.get() + sizeof header, total - sizeof header,
                                 remainingUntil(deadline))) {
            HandOver handOver;
            fault = parseHandOver(reinterpret_cast<const unsigned char*>(message.get()), total, handOver);
        }
    }
    Text taken;
    if (fault == HandOverFault::None && !taken.assign(message.get(), total))
        fault = HandOverFault::NoMemory;
    if (fault != HandOverFault::None) {
        trace("hand-over refused: %s", { handOverFaultText(fault) });
        return;
    }
    // Taken only when answered: a start that gave up waiting (and told its
    // user so) is gone by now, and its hand-over must not arrive after all.
    Answer answer = { connection, deadline };
    if (!state.queue.add(static_cast<Text&&>(taken), answerTaken, &answer)) {
        trace("hand-over not taken: its start no longer waits, or the instance is on its way out");
        return;
    }
    trace("hand-over received");
}

void receiveHandOvers(void* context)
{
    InstanceState& state = *static_cast<InstanceState*>(context);
    for (;;) {
        platform::ConnectionOwner connection(platform::acceptConnection(state.channel));
        if (!connection.isValid())
            return;
        receiveOne(state, connection.get());
    }
}

bool becomeInstance(const InstanceStart& start, platform::InstanceChannelOwner& channel, SingleInstance& instance,
                    Failure& failure)
{
    void* memory = allocateMemory(sizeof(InstanceState));
    if (!memory)
        return fail(failure, kOutOfMemoryMessage);
    InstanceState* state = new (memory) InstanceState();
    state->channel = channel.get();
    if (!state->queue.prepare() || !platform::startDetachedThread(receiveHandOvers, state)) {
        platform::releaseInstance(channel.get());
        platform::ChannelProblem problem;
        problem.call = "a thread for hand-overs";
        return channelFailed(start.paths.applicationName.chars(), problem, failure);
    }
    channel.release();
    instance.state = state;
    trace("single instance: this process is the instance");
    return true;
}

bool makeHandOver(const InstanceStart& start, Text& message, Failure& failure)
{
    Text directory;
    Utf16Text units;
    // A working directory that is gone is handed over as none.
    if (!platform::currentDirectory(directory, units))
        directory.clear();
    HandOverFault fault = encodeHandOver(directory, units, start.arguments, message);
    if (fault == HandOverFault::TooLarge)
        return fail(failure, kHandOverTooLargeFormat, start.paths.applicationName.chars());
    return fault == HandOverFault::None || fail(failure, kOutOfMemoryMessage);
}

// The answer comes once the instance has taken the hand-over; a connection
// that ends without it (an instance on its way out) is tried again.
bool handOver(platform::InstanceConnection* connection, const Text& message, unsigned long long deadline)
{
    platform::allowToComeForward(connection);
    char answer[sizeof kTaken];
    return platform::writeWithin(connection, message.chars(), message.length(), remainingUntil(deadline))
        && platform::readWithin(connection, answer, sizeof answer, remainingUntil(deadline))
        && memcmp(answer, kTaken, sizeof kTaken) == 0;
}

}

SingleInstance::~SingleInstance()
{
    releaseSingleInstance(*this);
}

bool startSingleInstance(const InstanceStart& start, SingleInstance& instance, Failure& failure)
{
    const char* name = start.paths.applicationName.chars();
    Text comparedPath;
    Text identity;
    Text hash;
    if (!platform::comparablePath(start.paths.executablePath, comparedPath)
        || !instanceIdentity(comparedPath, start.settings.singleInstanceName, identity)
        || !instanceHash(identity, hash))
        return fail(failure, kOutOfMemoryMessage);
    platform::ChannelProblem problem;
    platform::InstanceChannelOwner channel(platform::openInstanceChannel(hash.chars(), problem));
    if (!channel.isValid())
        return channelFailed(name, problem, failure);
    Text message;
    unsigned long long deadline = platform::steadyMilliseconds() + kAnswerTime;
    for (;;) {
        platform::InstanceClaim claim = platform::claimInstance(channel.get(), problem);
        if (claim == platform::InstanceClaim::Claimed)
            return becomeInstance(start, channel, instance, failure);
        if (claim == platform::InstanceClaim::Failed)
            return channelFailed(name, problem, failure);
        if (message.isEmpty() && !makeHandOver(start, message, failure))
            return false;
        platform::ConnectionOwner connection(platform::connectToInstance(channel.get()));
        if (connection.isValid() && handOver(connection.get(), message, deadline)) {
            trace("single instance: the arguments were handed over to the running instance");
            instance.handedOver = true;
            return true;
        }
        if (remainingUntil(deadline) == 0) {
            trace("single instance: the running instance did not answer");
            return fail(failure, kInstanceNoAnswerFormat, name);
        }
        platform::sleepMilliseconds(kRetryPause);
    }
}

void releaseSingleInstance(SingleInstance& instance)
{
    if (!instance.state)
        return;
    instance.state->queue.close();
    platform::releaseInstance(instance.state->channel);
}
