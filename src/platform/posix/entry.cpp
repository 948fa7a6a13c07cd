#include "platform/process.h"
#include "platform/posix/process_arguments.h"

int main(int argc, char** argv)
{
    rememberProcessArguments(argc, argv);
    return launchMain(nullptr);
}
