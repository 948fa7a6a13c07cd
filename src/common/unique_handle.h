#pragma once
// Sole owner of one operating-system resource: a handle of type Handle that
// `close` releases, unless it holds `invalid` (null, -1 or
// INVALID_HANDLE_VALUE, as the kind's functions report a failure). Moves,
// never copies; closes what it holds when it goes or is reset.
//
//   using FindHandle = UniqueHandle<HANDLE, FindClose, -1>;
//   FindHandle search(FindFirstFileA(path, &found));
//   if (!search.isValid()) ...
#include <stdint.h>

template <typename Handle, auto close, intptr_t invalid = 0>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    static Handle invalidValue() { return (Handle)invalid; }
    bool isValid() const { return handle_ != invalidValue(); }
    Handle get() const { return handle_; }

    // For functions that hand a new handle back through a pointer.
    Handle* replaceAddress()
    {
        reset();
        return &handle_;
    }

    Handle release()
    {
        Handle handle = handle_;
        handle_ = invalidValue();
        return handle;
    }

    void reset(Handle handle = invalidValue())
    {
        if (handle_ != invalidValue())
            close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = invalidValue();
};
