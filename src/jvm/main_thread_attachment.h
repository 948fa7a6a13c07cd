#pragma once
// The main thread's attachment to the machine, which creating the machine
// gives it: its environment, good on that thread alone, until the thread
// leaves the machine. It leaves after main; a thread of the launcher's own
// leaves at the latest when the owner goes, for a thread that ends attached
// never ends for the machine, and the teardown's DestroyJavaVM would wait for
// it for good. The launcher's first thread, which destroys the machine
// itself, stays attached on a failure: DestroyJavaVM takes it as it is.
//
//   MainThreadAttachment attachment(AttachmentEnd::LeaveWithOwner);
//   createVm(..., attachment, ...);
//   ... main returns ...
//   jint left = attachment.detach();
#include <jni.h>

enum class AttachmentEnd { LeaveWithOwner, StayForTeardown };

class MainThreadAttachment {
public:
    explicit MainThreadAttachment(AttachmentEnd end) : end_(end) {}
    MainThreadAttachment(const MainThreadAttachment&) = delete;
    MainThreadAttachment& operator=(const MainThreadAttachment&) = delete;
    ~MainThreadAttachment()
    {
        if (end_ == AttachmentEnd::LeaveWithOwner)
            (void)detach();
    }

    // The machine has just been created on this thread.
    void attach(JavaVM* vm, JNIEnv* env)
    {
        vm_ = vm;
        env_ = env;
    }
    JNIEnv* env() const { return env_; }

    // Leaves the machine: DetachCurrentThread's result, or JNI_OK when the
    // thread is not attached. The environment is the thread's no longer once
    // it has left; after a refusal, an owner that leaves as it goes tries
    // again then.
    jint detach()
    {
        if (!env_)
            return JNI_OK;
        jint result = vm_->DetachCurrentThread();
        if (result == JNI_OK)
            env_ = nullptr;
        return result;
    }

private:
    AttachmentEnd end_;
    JavaVM* vm_ = nullptr;
    JNIEnv* env_ = nullptr;
};
