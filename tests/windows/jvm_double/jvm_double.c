/*
 * A test double of a Java runtime's jvm.dll, for the end-to-end tests under
 * Wine. It plays the JNI invocation interface and the JNI functions a launcher
 * needs to run a main class; every other slot of the two function tables
 * records its number and ends the process with exit code 0xBAD. Environment
 * variables say how it behaves, and it records what it is handed as JSON
 * lines: README.md in this folder lists both.
 */
#define _JNI_IMPLEMENTATION_
#include <jni.h>
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef WITH_HELPER
__declspec(dllimport) int jvmDoubleHelper(void);
#endif

static struct {
    char record[MAX_PATH], classes[4096], main[32], encoding[256], screenshot[MAX_PATH], broadcaster[MAX_PATH];
    char says[1024], abortSays[1024], getenv[1024], writes[1024];
    char again[32], mainUntil[MAX_PATH], exitMark[MAX_PATH];
    long createResult, detachResult, failString, mainThrows, mainSleep, appThread, windows;
    long appWindow, probeSplash, saysWidth, writeBytes;
    long againThrows, createSleep, exitCode, recordLoad, watchForeground;
} config;

static const char* setting(const char* name, char* buffer, DWORD size, const char* fallback)
{
    DWORD length = GetEnvironmentVariableA(name, buffer, size);
    if (length == 0 || length >= size)
        lstrcpynA(buffer, fallback, size);
    return buffer;
}

static long number(const char* name)
{
    char buffer[32];
    return strtol(setting(name, buffer, sizeof buffer, "0"), NULL, 0);
}

static void configure(void)
{
    setting("JVMDOUBLE_RECORD", config.record, sizeof config.record, "");
    setting("JVMDOUBLE_CLASSES", config.classes, sizeof config.classes, "com/example/Main");
    setting("JVMDOUBLE_MAIN", config.main, sizeof config.main, "static");
    setting("JVMDOUBLE_ENCODING", config.encoding, sizeof config.encoding, "Cp1252");
    setting("JVMDOUBLE_SCREENSHOT", config.screenshot, sizeof config.screenshot, "");
    config.createResult = number("JVMDOUBLE_CREATE_RESULT");
    config.detachResult = number("JVMDOUBLE_DETACH_RESULT");
    config.failString = number("JVMDOUBLE_FAIL_STRING");
    config.mainThrows = number("JVMDOUBLE_MAIN_THROWS");
    config.mainSleep = number("JVMDOUBLE_MAIN_SLEEP_MS");
    config.appThread = number("JVMDOUBLE_APP_THREAD_MS");
    config.windows = number("JVMDOUBLE_WINDOWS");
    config.appWindow = number("JVMDOUBLE_APP_WINDOW_MS");
    config.probeSplash = number("JVMDOUBLE_PROBE_SPLASH");
    setting("JVMDOUBLE_BROADCASTER", config.broadcaster, sizeof config.broadcaster, "");
    setting("JVMDOUBLE_SAYS", config.says, sizeof config.says, "");
    config.saysWidth = number("JVMDOUBLE_SAYS_WIDTH");
    setting("JVMDOUBLE_ABORT_SAYS", config.abortSays, sizeof config.abortSays, "");
    setting("JVMDOUBLE_AGAIN", config.again, sizeof config.again, "directory");
    config.againThrows = number("JVMDOUBLE_AGAIN_THROWS");
    config.createSleep = number("JVMDOUBLE_CREATE_SLEEP_MS");
    setting("JVMDOUBLE_MAIN_UNTIL", config.mainUntil, sizeof config.mainUntil, "");
    config.exitCode = number("JVMDOUBLE_EXIT_CODE");
    setting("JVMDOUBLE_EXIT_MARK", config.exitMark, sizeof config.exitMark, "");
    config.recordLoad = number("JVMDOUBLE_RECORD_LOAD");
    config.watchForeground = number("JVMDOUBLE_WATCH_FOREGROUND");
    setting("JVMDOUBLE_GETENV", config.getenv, sizeof config.getenv, "");
    setting("JVMDOUBLE_WRITES", config.writes, sizeof config.writes, "");
    config.writeBytes = number("JVMDOUBLE_WRITE_BYTES");
}

/* Writes to the standard handle as the machine's C runtime and Java's
 * System.out and System.err do; nothing when the process has none. */
static void writeStandard(DWORD which, const char* text, DWORD length)
{
    HANDLE handle = GetStdHandle(which);
    DWORD written = 0;
    if (handle && handle != INVALID_HANDLE_VALUE)
        WriteFile(handle, text, length, &written, NULL);
}

static void writeBoth(const char* when)
{
    char text[1200];
    if (!config.writes[0])
        return;
    int length = snprintf(text, sizeof text, "%s: %s, stdout\r\n", config.writes, when);
    writeStandard(STD_OUTPUT_HANDLE, text, (DWORD)length);
    length = snprintf(text, sizeof text, "%s: %s, stderr\r\n", config.writes, when);
    writeStandard(STD_ERROR_HANDLE, text, (DWORD)length);
}

/* ---- the machine's objects (never freed) ---- */

enum Kind { CLASS = 1, STRING, BYTES, ARRAY, THROWABLE };
typedef struct Object {
    unsigned magic;
    enum Kind kind;
    char* text;                 /* a class's name, a string's or byte array's bytes, an exception's class */
    jsize length;
    struct Object* encoding;    /* the charset name a string was decoded with */
    struct Object** elements;
    struct Object* cause;       /* an exception's cause */
    char message[256];          /* an exception's message */
} Object;
#define MAGIC 0x4A564D44u

static Object* newObject(enum Kind kind, const char* text, jsize length)
{
    Object* object = calloc(1, sizeof *object);
    object->magic = MAGIC;
    object->kind = kind;
    object->length = length;
    object->text = calloc(1, length + 1);
    if (text)
        memcpy(object->text, text, length);
    return object;
}

/* ---- the record: one line at a time, under a lock (main and the application thread both write) ---- */

static CRITICAL_SECTION lock;
static LARGE_INTEGER start, frequency;
static char line[1 << 16];
static size_t used;

static void put(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = vsnprintf(line + used, sizeof line - used, format, args);
    va_end(args);
    if (n > 0)
        used = used + n < sizeof line ? used + n : sizeof line - 1;
}

