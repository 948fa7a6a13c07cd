#include "instance/restart.h"

#include "common/message_format.h"
#include "common/trace.h"
#include "platform/process.h"

const char kRestartFailedFormat[] = "%s could not be started again: %s failed (error %d).\n";

namespace {

// The plan's parts, kept: the hook runs long after the plan was made.
struct Restart {
    int exitCode = 0;
    const LaunchPaths* paths = nullptr;
    SingleInstance* instance = nullptr;
    FailureReport report = { nullptr, nullptr };
    ExitHookFunction chained = nullptr;
    bool armed = false;
};
// The hook takes no context: the one machine of the process has one exit.
Restart restart;

// When the executable cannot be started, the process ends as it would have
// without the setting, with the application's code.
void JNICALL restartAtExit(jint code)
{
    if (restart.chained)
        restart.chained(code);
    if (code != restart.exitCode || !restart.armed)
        return;
    trace("exit code %d: the application starts again", { static_cast<int>(code) });
    releaseSingleInstance(*restart.instance);
    const char* call = "";
    int error = 0;
    if (!platform::startExecutableAgain(restart.paths->executablePath.chars(), call, error)) {
        FormatValue values[] = { restart.paths->applicationName, call, error };
        Failure failure;
        failWithText(failure, kRestartFailedFormat, formatMessage(kRestartFailedFormat, values, 3));
        restart.report.show(failure, restart.report.context);
        return;
    }
    trace("exit code 0");
    platform::endProcess(0);
}

}

ExitHookFunction restartOnExitCode(const RestartPlan& plan, ExitHookFunction chained)
{
    restart.exitCode = plan.exitCode;
    restart.paths = &plan.paths;
    restart.instance = &plan.instance;
    restart.report = plan.report;
    restart.chained = chained;
    return restartAtExit;
}

void armRestart()
{
    restart.armed = true;
}
