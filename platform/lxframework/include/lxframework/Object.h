#pragma once

#include <lxframework/plugin.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace lx {

class Class;
struct InstalledEventHandler;

// The base of every framework object. Objects are reference counted (one
// thread, so plainly), start with one reference owned by their creator, and
// are made only by their class (Class::NewInstance, New<T>), which places any
// plug-in instance data in front of the object inside the same allocation.
class Object {
public:
    Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object();

    const Class& ObjectClass() const { return *mClass; }
    bool IsA(const Class& cls) const;
    int32_t ReferenceCount() const { return mReferences; }

    void Lock() { ++mReferences; }
    void Unlock();

    // Placement only: an object's memory comes from its class.
    static void* operator new(std::size_t, void* where) noexcept { return where; }
    static void operator delete(void*, void*) noexcept { }
    static void operator delete(Object* object, std::destroying_delete_t);

    // Handlers installed on this instance for events its class declares.
    std::vector<InstalledEventHandler>& InstalledHandlers();
    const std::vector<InstalledEventHandler>* FindInstalledHandlers() const { return mHandlers.get(); }

private:
    const Class* mClass = nullptr;
    int32_t mReferences = 1;
    std::unique_ptr<std::vector<InstalledEventHandler>> mHandlers;
};

// The pointer a plug-in sees is the object itself.
inline LxObject* ToLx(const Object* object) { return reinterpret_cast<LxObject*>(const_cast<Object*>(object)); }
inline Object* FromLx(LxObject* object) { return reinterpret_cast<Object*>(object); }

}