static void putText(const char* text, size_t length, int hex)
{
    if (!text) {
        put("null");
        return;
    }
    put("\"");
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)text[i];
        put(hex ? "%02x" : c >= 0x20 && c < 0x7F && c != '"' && c != '\\' ? "%c" : "\\u%04x", c);
    }
    put("\"");
}

static void begin(const char* event)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    EnterCriticalSection(&lock);
    used = 0;
    put("{\"event\":\"%s\",\"time\":%.1f", event,
        (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart);
}

/* Opened for each line, so that nothing is lost when the process ends abruptly. */
static void end(void)
{
    put("}\n");
    HANDLE file = CreateFileA(config.record, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(file, line, (DWORD)used, &written, NULL);
        CloseHandle(file);
    }
    LeaveCriticalSection(&lock);
}

/* Fields in a format of our own: %s, %d, %ld as printf; %T a C string as JSON
 * text (or null); %O an object's text (or null); %H an object's bytes as hex. */
static void putFields(const char* format, va_list args)
{
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            put("%c", *p);
            continue;
        }
        const char* s;
        const Object* o;
        switch (*++p) {
        case 's': put("%s", va_arg(args, const char*)); break;
        case 'd': put("%d", va_arg(args, int)); break;
        case 'l': put("%ld", va_arg(args, long)), ++p; break;
        case 'T': s = va_arg(args, const char*), putText(s, s ? strlen(s) : 0, 0); break;
        case 'O': o = va_arg(args, const Object*), putText(o ? o->text : NULL, o ? o->length : 0, 0); break;
        case 'H': o = va_arg(args, const Object*), putText(o ? o->text : NULL, o ? o->length : 0, 1); break;
        }
    }
}

static void putf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    putFields(format, args);
    va_end(args);
}

static void record(const char* event, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    begin(event);
    putFields(format, args);
    end();
    va_end(args);
}

static void trap(const char* table, int slot)
{
    record("trap", ",\"table\":\"%s\",\"slot\":%d", table, slot);
    ExitProcess(0xBAD);
}

/* One numbered trap for each slot of the JNI function table. */
#define TRAP(h, t, u) static void JNICALL trap##h##t##u(void) { trap("env", h * 100 + t * 10 + u); }
#define TRAPS10(h, t) TRAP(h, t, 0) TRAP(h, t, 1) TRAP(h, t, 2) TRAP(h, t, 3) TRAP(h, t, 4) \
    TRAP(h, t, 5) TRAP(h, t, 6) TRAP(h, t, 7) TRAP(h, t, 8) TRAP(h, t, 9)
#define TRAPS100(h) TRAPS10(h, 0) TRAPS10(h, 1) TRAPS10(h, 2) TRAPS10(h, 3) TRAPS10(h, 4) \
    TRAPS10(h, 5) TRAPS10(h, 6) TRAPS10(h, 7) TRAPS10(h, 8) TRAPS10(h, 9)
#define REF(h, t, u) (void*)trap##h##t##u,
#define REFS10(h, t) REF(h, t, 0) REF(h, t, 1) REF(h, t, 2) REF(h, t, 3) REF(h, t, 4) \
    REF(h, t, 5) REF(h, t, 6) REF(h, t, 7) REF(h, t, 8) REF(h, t, 9)
#define REFS100(h) REFS10(h, 0) REFS10(h, 1) REFS10(h, 2) REFS10(h, 3) REFS10(h, 4) \
    REFS10(h, 5) REFS10(h, 6) REFS10(h, 7) REFS10(h, 8) REFS10(h, 9)
TRAPS100(0) TRAPS100(1) TRAPS100(2)
static void* const traps[] = { REFS100(0) REFS100(1) REFS100(2) };
_Static_assert(sizeof(struct JNINativeInterface_) <= sizeof traps, "more JNI slots than traps");

/* ---- the machine's state and JNI's rules ---- */

/* The methods that exist; a null owner stands for the application's classes. */
typedef struct { const char *owner, *name, *signature; int isStatic; } Method;
static const Method methods[] = {
    { "java/lang/String", "<init>", "([B)V", 0 },
    { "java/lang/String", "<init>", "([BLjava/lang/String;)V", 0 },
    { "java/lang/System", "getProperty", "(Ljava/lang/String;)Ljava/lang/String;", 1 },
    { NULL, "main", "([Ljava/lang/String;)V", 1 },
    { "java/lang/Object", "toString", "()Ljava/lang/String;", 0 },
    { "java/lang/Throwable", "getCause", "()Ljava/lang/Throwable;", 0 },
    { "java/lang/Throwable", "getStackTrace", "()[Ljava/lang/StackTraceElement;", 0 },
    { NULL, "openAgain", "([Ljava/lang/String;Ljava/lang/String;)V", 1 },
    { NULL, "openAgain", "([Ljava/lang/String;)V", 1 },
};
enum { FROM_BYTES, FROM_BYTES_WITH_ENCODING, GET_PROPERTY, MAIN, TO_STRING, GET_CAUSE, GET_STACK_TRACE,
       AGAIN_WITH_DIRECTORY, AGAIN };
#define METHOD(id) ((jmethodID)&methods[id])

static struct JNINativeInterface_ functions;
static struct JNIInvokeInterface_ invocation;
static JNIEnv environment = &functions;
/* The one thread attached besides the machine's own (the launcher's hand-over thread). */
static JNIEnv attachedEnvironment = &functions;
static JavaVM machine = &invocation;
static DWORD machineThread, attachedThread;
static HANDLE applicationThread;
/* Each thread has its own pending exception and local frames. */
static __thread Object* pending;
static __thread int frames;
static int created, detached, destroyed, defaultArgsCalled, stringsMade, utfHeld, mainEntered, againCalls;
static void (JNICALL* exitHook)(jint);

static void misuse(const char* function, const char* reason)
{
    record("misuse", ",\"function\":\"%s\",\"reason\":\"%s\"", function, reason);
}

/* Most functions may not be called while an exception is pending. */
static void check(JNIEnv* env, const char* function, int needsNoPending)
{
    int attached = env == &attachedEnvironment;
    if (env != &environment && !attached)
        misuse(function, "not the machine's environment");
    else if (!created || destroyed)
        misuse(function, "no machine");
    else if (GetCurrentThreadId() != (attached ? attachedThread : machineThread))
        misuse(function, "not the machine's thread");
    else if (detached && !attached)
        misuse(function, "thread detached");
    else if (needsNoPending && pending)
        misuse(function, "exception pending");
}

