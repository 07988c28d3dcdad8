#pragma once

#include <type_traits>
#include <utility>

namespace lx {

// An owning handle to a reference-counted framework object. Copying adds a
// reference, destruction drops one. A pointer that already carries a
// reference for us (a new object, a plug-in result) is taken with Adopt; a
// borrowed pointer is taken with the constructor, which adds its own.
template <class T> class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) { }
    explicit Ref(T* object)
        : mObject(object)
    {
        if (mObject)
            mObject->Lock();
    }
    Ref(const Ref& other)
        : Ref(other.mObject)
    {
    }
    Ref(Ref&& other) noexcept
        : mObject(std::exchange(other.mObject, nullptr))
    {
    }
    template <class U>
    requires std::is_convertible_v<U*, T*> Ref(const Ref<U>& other)
        : Ref(other.Get())
    {
    }
    template <class U>
    requires std::is_convertible_v<U*, T*> Ref(Ref<U>&& other)
    noexcept
        : mObject(other.Leak())
    {
    }
    ~Ref() { Reset(); }

    Ref& operator=(Ref other) noexcept
    {
        std::swap(mObject, other.mObject);
        return *this;
    }

    static Ref Adopt(T* object)
    {
        Ref ref;
        ref.mObject = object;
        return ref;
    }

    T* Get() const { return mObject; }
    T* operator->() const { return mObject; }
    T& operator*() const { return *mObject; }
    explicit operator bool() const { return mObject != nullptr; }

    // Hands our reference to the caller, who must drop it.
    T* Leak() { return std::exchange(mObject, nullptr); }

    void Reset()
    {
        if (T* object = std::exchange(mObject, nullptr))
            object->Unlock();
    }

private:
    T* mObject = nullptr;
};

template <class T, class U> bool operator==(const Ref<T>& a, const Ref<U>& b) { return a.Get() == b.Get(); }
template <class T> bool operator==(const Ref<T>& a, std::nullptr_t) { return !a; }

}
