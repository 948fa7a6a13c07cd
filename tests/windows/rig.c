/*
 * Starts a program with an exact command line, answers its message boxes and
 * reports what it saw, for the end-to-end tests under Wine.
 *
 *   rig.exe [--timeout MS] [--cwd DIR] [--wide 1] PROGRAM "COMMAND LINE"
 *
 * With --wide 1 the program, its command line and the directory are taken and
 * handed on in UTF-16, so that names outside the ANSI code page stay exact.
 *
 * Prints, before any other line of its own, "started" once the program's
 * process is running, or
 *   start-failed<TAB>ERROR
 * with CreateProcess's error code when it could not be started: a run with
 * neither line is one in which Wine never ran rig.exe.
 * Then it prints one line per message box the program shows:
 *   box<TAB>OWNER<TAB>CAPTION<TAB>TEXT
 * where OWNER is the class name of the box's owner window, or "(none)", and
 * then one line with the program's exact 32-bit exit code:
 *   exit<TAB>0xXXXXXXXX
 * or "timeout" when it did not end in time (it is then terminated). Bytes
 * outside printable ASCII, and backslashes, are written as \xNN escapes.
 *
 *   rig.exe --broadcast
 *
 * sends WM_NULL to every top-level window (as installers and settings changes
 * do) and exits with the milliseconds that took.
 */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_SEEN 64

static DWORD childProcessId;
static HWND seen[MAX_SEEN];
static int seenCount;

static void printEscaped(const char* text)
{
    for (const unsigned char* p = (const unsigned char*)text; *p; ++p) {
        if (*p >= 0x20 && *p < 0x7f && *p != '\\')
            putchar(*p);
        else
            printf("\\x%02X", *p);
    }
}

static int alreadySeen(HWND window)
{
    for (int i = 0; i < seenCount; ++i)
        if (seen[i] == window)
            return 1;
    return 0;
}

static BOOL CALLBACK visitWindow(HWND window, LPARAM unused)
{
    (void)unused;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != childProcessId || alreadySeen(window) || !IsWindowVisible(window))
        return TRUE;
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") != 0)
        return TRUE;

    static char text[65536];
    char caption[512] = "";
    char ownerClass[256] = "(none)";
    text[0] = '\0';
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    GetWindowTextA(window, caption, sizeof caption);
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner)
        GetClassNameA(owner, ownerClass, sizeof ownerClass);

    fputs("box\t", stdout);
    printEscaped(ownerClass);
    putchar('\t');
    printEscaped(caption);
    putchar('\t');
    printEscaped(text);
    putchar('\n');
    fflush(stdout);

    if (seenCount < MAX_SEEN)
        seen[seenCount++] = window;
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--broadcast") == 0) {
        DWORD before = GetTickCount();
        SendMessageA(HWND_BROADCAST, WM_NULL, 0, 0);
        return (int)(GetTickCount() - before);
    }
    DWORD timeout = 20000;
    const char* directory = NULL;
    int directoryIndex = 0, wide = 0, noStandardHandles = 0;
    int i = 1;
    for (; i + 1 < argc && strncmp(argv[i], "--", 2) == 0; i += 2) {
        if (strcmp(argv[i], "--timeout") == 0)
            timeout = (DWORD)strtoul(argv[i + 1], NULL, 10);
        else if (strcmp(argv[i], "--cwd") == 0)
            directory = argv[i + 1], directoryIndex = i + 1;
        else if (strcmp(argv[i], "--wide") == 0)
            wide = atoi(argv[i + 1]);
        else if (strcmp(argv[i], "--no-std") == 0)
            noStandardHandles = atoi(argv[i + 1]);
    }
    if (argc - i != 2) {
        fprintf(stderr, "usage: rig.exe [--timeout MS] [--cwd DIR] [--wide 1] [--no-std 1] PROGRAM \"COMMAND LINE\"\n");
        return 2;
    }
    STARTUPINFOA startup;
    STARTUPINFOW startupWide;
    PROCESS_INFORMATION process;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    memset(&startupWide, 0, sizeof startupWide);
    startupWide.cb = sizeof startupWide;
    /* As from Explorer: a program with no standard handles at all. */
    if (noStandardHandles)
        startup.dwFlags = startupWide.dwFlags = STARTF_USESTDHANDLES;
    int wideCount = 0;
    wchar_t** wideArgs = wide ? CommandLineToArgvW(GetCommandLineW(), &wideCount) : NULL;
    if (wide && wideCount != argc) {
        fprintf(stderr, "rig.exe: the wide command line has %d arguments, not %d\n", wideCount, argc);
        return 2;
    }
    BOOL started = wide
        ? CreateProcessW(wideArgs[i], _wcsdup(wideArgs[i + 1]), NULL, NULL, FALSE, 0, NULL,
                         directoryIndex ? wideArgs[directoryIndex] : NULL, &startupWide, &process)
        : CreateProcessA(argv[i], _strdup(argv[i + 1]), NULL, NULL, FALSE, 0, NULL, directory, &startup, &process);
    if (!started) {
        printf("start-failed\t%lu\n", GetLastError());
        return 3;
    }
    puts("started");
    fflush(stdout);
    childProcessId = process.dwProcessId;

    DWORD startTime = GetTickCount();
    for (;;) {
        EnumWindows(visitWindow, 0);
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0)
            break;
        if (GetTickCount() - startTime > timeout) {
            TerminateProcess(process.hProcess, 0xDEAD);
            puts("timeout");
            return 4;
        }
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    printf("exit\t0x%08lX\n", (unsigned long)exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