static Object* as(const void* reference, enum Kind kind, const char* function)
{
    const Object* object = reference;
    if (object && object->magic == MAGIC && (!kind || object->kind == kind))
        return (Object*)object;
    misuse(function, object ? "not a reference of the right kind" : "null reference");
    return NULL;
}

static Object* newThrowable(const char* name, const char* message)
{
    Object* thrown = newObject(THROWABLE, name, (jsize)strlen(name));
    lstrcpynA(thrown->message, message, sizeof thrown->message);
    return thrown;
}

static void throwNew(const char* name)
{
    pending = newThrowable(name, "");
}

static jstring makeString(const char* bytes, jsize length, const char* via, Object* encoding)
{
    Object* string = newObject(STRING, bytes, length);
    string->encoding = encoding;
    record("string", ",\"via\":\"%s\",\"hex\":%H,\"encoding\":%O", via, string, encoding);
    return (jstring)string;
}

static int classExists(const char* name)
{
    if (!strcmp(name, "java/lang/String") || !strcmp(name, "java/lang/System")
        || !strcmp(name, "java/lang/Object") || !strcmp(name, "java/lang/Throwable"))
        return 1;
    size_t length = strlen(name);
    for (const char* p = config.classes; *p; p += strcspn(p, ";"), p += *p == ';')
        if (strncmp(p, name, length) == 0 && (p[length] == ';' || p[length] == '\0'))
            return 1;
    return 0;
}

/* ---- for window tests: the process's visible top-level windows ---- */

static BOOL CALLBACK recordWindow(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    char className[256] = "", text[256] = "";
    RECT r = { 0, 0, 0, 0 };
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, text, sizeof text);
    GetWindowRect(window, &r);
    put("%s{\"handle\":%llu,\"class\":", (*(int*)count)++ ? "," : "", (unsigned long long)(UINT_PTR)window);
    putText(className, strlen(className), 0);
    put(",\"text\":");
    putText(text, strlen(text), 0);
    put(",\"style\":%lu,\"exStyle\":%lu,\"classStyle\":%lu,\"rect\":[%ld,%ld,%ld,%ld],\"owner\":%llu}",
        (unsigned long)GetWindowLongA(window, GWL_STYLE), (unsigned long)GetWindowLongA(window, GWL_EXSTYLE),
        (unsigned long)GetClassLongA(window, GCL_STYLE), r.left, r.top, r.right, r.bottom,
        (unsigned long long)(UINT_PTR)GetWindow(window, GW_OWNER));
    return TRUE;
}

