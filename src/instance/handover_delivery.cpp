#include "instance/handover_delivery.h"

#include "common/memory.h"
#include "common/text_scan.h"
#include "common/trace.h"
#include "instance/handover_message.h"
#include "jvm/java_strings.h"
#include "jvm/main_arguments.h"
#include "platform/instance_channel.h"
#include "platform/threads.h"

#include <new>

const char kMethodUnusableFormat[] =
    "The Single Instance Method %s cannot be called: it must be a static void method of a class the application "
    "loads, taking (String[] arguments, String workingDirectory) or (String[] arguments). Hand-overs are dropped.\n";

namespace {

char kThreadName[] = "Single Instance hand-over";
const char kWithDirectory[] = "([Ljava/lang/String;Ljava/lang/String;)V";
const char kArgumentsOnly[] = "([Ljava/lang/String;)V";

// What the thread delivers to, for the process's life: never freed.
struct Delivery {
    JavaVM* vm = nullptr;
    HandOverQueue* queue = nullptr;
    Text className;  // with '/' between its packages, as FindClass takes it
    Text methodName;
    Text setting;    // as the settings give it, for the message
    FailureReport report = { nullptr, nullptr };
    JNIEnv* env = nullptr;
    jclass type = nullptr;
    jmethodID method = nullptr;
    bool withDirectory = false;
    bool lookedUp = false;
};

// The class as main's was found: FindClass on a thread without Java frames
// asks the system class loader, which holds the class path and the modules
// of the module path. An exception that stopped the class from loading is
// described; the method's lookup failing is the message's to say.
void lookUpMethod(Delivery& delivery)
{
    delivery.lookedUp = true;
    JavaVMAttachArgs attach = { JNI_VERSION_1_2, kThreadName, nullptr };
    if (delivery.vm->AttachCurrentThreadAsDaemon(reinterpret_cast<void**>(&delivery.env), &attach) != JNI_OK) {
        trace("hand-overs dropped: no thread could be attached to the machine");
        return;
    }
    JNIEnv* env = delivery.env;
    // java_strings keeps the native encoding's name for the thread that asked
    // last: asked here, outside the frames each hand-over pops.
    jstring none = newStringFromText(env, Text());
    if (none)
        env->DeleteLocalRef(none);
    env->ExceptionClear();
    delivery.type = env->FindClass(delivery.className.chars());
    if (!delivery.type)
        env->ExceptionDescribe();
    delivery.method = delivery.type ? env->GetStaticMethodID(delivery.type, delivery.methodName.chars(), kWithDirectory)
                                    : nullptr;
    delivery.withDirectory = delivery.method != nullptr;
    if (delivery.type && !delivery.method) {
        env->ExceptionClear();
        delivery.method = env->GetStaticMethodID(delivery.type, delivery.methodName.chars(), kArgumentsOnly);
    }
    trace("Single Instance Method %s: %s", { delivery.setting, delivery.method ? "found" : "not found" });
    if (delivery.method)
        return;
    env->ExceptionClear();
    Failure failure;
    fail(failure, kMethodUnusableFormat, delivery.setting.chars());
    delivery.report.show(failure, delivery.report.context);
}

jstring javaString(JNIEnv* env, const Text& text, const Utf16Text& units)
{
    if (units.isEmpty())
        return newStringFromText(env, text);
    return env->NewString(reinterpret_cast<const jchar*>(units.units()), static_cast<jsize>(units.length()));
}

void callMethod(Delivery& delivery, const HandOver& handOver)
{
    JNIEnv* env = delivery.env;
    jint references = static_cast<jint>(handOver.arguments.count() < 0x10000 ? handOver.arguments.count() * 3 + 16 : 0x30000);
    if (env->PushLocalFrame(references) != JNI_OK) {
        env->ExceptionDescribe();
        return;
    }
    jobjectArray arguments = newMainArguments(env, handOver.arguments);
    jstring directory = arguments && delivery.withDirectory
        ? javaString(env, handOver.directory, handOver.directoryUnits) : nullptr;
    if (directory)
        env->CallStaticVoidMethod(delivery.type, delivery.method, arguments, directory);
    else if (arguments && !delivery.withDirectory)
        env->CallStaticVoidMethod(delivery.type, delivery.method, arguments);
    bool threw = env->ExceptionCheck();
    trace("hand-over delivered%s", { threw ? ", the method threw an exception" : "" });
    // As the machine describes an exception that nobody caught, naming the thread.
    if (threw)
        env->ExceptionDescribe();
    env->PopLocalFrame(nullptr);
}

void deliver(Delivery& delivery, const Text& message)
{
    HandOver handOver;
    if (parseHandOver(reinterpret_cast<const unsigned char*>(message.chars()), message.length(), handOver)
        != HandOverFault::None)
        return;
    if (delivery.methodName.isEmpty()) {
        trace("hand-over: the window comes to the front");
        platform::bringWindowForward();
        return;
    }
    if (!delivery.lookedUp)
        lookUpMethod(delivery);
    if (delivery.method)
        callMethod(delivery, handOver);
}

void deliverHandOvers(void* context)
{
    Delivery& delivery = *static_cast<Delivery*>(context);
    List<Text> messages;
    for (;;) {
        delivery.queue->takeAll(messages);
        for (size_t i = 0; i < messages.count(); ++i)
            deliver(delivery, messages.at(i));
    }
}

}

void startHandOverDelivery(JavaVM* vm, HandOverQueue& queue, const ApplicationSettings& settings,
                           const FailureReport& report)
{
    void* memory = allocateMemory(sizeof(Delivery));
    Delivery* delivery = memory ? new (memory) Delivery() : nullptr;
    bool ready = delivery && delivery->className.assign(settings.methodClass.chars(), settings.methodClass.length())
        && delivery->methodName.assign(settings.methodName.chars(), settings.methodName.length())
        && delivery->setting.append(settings.methodClass) && (settings.methodName.isEmpty()
            || (delivery->setting.appendChar('.') && delivery->setting.append(settings.methodName)));
    if (ready) {
        delivery->vm = vm;
        delivery->queue = &queue;
        delivery->report = report;
        replaceCharacter(delivery->className, '.', '/');
    }
    if (!ready || !platform::startDetachedThread(deliverHandOvers, delivery))
        trace("hand-overs dropped: no thread to deliver them");
}
