#pragma once

#include <cstddef>
#include <utility>

namespace Tessel
{

// An intrusive strong reference to an object with retain() and release(). Construction from a raw
// pointer is explicit, because it adds a reference: `SharedPtr<X> p = new X` would leak the
// creation reference and does not compile. SharedPtr::adopt() (or AutoPtr) takes over a reference
// the caller holds; SharedPtr(p) or SharedPtr::retain(p) adds one to a borrowed pointer.
template <class T> class SharedPtr
{
public:
    SharedPtr() = default;
    SharedPtr(std::nullptr_t) {}
    explicit SharedPtr(T* p) : ptr(p)
    {
        if (ptr)
            ptr->retain();
    }
    SharedPtr(const SharedPtr& other) : SharedPtr(other.ptr) {}
    SharedPtr(SharedPtr&& other) noexcept : ptr(std::exchange(other.ptr, nullptr)) {}
    template <class U> SharedPtr(const SharedPtr<U>& other) : SharedPtr(other.get()) {}
    ~SharedPtr()
    {
        if (ptr)
            ptr->release();
    }

    SharedPtr& operator=(const SharedPtr& other)
    {
        SharedPtr copy(other);
        swap(copy);
        return *this;
    }
    SharedPtr& operator=(SharedPtr&& other) noexcept
    {
        SharedPtr moved(std::move(other));
        swap(moved);
        return *this;
    }
    SharedPtr& operator=(std::nullptr_t)
    {
        SharedPtr empty;
        swap(empty);
        return *this;
    }

    // Adds a reference to the borrowed `p`.
    static SharedPtr retain(T* p) { return SharedPtr(p); }
    // Takes over one reference that the caller holds (for example a freshly created object).
    static SharedPtr adopt(T* p)
    {
        SharedPtr result;
        result.ptr = p;
        return result;
    }
    // Gives up the held reference to the caller without releasing it.
    T* detach() { return std::exchange(ptr, nullptr); }

    T* get() const { return ptr; }
    T* operator->() const { return ptr; }
    T& operator*() const { return *ptr; }
    operator T*() const { return ptr; }
    void swap(SharedPtr& other) noexcept { std::swap(ptr, other.ptr); }

private:
    T* ptr = nullptr;
};

// A strong reference that adopts the reference of a raw pointer it is given, for holding objects
// created with new (count 1): AutoPtr<Foo> foo = new Foo; releases it when it goes.
template <class T> class AutoPtr : public SharedPtr<T>
{
public:
    AutoPtr() = default;
    AutoPtr(std::nullptr_t) {}
    AutoPtr(T* p) : SharedPtr<T>(SharedPtr<T>::adopt(p)) {}
    AutoPtr& operator=(T* p)
    {
        SharedPtr<T>::operator=(SharedPtr<T>::adopt(p));
        return *this;
    }
};

// A new strong reference to the borrowed `p` (adds a reference): `param = retained(findParam())`.
template <class T> SharedPtr<T> retained(T* p)
{
    return SharedPtr<T>(p);
}

// Shortcut for SharedPtr<T>::adopt.
template <class T> SharedPtr<T> adopt(T* p)
{
    return SharedPtr<T>::adopt(p);
}

} // namespace Tessel
