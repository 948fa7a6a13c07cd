#include "platform/process.h"
#include "platform/posix/process_arguments.h"
#include "platform/posix/standard_streams_at_start.h"

int main(int argc, char** argv)
{
    platform::recordStandardStreamsAtStart();
    rememberProcessArguments(argc, argv);
    return launchMain(nullptr);
}
