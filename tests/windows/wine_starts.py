"""Tells "Wine could not start the program" from "the program ran and
failed", and starts it again in the first case only.

Now and then, most often on a busy machine, a new Wine process ends before
the program in it runs. Wine's CreateProcess then fails with
ERROR_INTERNAL_ERROR, and start.exe, through which `wine NAME` starts a
program named without a path (and any program Wine's loader could not load
itself), says so on standard output, in the locale's language, and exits
with 1:

    Application could not be started, or no application associated with the specified file.
    ShellExecuteEx failed: Internal error.

(a program named without a path that is not there gives "File not found.":
it too is tried again, then fails as one that Wine could not start). When the
process that ends early is the one `wine PATH` started itself, there is no
message: nothing is printed, and the exit code is 0 or a signal's (a
program's own crash under Wine ends with its exception code instead). Exit
code 0 tells only for rig.exe and cmd scripts, which always print.

A program that ran is never started again, whatever its exit code: a command
runs again only when its program never ran, so no side effect repeats.
"""
import time

# The second line of start.exe's message names the function in every translation.
START_EXE_MARK = b'ShellExecuteEx'
START_EXE_EXIT_CODE = 1
ERROR_INTERNAL_ERROR = 1359
# cmd's errorlevel after a program it could not start.
CMD_COULD_NOT_START = 9009
ATTEMPTS = 3
PAUSE_SECONDS = 1


class WineCouldNotStart(AssertionError):
    """Wine could not start a program in any attempt."""


def readable(output):
    """Output as one line of text."""
    lines = (output or b'').decode('ascii', 'backslashreplace').splitlines()
    return ' '.join(line.strip() for line in lines if line.strip())


def wine_start_failure(completed):
    """Why Wine did not run the program of a finished `wine PROGRAM ...` (a
    subprocess.CompletedProcess), or None: it ran. A program that did not run
    printed nothing: the output, if any, is start.exe's."""
    lines = [line for line in (completed.stdout or b'').splitlines() if line.strip()]
    if completed.returncode == START_EXE_EXIT_CODE and len(lines) == 2 and START_EXE_MARK in lines[1]:
        return readable(completed.stdout)
    if completed.returncode < 0 and not completed.stdout and not completed.stderr:
        return 'Wine ended on signal %d before printing anything' % -completed.returncode
    return None


def rig_start_failure(completed):
    """The same for a finished `wine rig.exe ... PROGRAM ...`, in which PROGRAM
    had to run. Before anything else it prints, rig.exe says whether it
    started PROGRAM ("started" or "start-failed\\tERROR"); without either
    line, Wine never ran rig.exe."""
    lines = (completed.stdout or b'').splitlines()
    if b'started' in lines:
        return None
    failed = [line for line in lines if line.startswith(b'start-failed\t')]
    if not failed:
        said = readable(completed.stdout + completed.stderr)
        return 'rig.exe did not run (exit code %s)%s' % (completed.returncode, ': ' + said if said else '')
    if failed[0] == b'start-failed\t%d' % ERROR_INTERNAL_ERROR:
        return "the program's process ended before the program ran (CreateProcess error %d)" % ERROR_INTERNAL_ERROR
    return None


def script_start_failure(completed):
    """The same for a finished `wine cmd /c SCRIPT` whose script echoes
    "errorlevel %errorlevel% WHAT" after each program it runs, and "checked"
    at its end."""
    failure = wine_start_failure(completed)
    if failure is not None:
        return failure
    lines = (completed.stdout or b'').decode('latin-1').splitlines()
    if not lines:
        return 'cmd printed nothing (exit code %s)' % completed.returncode
    for line in lines:
        word, _, rest = line.partition(' ')
        errorlevel, _, what = rest.partition(' ')
        if word == 'errorlevel' and errorlevel == str(CMD_COULD_NOT_START):
            return 'cmd could not start the program %s' % what
    return None


class StartRetries:
    """Runs a command again, after a short pause, while Wine could not start
    its program, up to attempts times in all, and keeps why it ran each again."""

    def __init__(self, attempts=ATTEMPTS, pause_seconds=PAUSE_SECONDS, sleep=time.sleep):
        self.attempts = attempts
        self.pause_seconds = pause_seconds
        self.sleep = sleep
        self.reasons = []

    def run(self, start, start_failure, program):
        """start() runs the command once and gives its result; start_failure
        (result) says why Wine did not run program, or None."""
        for attempt in range(1, self.attempts + 1):
            result = start()
            failure = start_failure(result)
            if failure is None:
                return result
            if attempt == self.attempts:
                raise WineCouldNotStart('Wine could not start %s after %d attempts: %s'
                                        % (program, self.attempts, failure))
            self.reasons.append('%s: %s' % (program, failure))
            self.sleep(self.pause_seconds)

    @property
    def retried(self):
        return len(self.reasons)

    def summary(self, build):
        return '%s: %d Wine start%s retried' % (build, self.retried, '' if self.retried == 1 else 's')
