// pointer_to_objects<T>: an owning array of a count fixed at construction,
// copied deeply. pointer_to_object<T>: the owner of one heap object.
// The block is null exactly when the count is 0. Blocks come from the system's
// allocator, so an array too large for the machine fails with "out of memory".
#pragma once

#include <cstddef>
#include <new>
#include <utility>

#include "module-object/allocation.h"
#include "module-object/error.h"

template <class T>
class pointer_to_objects {
public:
    pointer_to_objects() = default;
    explicit pointer_to_objects(int n) : count_(n)
    {
        if (n < 0) ZEM_FAIL("[pointer_to_objects] negative count");
        if (n > 0) block_ = make_block(n, [](int) { return T(); });
    }
    pointer_to_objects(const pointer_to_objects& other) : count_(other.count_)
    {
        if (count_ == 0) return;
        T* block = make_block(count_, [](int) { return T(); });
        try {
            for (int k = 0; k < count_; ++k) block[k] = other.block_[k];
        } catch (...) {
            destroy(block, count_);
            throw;
        }
        block_ = block;
    }
    pointer_to_objects(pointer_to_objects&& other) noexcept
        : count_(std::exchange(other.count_, 0)), block_(std::exchange(other.block_, nullptr))
    {
    }
    // The new block is built before the old one goes, so a failing element copy
    // leaves this array as it was.
    pointer_to_objects& operator=(const pointer_to_objects& other)
    {
        if (this != &other) {
            pointer_to_objects copy(other);
            swap(copy);
        }
        return *this;
    }
    pointer_to_objects& operator=(pointer_to_objects&& other) noexcept
    {
        swap(other);
        return *this;
    }
    ~pointer_to_objects() { destroy(block_, count_); }

    void swap(pointer_to_objects& other) noexcept
    {
        std::swap(count_, other.count_);
        std::swap(block_, other.block_);
    }

    int count() const { return count_; }
    T& operator[](int k) { return block_[k]; }
    const T& operator[](int k) const { return block_[k]; }
    T* block() { return block_; }
    const T* block() const { return block_; }
    T* begin() { return block_; }
    T* end() { return block_ + count_; }
    const T* begin() const { return block_; }
    const T* end() const { return block_ + count_; }

private:
    // n elements, element(k) for k from 0; a failing element takes the ones before it along.
    template <class Element>
    static T* make_block(int n, Element element)
    {
        T* block = static_cast<T*>(allocate_elements_or_fail(static_cast<std::size_t>(n), sizeof(T)));
        int k = 0;
        try {
            for (; k < n; ++k) ::new (static_cast<void*>(block + k)) T(element(k));
        } catch (...) {
            destroy(block, k);
            throw;
        }
        return block;
    }
    // From the last element to the first.
    static void destroy(T* block, int n) noexcept
    {
        if (!block) return;
        while (n > 0) block[--n].~T();
        release_block(block);
    }

    int count_ = 0;
    T* block_ = nullptr;
};

template <class T>
bool operator==(const pointer_to_objects<T>& a, const pointer_to_objects<T>& b)
{
    if (!a.block() && !b.block()) return true;
    if (!a.block() || !b.block()) return false;
    if (a.count() != b.count()) return false;
    for (int k = 0; k < a.count(); ++k)
        if (!(a[k] == b[k])) return false;
    return true;
}

template <class T>
bool operator!=(const pointer_to_objects<T>& a, const pointer_to_objects<T>& b)
{
    return !(a == b);
}

template <class T>
class pointer_to_object {
public:
    pointer_to_object() = default;
    explicit pointer_to_object(T* owned) : object_(owned) {}
    // Two holders of one address would both delete it.
    pointer_to_object(const pointer_to_object&) = delete;
    pointer_to_object& operator=(const pointer_to_object&) = delete;
    ~pointer_to_object() { delete object_; }

    T* get() const { return object_; }
    void set(T* owned)
    {
        if (owned == object_) return;
        delete object_;
        object_ = owned;
    }
    T* release() { return std::exchange(object_, nullptr); }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }

private:
    T* object_ = nullptr;
};