/* Saves what the screen shows in the rectangle as a 24-bit BMP file. */
static void saveScreenArea(RECT r, const char* path)
{
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFOHEADER header = { sizeof header, width, height, 1, 24, BI_RGB, 0, 2835, 2835, 0, 0 };
    void* bits = NULL;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, (BITMAPINFO*)&header, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ replaced = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    DWORD size = (DWORD)(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER file = { 0x4D42, (DWORD)(sizeof file + sizeof header + size), 0, 0,
                              (DWORD)(sizeof file + sizeof header) };
    FILE* out = fopen(path, "wb");
    if (out) {
        fwrite(&file, sizeof file, 1, out);
        fwrite(&header, sizeof header, 1, out);
        fwrite(bits, size, 1, out);
        fclose(out);
    }
    SelectObject(memory, replaced);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

static BOOL CALLBACK captureWindow(HWND window, LPARAM unused)
{
    (void)unused;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    RECT r;
    GetWindowRect(window, &r);
    saveScreenArea(r, config.screenshot);
    return FALSE;
}

static void recordWindows(const char* at)
{
    int count = 0;
    begin("windows");
    put(",\"at\":\"%s\",\"fullScreen\":[%d,%d],\"windows\":[", at,
        GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN));
    EnumWindows(recordWindow, (LPARAM)&count);
    put("]");
    end();
    if (config.screenshot[0] && strcmp(at, "main") == 0)
        EnumWindows(captureWindow, 0);
}

/* ---- the JNI functions a launcher uses ---- */

static jclass JNICALL FindClass(JNIEnv* env, const char* name)
{
    check(env, "FindClass", 1);
    record("find_class", ",\"name\":%T", name);
    if (classExists(name))
        return (jclass)newObject(CLASS, name, (jsize)strlen(name));
    /* As a class loader reports a class it cannot find. */
    pending = newThrowable("java/lang/NoClassDefFoundError", name);
    pending->cause = newThrowable("java/lang/ClassNotFoundException", name);
    return NULL;
}

static jmethodID lookUpMethod(JNIEnv* env, const char* function, jclass clazz, const char* name,
                              const char* signature, int isStatic)
{
    check(env, function, 1);
    Object* type = as(clazz, CLASS, function);
    const Method* found = NULL;
    for (size_t i = 0; type && i < sizeof methods / sizeof *methods; ++i) {
        const Method* m = &methods[i];
        int owner = m->owner ? !strcmp(m->owner, type->text)
                             : strcmp(type->text, "java/lang/String") && strcmp(type->text, "java/lang/System");
        if (owner && !strcmp(m->name, name) && !strcmp(m->signature, signature) && m->isStatic == isStatic)
            found = m;
    }
    if (found == &methods[MAIN] && strcmp(config.main, "static") != 0)
        found = NULL;
    /* JVMDOUBLE_AGAIN: which openAgain the application's classes have. */
    if ((found == &methods[AGAIN_WITH_DIRECTORY] && strcmp(config.again, "directory"))
        || (found == &methods[AGAIN] && strcmp(config.again, "arguments")))
        found = NULL;
    record("method", ",\"class\":%O,\"name\":%T,\"signature\":%T,\"static\":%s,\"found\":%s", type, name, signature,
           isStatic ? "true" : "false", found ? "true" : "false");
    /* A missing method leaves a NoSuchMethodError pending, unless main is to be absent without one. */
    if (!found && !(strcmp(name, "main") == 0 && strcmp(config.main, "absent") == 0))
        pending = newThrowable("java/lang/NoSuchMethodError", name);
    return (jmethodID)found;
}

static jmethodID JNICALL GetMethodID(JNIEnv* env, jclass clazz, const char* name, const char* signature)
{ return lookUpMethod(env, "GetMethodID", clazz, name, signature, 0); }
static jmethodID JNICALL GetStaticMethodID(JNIEnv* env, jclass clazz, const char* name, const char* signature)
{ return lookUpMethod(env, "GetStaticMethodID", clazz, name, signature, 1); }

/* The variadic and va_list forms of a call read the method's reference arguments into jvalues. */
static void readArguments(jmethodID id, va_list args, jvalue* values)
{
    for (int i = 0; i < (id == METHOD(FROM_BYTES_WITH_ENCODING) || id == METHOD(AGAIN_WITH_DIRECTORY) ? 2 : 1); ++i)
        values[i].l = va_arg(args, jobject);
}
#define VA_FORMS(Name)                                                                                 \
    static jobject JNICALL Name##V(JNIEnv* env, jclass clazz, jmethodID id, va_list args)              \
    {                                                                                                  \
        jvalue values[2] = { { 0 }, { 0 } };                                                           \
        readArguments(id, args, values);                                                               \
        return Name##A(env, clazz, id, values);                                                        \
    }                                                                                                  \
    static jobject JNICALL Name(JNIEnv* env, jclass clazz, jmethodID id, ...)                          \
    {                                                                                                  \
        va_list args;                                                                                  \
        va_start(args, id);                                                                            \
        jobject result = Name##V(env, clazz, id, args);                                                \
        va_end(args);                                                                                  \
        return result;                                                                                 \
    }

static jobject JNICALL NewObjectA(JNIEnv* env, jclass clazz, jmethodID id, const jvalue* args)
{
    check(env, "NewObject", 1);
    as(clazz, CLASS, "NewObject");
    int withEncoding = id == METHOD(FROM_BYTES_WITH_ENCODING);
    if (id != METHOD(FROM_BYTES) && !withEncoding)
        return misuse("NewObject", "not a String constructor"), NULL;
    Object* bytes = as(args[0].l, BYTES, "NewObject");
    Object* encoding = withEncoding ? as(args[1].l, STRING, "NewObject") : NULL;
    if (!bytes || (withEncoding && !encoding))
        return NULL;
    if (++stringsMade == config.failString)
        return throwNew("java/lang/OutOfMemoryError"), NULL;
    return makeString(bytes->text, bytes->length, withEncoding ? "String(byte[],String)" : "String(byte[])",
                      encoding);
}
VA_FORMS(NewObject)

/* Throwable's methods: toString as Java's ("java.lang.X: message"); a stack
 * trace of two frames, as strings, whose toString is themselves. */
static jobject JNICALL CallObjectMethodA(JNIEnv* env, jobject object, jmethodID id, const jvalue* args)
{
    (void)args;
    check(env, "CallObjectMethod", 1);
    Object* target = as(object, 0, "CallObjectMethod");
    if (!target)
        return NULL;
    if (id == METHOD(TO_STRING) && target->kind == STRING)
        return (jobject)target;
    if (target->kind != THROWABLE)
        return misuse("CallObjectMethod", "not a Throwable's method"), NULL;
    if (id == METHOD(GET_CAUSE))
        return (jobject)target->cause;
    if (id == METHOD(GET_STACK_TRACE)) {
        static const char* const frames[] = { "com.example.Main.main(Main.java:3)", "com.example.Main.run(Main.java:7)" };
        Object* trace = newObject(ARRAY, NULL, 2);
        trace->elements = calloc(2, sizeof *trace->elements);
        for (int i = 0; i < 2; ++i)
            trace->elements[i] = newObject(STRING, frames[i], (jsize)strlen(frames[i]));
        return (jobject)trace;
    }
    if (id != METHOD(TO_STRING))
        return misuse("CallObjectMethod", "no such method"), NULL;
    char text[512];
    lstrcpynA(text, target->text, sizeof text);
    for (char* p = text; *p; ++p)
        if (*p == '/')
            *p = '.';
    if (target->message[0])
        lstrcatA(lstrcatA(text, ": "), target->message);
    return (jobject)newObject(STRING, text, (jsize)strlen(text));
}
static jobject JNICALL CallObjectMethodV(JNIEnv* env, jobject object, jmethodID id, va_list args)
{ (void)args; return CallObjectMethodA(env, object, id, NULL); }
static jobject JNICALL CallObjectMethod(JNIEnv* env, jobject object, jmethodID id, ...)
{ return CallObjectMethodA(env, object, id, NULL); }

static jsize JNICALL GetArrayLength(JNIEnv* env, jarray array)
{
    check(env, "GetArrayLength", 1);
    Object* a = as(array, ARRAY, "GetArrayLength");
    return a ? a->length : 0;
}

static jobject JNICALL GetObjectArrayElement(JNIEnv* env, jobjectArray array, jsize index)
{
    check(env, "GetObjectArrayElement", 1);
    Object* a = as(array, ARRAY, "GetObjectArrayElement");
    if (!a || index < 0 || index >= a->length)
        return throwNew("java/lang/ArrayIndexOutOfBoundsException"), NULL;
    return (jobject)a->elements[index];
}

static jboolean JNICALL IsSameObject(JNIEnv* env, jobject first, jobject second)
{
    check(env, "IsSameObject", 0);
    return first == second;
}

static jobject JNICALL CallStaticObjectMethodA(JNIEnv* env, jclass clazz, jmethodID id, const jvalue* args)
{
    check(env, "CallStaticObjectMethod", 1);
    Object* type = as(clazz, CLASS, "CallStaticObjectMethod");
    Object* name = id == METHOD(GET_PROPERTY) ? as(args[0].l, STRING, "CallStaticObjectMethod") : NULL;
    if (!type || strcmp(type->text, "java/lang/System") || !name || strcmp(name->text, "sun.jnu.encoding"))
        return misuse("CallStaticObjectMethod", "not System.getProperty(\"sun.jnu.encoding\")"), NULL;
    if (!strcmp(config.encoding, "(throws)"))
        throwNew("java/lang/SecurityException");
    if (!strcmp(config.encoding, "(none)") || pending)
        return NULL;
    return makeString(config.encoding, (jsize)strlen(config.encoding), "getProperty", NULL);
}
VA_FORMS(CallStaticObjectMethod)

static DWORD WINAPI runApplicationThread(void* unused)
{
    (void)unused;
    Sleep((DWORD)config.appThread);
    record("app_thread_end", "");
    return 0;
}

/* ---- for splash tests: the splash as another thread and another program see it ---- */

static double now(void)
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return (double)(counter.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

static BOOL CALLBACK findSplash(HWND window, LPARAM found)
{
    DWORD process = 0;
    char className[64] = "";
    GetWindowThreadProcessId(window, &process);
    GetClassNameA(window, className, sizeof className);
    if (process != GetCurrentProcessId() || strcmp(className, "SplashScreenWindow") || !IsWindowVisible(window))
        return TRUE;
    *(HWND*)found = window;
    return FALSE;
}

static HWND splashWindow(void)
{
    HWND found = NULL;
    EnumWindows(findSplash, (LPARAM)&found);
    return found;
}

/* Records whether the foreground window is the process's own, each time that changes. */
static DWORD WINAPI watchForeground(void* unused)
{
    (void)unused;
    int was = -1;
    for (;;) {
        DWORD process = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &process);
        int ours = process == GetCurrentProcessId();
        if (ours != was)
            record("foreground", ",\"ours\":%s", ours ? "true" : "false");
        was = ours;
        Sleep(20);
    }
    return 0;
}

/* Whether the splash answers a message sent from a thread that is not its own. */
static DWORD WINAPI probeSplash(void* unused)
{
    (void)unused;
    HWND splash = splashWindow();
    DWORD_PTR result = 0;
    double before = now();
    LRESULT answered = splash ? SendMessageTimeoutA(splash, WM_NULL, 0, 0, SMTO_NORMAL, 1500, &result) : 0;
    double took = now() - before;
    begin("probe");
    put(",\"splash\":%s,\"answered\":%s,\"ms\":%.1f", splash ? "true" : "false", answered ? "true" : "false", took);
    end();
    return 0;
}

/* Another program broadcasts a message to every top-level window and says how long that took. */
static void broadcastFromAnotherProgram(void)
{
    char commandLine[MAX_PATH + 32];
    snprintf(commandLine, sizeof commandLine, "\"%s\" --broadcast", config.broadcaster);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(config.broadcaster, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        record("broadcast", ",\"started\":false");
        return;
    }
    DWORD waited = WaitForSingleObject(process.hProcess, 12000); /* starting a program under load takes seconds */
    DWORD took = 0;
    GetExitCodeProcess(process.hProcess, &took);
    record("broadcast", ",\"started\":true,\"returned\":%s,\"ms\":%ld", waited == WAIT_OBJECT_0 ? "true" : "false",
           (long)took);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

/* As a toolkit's thread does: shows a top-level window of the application,
 * then watches the splash go (checked every 5 ms for 10 s), answering its
 * window's messages until the process ends. */
static DWORD WINAPI runWindowThread(void* unused)
{
    (void)unused;
    Sleep((DWORD)config.appWindow);
    /* Made hidden, then shown, as toolkits do: the time counts from the showing. */
    if (config.watchForeground)
        CloseHandle(CreateThread(NULL, 0, watchForeground, NULL, 0, NULL));
    HWND window = CreateWindowExA(0, "STATIC", "application", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                  NULL, NULL, GetModuleHandleA(NULL), NULL);
    int splashBefore = splashWindow() != NULL;
    double shown = now();
    ShowWindow(window, SW_SHOWNORMAL);
    record("app_window", ",\"shown\":%s,\"splash\":%s", window ? "true" : "false", splashBefore ? "true" : "false");
    int presentAfter100 = -1;
    double gone = -1;
    while (now() - shown < 10000) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        int present = splashWindow() != NULL;
        if (presentAfter100 < 0 && now() - shown >= 100)
            presentAfter100 = present;
        if (!present && gone < 0)
            gone = now() - shown;
        if (gone >= 0 && presentAfter100 >= 0)
            break;
        Sleep(5);
    }
    begin("splash_gone");
    put(",\"after\":%.1f,\"presentAfter100\":%d", gone, presentAfter100);
    end();
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

/* The variables JVMDOUBLE_GETENV names (';' between them), as System.getenv sees them. */
static void recordEnvironment(void)
{
    char names[1024];
    lstrcpynA(names, config.getenv, sizeof names);
    begin("environment");
    put(",\"variables\":{");
    int first = 1;
    for (char* name = strtok(names, ";"); name; name = strtok(NULL, ";")) {
        static char value[32768];
        DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
        put(first ? "" : ",");
        first = 0;
        putText(name, strlen(name), 0);
        put(":");
        putText(length || GetLastError() != ERROR_ENVVAR_NOT_FOUND ? value : NULL, length, 0);
    }
    put("}");
    end();
}

/* Lines of 'x' to standard output, count bytes in all, as an application that prints much. */
static void writeMany(long count)
{
    char text[64];
    memset(text, 'x', sizeof text);
    text[sizeof text - 2] = '\r';
    text[sizeof text - 1] = '\n';
    for (long left = count; left > 0; left -= (long)sizeof text)
        writeStandard(STD_OUTPUT_HANDLE, text, left < (long)sizeof text ? (DWORD)left : (DWORD)sizeof text);
}

static void putArguments(const Object* array)
{
    putf(",\"args\":%s", array ? "[" : "null");
    for (jsize i = 0; array && i < array->length; ++i) {
        const Object* s = array->elements[i];
        put(i ? "," : "");
        putf(s ? "{\"hex\":%H,\"encoding\":%O}" : "null", s, s ? s->encoding : NULL);
    }
    put(array ? "]" : "");
}

/* The application's openAgain: records what it is handed and on which thread, after
 * main's own record (it may be called as main starts, as a real one may). */
static void callAgain(Object* type, jmethodID id, const jvalue* args)
{
    for (int waited = 0; !mainEntered && waited < 10000; waited += 10)
        Sleep(10);
    Object* array = args[0].l ? as(args[0].l, ARRAY, "CallStaticVoidMethod") : NULL;
    Object* directory = id == METHOD(AGAIN_WITH_DIRECTORY) && args[1].l ? as(args[1].l, STRING, "CallStaticVoidMethod")
                                                                         : NULL;
    begin("again");
    putf(",\"class\":%O", type);
    putArguments(array);
    putf(",\"directory\":%s", directory ? "" : "null");
    if (directory)
        putf("{\"hex\":%H,\"encoding\":%O}", directory, directory->encoding);
    put(",\"attachedThread\":%s,\"mainEntered\":%s,\"frames\":%d",
        GetCurrentThreadId() == attachedThread ? "true" : "false", mainEntered ? "true" : "false", frames);
    end();
    if (++againCalls == config.againThrows)
        pending = newThrowable("java/lang/RuntimeException", "thrown by openAgain");
}

/* As System.exit(N): the exit hook, then the end of the process if the hook returns. Once per
 * JVMDOUBLE_EXIT_MARK file, so that a started-again process runs on. */
static void exitOnce(void)
{
    if (!config.exitCode || !config.exitMark[0] || GetFileAttributesA(config.exitMark) != INVALID_FILE_ATTRIBUTES)
        return;
    CloseHandle(CreateFileA(config.exitMark, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL));
    record("exit", ",\"code\":%ld,\"hook\":%s", config.exitCode, exitHook ? "true" : "false");
    if (exitHook)
        exitHook((jint)config.exitCode);
    ExitProcess((UINT)config.exitCode);
}

/* main: records its arguments, then acts as the environment says. */
static void JNICALL CallStaticVoidMethodA(JNIEnv* env, jclass clazz, jmethodID id, const jvalue* args)
{
    check(env, "CallStaticVoidMethod", 1);
    Object* type = as(clazz, CLASS, "CallStaticVoidMethod");
    if (id == METHOD(AGAIN) || id == METHOD(AGAIN_WITH_DIRECTORY)) {
        callAgain(type, id, args);
        return;
    }
    if (id != METHOD(MAIN)) {
        misuse("CallStaticVoidMethod", "not main");
        return;
    }
    Object* array = args[0].l ? as(args[0].l, ARRAY, "CallStaticVoidMethod") : NULL;
    begin("main");
    putf(",\"class\":%O", type);
    putArguments(array);
    end();
    mainEntered = 1;
    if (config.getenv[0])
        recordEnvironment();
    writeBoth("main");
    writeMany(config.writeBytes);
    exitOnce();
    if (config.windows)
        recordWindows("main");
    if (config.appThread)
        applicationThread = CreateThread(NULL, 0, runApplicationThread, NULL, 0, NULL);
    if (config.appWindow)
        CloseHandle(CreateThread(NULL, 0, runWindowThread, NULL, 0, NULL));
    if (config.probeSplash) {
        HANDLE probe = CreateThread(NULL, 0, probeSplash, NULL, 0, NULL);
        WaitForSingleObject(probe, INFINITE);
        CloseHandle(probe);
    }
    if (config.broadcaster[0])
        broadcastFromAnotherProgram();
    Sleep((DWORD)config.mainSleep);
    for (int waited = 0; config.mainUntil[0] && waited < 120000; waited += 20) {
        if (GetFileAttributesA(config.mainUntil) != INVALID_FILE_ATTRIBUTES)
            break;
        Sleep(20);
    }
    if (config.mainThrows)
        pending = newThrowable("java/lang/RuntimeException", "thrown by main");
}

static void JNICALL CallStaticVoidMethodV(JNIEnv* env, jclass clazz, jmethodID id, va_list args)
{
    jvalue values[2] = { { 0 }, { 0 } };
    readArguments(id, args, values);
    CallStaticVoidMethodA(env, clazz, id, values);
}
static void JNICALL CallStaticVoidMethod(JNIEnv* env, jclass clazz, jmethodID id, ...)
{
    va_list args;
    va_start(args, id);
    CallStaticVoidMethodV(env, clazz, id, args);
    va_end(args);
}

static jbyteArray JNICALL NewByteArray(JNIEnv* env, jsize length)
{
    check(env, "NewByteArray", 1);
    if (length < 0)
        return throwNew("java/lang/NegativeArraySizeException"), NULL;
    return (jbyteArray)newObject(BYTES, NULL, length);
}

static void JNICALL SetByteArrayRegion(JNIEnv* env, jbyteArray array, jsize from, jsize length, const jbyte* bytes)
{
    check(env, "SetByteArrayRegion", 1);
    Object* target = as(array, BYTES, "SetByteArrayRegion");
    if (target && (from < 0 || length < 0 || from > target->length - length))
        throwNew("java/lang/ArrayIndexOutOfBoundsException");
    else if (target)
        memcpy(target->text + from, bytes, length);
}

static jobjectArray JNICALL NewObjectArray(JNIEnv* env, jsize length, jclass type, jobject initial)
{
    check(env, "NewObjectArray", 1);
    as(type, CLASS, "NewObjectArray");
    if (length < 0)
        return throwNew("java/lang/NegativeArraySizeException"), NULL;
    Object* array = newObject(ARRAY, NULL, length);
    array->elements = calloc(length + 1, sizeof *array->elements);
    for (jsize i = 0; i < length; ++i)
        array->elements[i] = (Object*)initial;
    return (jobjectArray)array;
}

static void JNICALL SetObjectArrayElement(JNIEnv* env, jobjectArray array, jsize index, jobject value)
{
    check(env, "SetObjectArrayElement", 1);
    Object* target = as(array, ARRAY, "SetObjectArrayElement");
    if (target && (index < 0 || index >= target->length))
        throwNew("java/lang/ArrayIndexOutOfBoundsException");
    else if (target)
        target->elements[index] = value ? as(value, STRING, "SetObjectArrayElement") : NULL;
}

static void JNICALL DeleteLocalRef(JNIEnv* env, jobject reference)
{ check(env, "DeleteLocalRef", 0); if (reference) as(reference, 0, "DeleteLocalRef"); }
static jstring JNICALL NewStringUTF(JNIEnv* env, const char* utf)
{ check(env, "NewStringUTF", 1); return makeString(utf, (jsize)strlen(utf), "NewStringUTF", NULL); }

/* A string of UTF-16 units keeps their bytes (little-endian), its encoding named UTF-16LE. */
static jstring JNICALL NewString(JNIEnv* env, const jchar* units, jsize length)
{
    check(env, "NewString", 1);
    if (!units || length < 0)
        return misuse("NewString", "no units"), NULL;
    return makeString((const char*)units, length * 2, "NewString", newObject(STRING, "UTF-16LE", 8));
}

/* The bytes stand for their own modified UTF-8 form: the tests' class names are ASCII. */
static const char* JNICALL GetStringUTFChars(JNIEnv* env, jstring string, jboolean* isCopy)
{
    check(env, "GetStringUTFChars", 1);
    Object* s = as(string, STRING, "GetStringUTFChars");
    if (!s)
        return NULL;
    if (isCopy)
        *isCopy = JNI_TRUE;
    ++utfHeld;
    return strdup(s->text);
}

static void JNICALL ReleaseStringUTFChars(JNIEnv* env, jstring string, const char* chars)
{
    check(env, "ReleaseStringUTFChars", 0);
    as(string, STRING, "ReleaseStringUTFChars");
    --utfHeld;
    free((void*)chars);
}

static jthrowable JNICALL ExceptionOccurred(JNIEnv* env)
{ check(env, "ExceptionOccurred", 0); return (jthrowable)pending; }
static jboolean JNICALL ExceptionCheck(JNIEnv* env)
{ check(env, "ExceptionCheck", 0); return pending != NULL; }
static void JNICALL ExceptionClear(JNIEnv* env)
{ check(env, "ExceptionClear", 0); pending = NULL; }

static jint JNICALL Throw(JNIEnv* env, jthrowable throwable)
{
    check(env, "Throw", 0);
    Object* thrown = as(throwable, THROWABLE, "Throw");
    if (thrown)
        pending = thrown;
    return thrown ? JNI_OK : JNI_ERR;
}

/* What the default uncaught-exception handler prints, when the double writes. */
static void describePending(void)
{
    if (config.writes[0] && pending) {
        char text[512];
        int length = snprintf(text, sizeof text, "Exception in thread \"main\" %s: %s\r\n", pending->text,
                              pending->message);
        writeStandard(STD_ERROR_HANDLE, text, (DWORD)length);
    }
}

static void JNICALL ExceptionDescribe(JNIEnv* env)
{
    check(env, "ExceptionDescribe", 0);
    describePending();
    record("describe", ",\"exception\":%O", pending);
    pending = NULL;
}

/* ---- the invocation interface ---- */

/* As a real machine, a thread that leaves it hands a pending exception to its
 * uncaught-exception handler, which describes it. */
static jint JNICALL DetachCurrentThread(JavaVM* vm)
{
    check(vm == &machine ? &environment : NULL, "DetachCurrentThread", 0);
    describePending();
    record("detach", ",\"result\":%ld,\"uncaught\":%O", config.detachResult, pending);
    pending = NULL;
    detached = config.detachResult == JNI_OK;
    return config.detachResult;
}

/* As a real machine does, this returns only when the application's threads have ended. */
static jint JNICALL DestroyJavaVM(JavaVM* vm)
{
    if (vm != &machine || !created || destroyed)
        misuse("DestroyJavaVM", "no machine");
    record("destroy", ",\"attached\":%s,\"utfHeld\":%d", detached ? "false" : "true", utfHeld);
    if (config.windows)
        recordWindows("destroy");
    if (applicationThread)
        WaitForSingleObject(applicationThread, INFINITE);
    destroyed = 1;
    record("destroyed", "");
    return JNI_OK;
}

/* One thread other than the machine's may attach itself, once. */
static jint attach(JavaVM* vm, void** penv, void* args, int daemon)
{
    const JavaVMAttachArgs* given = args;
    if (vm != &machine || !created || destroyed)
        misuse("AttachCurrentThread", "no machine");
    else if (GetCurrentThreadId() == machineThread || attachedThread)
        misuse("AttachCurrentThread", "not a new thread");
    record("attach", ",\"daemon\":%s,\"name\":%T,\"version\":%ld,\"mainEntered\":%s", daemon ? "true" : "false",
           given ? given->name : NULL, given ? (long)given->version : 0L, mainEntered ? "true" : "false");
    attachedThread = GetCurrentThreadId();
    *penv = &attachedEnvironment;
    return JNI_OK;
}

static jint JNICALL AttachCurrentThread(JavaVM* vm, void** penv, void* args)
{ return attach(vm, penv, args, 0); }
static jint JNICALL GetEnv(JavaVM* vm, void** penv, jint version)
{ return (void)vm, (void)penv, (void)version, trap("vm", 6), JNI_ERR; }
static jint JNICALL AttachCurrentThreadAsDaemon(JavaVM* vm, void** penv, void* args)
{ return attach(vm, penv, args, 1); }

static jint JNICALL PushLocalFrame(JNIEnv* env, jint capacity)
{
    check(env, "PushLocalFrame", 1);
    if (capacity < 0)
        misuse("PushLocalFrame", "negative capacity");
    ++frames;
    return JNI_OK;
}

static jobject JNICALL PopLocalFrame(JNIEnv* env, jobject result)
{
    check(env, "PopLocalFrame", 0);
    if (frames-- <= 0)
        misuse("PopLocalFrame", "no frame");
    return result;
}

#define PLAY(table, name) table.name = name;
static void fillTables(void)
{
    memcpy(&functions, traps, sizeof functions);
    PLAY(functions, FindClass) PLAY(functions, GetMethodID) PLAY(functions, GetStaticMethodID)
    PLAY(functions, NewObject) PLAY(functions, NewObjectV) PLAY(functions, NewObjectA)
    PLAY(functions, CallStaticObjectMethod) PLAY(functions, CallStaticObjectMethodV)
    PLAY(functions, CallStaticObjectMethodA) PLAY(functions, CallStaticVoidMethod)
    PLAY(functions, CallStaticVoidMethodV) PLAY(functions, CallStaticVoidMethodA)
    PLAY(functions, NewByteArray) PLAY(functions, SetByteArrayRegion) PLAY(functions, NewObjectArray)
    PLAY(functions, SetObjectArrayElement) PLAY(functions, DeleteLocalRef) PLAY(functions, NewStringUTF)
    PLAY(functions, NewString)
    PLAY(functions, GetStringUTFChars) PLAY(functions, ReleaseStringUTFChars)
    PLAY(functions, ExceptionOccurred) PLAY(functions, ExceptionCheck) PLAY(functions, ExceptionClear)
    PLAY(functions, ExceptionDescribe) PLAY(functions, Throw)
    PLAY(functions, CallObjectMethod) PLAY(functions, CallObjectMethodV) PLAY(functions, CallObjectMethodA)
    PLAY(functions, GetArrayLength) PLAY(functions, GetObjectArrayElement) PLAY(functions, IsSameObject)
    PLAY(functions, PushLocalFrame) PLAY(functions, PopLocalFrame)
    PLAY(invocation, DestroyJavaVM) PLAY(invocation, AttachCurrentThread) PLAY(invocation, DetachCurrentThread)
    PLAY(invocation, GetEnv) PLAY(invocation, AttachCurrentThreadAsDaemon)
}

static HINSTANCE self;
static DWORD firstThread; /* the thread that loaded the library: the launcher's */

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        firstThread = GetCurrentThreadId();
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        InitializeCriticalSection(&lock);
        configure();
        fillTables();
        if (config.recordLoad)
            record("loaded", ",\"process\":%lu", (unsigned long)GetCurrentProcessId());
    }
    return TRUE;
}

