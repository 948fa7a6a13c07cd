#pragma once
// An ordered, growable list of movable values. An element that cannot get
// memory is not added: append reports it, and the list stays as it was.
#include "common/memory.h"

#include <new>
#include <stddef.h>

template <typename T>
class List {
public:
    List() = default;
    List(const List&) = delete;
    List& operator=(const List&) = delete;
    ~List()
    {
        clear();
        releaseMemory(items_);
    }

    size_t count() const { return count_; }
    const T& at(size_t index) const { return items_[index]; }
    T& at(size_t index) { return items_[index]; }

    [[nodiscard]] bool append(T&& item)
    {
        if (count_ == capacity_ && !grow())
            return false;
        new (&items_[count_]) T(static_cast<T&&>(item));
        ++count_;
        return true;
    }

    void removeLast() { items_[--count_].~T(); }

    void swap(size_t first, size_t second)
    {
        T kept(static_cast<T&&>(items_[first]));
        items_[first] = static_cast<T&&>(items_[second]);
        items_[second] = static_cast<T&&>(kept);
    }

    void exchange(List& other)
    {
        T* items = items_;
        size_t count = count_;
        size_t capacity = capacity_;
        items_ = other.items_, count_ = other.count_, capacity_ = other.capacity_;
        other.items_ = items, other.count_ = count, other.capacity_ = capacity;
    }

    void clear()
    {
        for (size_t i = 0; i < count_; ++i)
            items_[i].~T();
        count_ = 0;
    }

private:
    bool grow()
    {
        size_t capacity = capacity_ ? capacity_ * 2 : 8;
        if (capacity > ((size_t)-1) / sizeof(T))
            return false;
        T* items = static_cast<T*>(allocateMemory(capacity * sizeof(T)));
        if (!items)
            return false;
        for (size_t i = 0; i < count_; ++i) {
            new (&items[i]) T(static_cast<T&&>(items_[i]));
            items_[i].~T();
        }
        releaseMemory(items_);
        items_ = items;
        capacity_ = capacity;
        return true;
    }

    T* items_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};
