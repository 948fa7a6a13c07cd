/*
 * A test double of a Java runtime's bin\splashscreen.dll: it exports the
 * splash library's entry points that a launcher calls and appends each call,
 * with its arguments, as a JSON line to the jvm.dll double's record
 * (JVMDOUBLE_RECORD), so that the record shows them in order among the VM's
 * events. SPLASHDOUBLE_INIT=0 makes SplashInit fail; SPLASHDOUBLE_LOAD=0 makes
 * SplashLoadFile and SplashLoadMemory fail, as the library fails for an image
 * it cannot decode; SPLASHDOUBLE_SCALED names
 * a scaled variant (at scale 2) that SplashGetScaledImageName hands back.
 * SplashLoadMemory records the size and up to 64 bytes (in hex) of the data.
 */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static void text(char* out, size_t size, const char* value)
{
    if (!value) {
        snprintf(out, size, "null");
        return;
    }
    size_t used = (size_t)snprintf(out, size, "\"");
    for (const unsigned char* p = (const unsigned char*)value; *p && used + 8 < size; ++p)
        used += (size_t)snprintf(out + used, size - used, *p >= 0x20 && *p < 0x7F && *p != '"' && *p != '\\'
                                 ? "%c" : "\\u%04x", *p);
    snprintf(out + used, size - used, "\"");
}

static void record(const char* call, const char* first, const char* second, const char* more)
{
    char path[MAX_PATH], one[1024], two[1024], line[4096];
    DWORD length = GetEnvironmentVariableA("JVMDOUBLE_RECORD", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    text(one, sizeof one, first);
    text(two, sizeof two, second);
    int n = snprintf(line, sizeof line, "{\"event\":\"splash_library\",\"call\":\"%s\",\"first\":%s,\"second\":%s%s}\n",
                     call, one, two, more ? more : "");
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(file, line, (DWORD)n, &written, NULL);
        CloseHandle(file);
    }
}

/* Whether the variable is not set to 0. */
static int works(const char* variable)
{
    char value[8] = "1";
    GetEnvironmentVariableA(variable, value, sizeof value);
    return strcmp(value, "0") != 0;
}

__declspec(dllexport) int SplashInit(void)
{
    record("SplashInit", NULL, NULL, NULL);
    return works("SPLASHDOUBLE_INIT");
}

__declspec(dllexport) int SplashGetScaledImgNameMaxPstfixLen(const char* file)
{
    record("SplashGetScaledImgNameMaxPstfixLen", file, NULL, NULL);
    return (int)strlen(file) + (int)strlen("@100pct") + 1;
}

__declspec(dllexport) unsigned char SplashGetScaledImageName(const char* jar, const char* file, float* scale,
                                                             char* name, size_t length)
{
    char more[64], scaled[MAX_PATH];
    snprintf(more, sizeof more, ",\"length\":%u", (unsigned)length);
    record("SplashGetScaledImageName", jar, file, more);
    DWORD got = GetEnvironmentVariableA("SPLASHDOUBLE_SCALED", scaled, sizeof scaled);
    if (got == 0 || got >= sizeof scaled || got >= length)
        return 0;
    memcpy(name, scaled, got + 1);
    *scale = 2.0f;
    return 1;
}

__declspec(dllexport) void SplashSetScaleFactor(float scale)
{
    char more[64];
    snprintf(more, sizeof more, ",\"scale\":%.2f", scale);
    record("SplashSetScaleFactor", NULL, NULL, more);
}

__declspec(dllexport) int SplashLoadFile(const char* file)
{
    record("SplashLoadFile", file, NULL, NULL);
    return works("SPLASHDOUBLE_LOAD");
}

__declspec(dllexport) int SplashLoadMemory(void* data, int size)
{
    char more[160];
    int used = snprintf(more, sizeof more, ",\"size\":%d,\"data\":\"", size);
    for (int i = 0; i < size && i < 64; ++i)
        used += snprintf(more + used, sizeof more - (size_t)used, "%02x", ((const unsigned char*)data)[i]);
    snprintf(more + used, sizeof more - (size_t)used, "\"");
    record("SplashLoadMemory", NULL, NULL, more);
    return works("SPLASHDOUBLE_LOAD");
}

__declspec(dllexport) void SplashSetFileJarName(const char* file, const char* jar)
{
    record("SplashSetFileJarName", file, jar, NULL);
}

__declspec(dllexport) void SplashClose(void)
{
    record("SplashClose", NULL, NULL, NULL);
}