#ifndef WITHOUT_DEFAULT_INIT_ARGS
JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* args)
{
    (void)args;
    defaultArgsCalled = 1;
    record("default_init_args", "");
    return JNI_OK;
}
#endif

#ifndef WITHOUT_CREATE
/* The stack the calling thread reserved: the regions of the reservation that holds a local. */
static unsigned long long stackReserve(void)
{
    MEMORY_BASIC_INFORMATION region;
    volatile char probe = 0;
    if (!VirtualQuery((const void*)&probe, &region, sizeof region))
        return 0;
    char* base = region.AllocationBase;
    char* end = (char*)region.BaseAddress + region.RegionSize;
    while (VirtualQuery(end, &region, sizeof region) && region.AllocationBase == base)
        end = (char*)region.BaseAddress + region.RegionSize;
    return (unsigned long long)(end - base);
}

/* For the start-up benchmark: how long the process ran before the machine was asked for. */
static double millisecondsSinceProcessStart(void)
{
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER start = { { created.dwLowDateTime, created.dwHighDateTime } };
    ULARGE_INTEGER end = { { now.dwLowDateTime, now.dwHighDateTime } };
    return (double)(end.QuadPart - start.QuadPart) / 10000.0;
}

typedef jint (JNICALL* PrintHook)(FILE*, const char*, va_list);
typedef void (JNICALL* AbortHook)(void);

