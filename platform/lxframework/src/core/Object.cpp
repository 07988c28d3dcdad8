#include "Internal.h"

#include <lxframework/Class.h>
#include <lxframework/Event.h>
#include <lxframework/Object.h>

#include <cstdio>
#include <cstdlib>

namespace lx {

namespace {
    const Class* gConstructing = nullptr;
}

void BeginConstruction(const Class& cls) { gConstructing = &cls; }

const Class* TakeConstructingClass()
{
    const Class* cls = gConstructing;
    gConstructing = nullptr;
    return cls;
}

void FatalError(const char* message)
{
    std::fprintf(stderr, "lxframework: %s\n", message);
    std::fflush(stderr);
    std::abort();
}

Object::Object()
    : mClass(TakeConstructingClass())
{
    if (!mClass)
        FatalError("an object was made outside its class");
}

Object::~Object() = default;

bool Object::IsA(const Class& cls) const { return mClass->IsSubclassOf(cls); }

void Object::Unlock()
{
    if (--mReferences == 0)
        delete this;
}

void Object::operator delete(Object* object, std::destroying_delete_t)
{
    // The allocation starts at the plug-in data in front of the object.
    char* allocation = reinterpret_cast<char*>(object) - object->mClass->PrefixSize();
    object->~Object();
    std::free(allocation);
}

std::vector<InstalledEventHandler>& Object::InstalledHandlers()
{
    if (!mHandlers)
        mHandlers = std::make_unique<std::vector<InstalledEventHandler>>();
    return *mHandlers;
}

}