static int isHook(const JavaVMOption* option)
{
    const char* name = option->optionString;
    return option->extraInfo && name
        && (!strcmp(name, "vfprintf") || !strcmp(name, "abort") || !strcmp(name, "exit"));
}

static void *hookFunction(const JavaVMInitArgs* init, const char* name)
{
    for (jint i = 0; i < init->nOptions; ++i)
        if (isHook(&init->options[i]) && !strcmp(init->options[i].optionString, name))
            return init->options[i].extraInfo;
    return NULL;
}

static jint callPrintHook(PrintHook hook, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    jint result = hook(stderr, format, args);
    va_end(args);
    return result;
}

/* As a machine that cannot start: its reason through the vfprintf hook (as
 * HotSpot prints an option error), or written to its standard error handle
 * (as Java code prints the boot layer's error) before the abort hook and the
 * end of the process. */
static void sayWhyNot(const JavaVMInitArgs* init)
{
    PrintHook print = (PrintHook)hookFunction(init, "vfprintf");
    if (config.says[0] && print)
        record("printed", ",\"result\":%ld", (long)callPrintHook(print, "%*s %d\n", (int)config.saysWidth,
                                                                   config.says, 42));
    else if (config.says[0]) {
        /* Without the hook a machine prints to its own standard error: the
         * same bytes as through the hook, which the launcher passes on. */
        char said[1100];
        int length = _snprintf(said, sizeof said, "%s %d\n", config.says, 42);
        DWORD written = 0;
        if (length > 0)
            WriteFile(GetStdHandle(STD_ERROR_HANDLE), said, (DWORD)length, &written, NULL);
    }
    if (config.abortSays[0]) {
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), config.abortSays, lstrlenA(config.abortSays), &written, NULL);
        AbortHook abortHook = (AbortHook)hookFunction(init, "abort");
        record("abort", ",\"hook\":%s", abortHook ? "true" : "false");
        if (abortHook)
            abortHook();
        ExitProcess(1);
    }
}

JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** pvm, void** penv, void* args)
{
    const JavaVMInitArgs* init = args;
    Sleep((DWORD)config.createSleep);
    exitHook = (void (JNICALL*)(jint))hookFunction(init, "exit");
    int extraInfoNull = 1;
    int first = 1;
    begin("create");
    put(",\"version\":%ld,\"nOptions\":%ld,\"options\":[", init->version, init->nOptions);
    for (jint i = 0; i < init->nOptions; ++i) {
        const char* option = init->options[i].optionString;
        if (isHook(&init->options[i]))
            continue;
        put(first ? "" : ",");
        first = 0;
        putText(option, option ? strlen(option) : 0, 1);
        extraInfoNull &= init->options[i].extraInfo == NULL;
    }
    put("],\"hooks\":[");
    first = 1;
    for (jint i = 0; i < init->nOptions; ++i) {
        if (!isHook(&init->options[i]))
            continue;
        put(first ? "\"%s\"" : ",\"%s\"", init->options[i].optionString);
        first = 0;
    }
    put("],\"extraInfoNull\":%s,\"ignoreUnrecognized\":%d,\"defaultArgsCalled\":%s,\"result\":%ld",
        extraInfoNull ? "true" : "false", init->ignoreUnrecognized, defaultArgsCalled ? "true" : "false",
        config.createResult);
#ifdef WITH_HELPER
    put(",\"helper\":%d", jvmDoubleHelper());
#endif
    put(",\"sinceProcessStart\":%.1f", millisecondsSinceProcessStart());
    put(",\"stackReserve\":%llu,\"firstThread\":%s", stackReserve(),
        GetCurrentThreadId() == firstThread ? "true" : "false");
    char library[MAX_PATH] = "";
    put(",\"library\":");
    putText(library, GetModuleFileNameA(self, library, sizeof library), 0);
    char directory[MAX_PATH] = "";
    put(",\"directory\":");
    putText(directory, GetCurrentDirectoryA(sizeof directory, directory), 0);
    end();
    if (created)
        misuse("JNI_CreateJavaVM", "a machine exists already");
    writeBoth("created");
    sayWhyNot(init);
    if (config.createResult != JNI_OK)
        return config.createResult;
    created = 1;
    machineThread = GetCurrentThreadId();
    *pvm = &machine;
    *penv = &environment;
    return JNI_OK;
}
#endif
