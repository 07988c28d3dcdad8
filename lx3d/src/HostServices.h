#pragma once

// The plug-in's whole view of the framework: the resolver it was handed and
// one wrapper per host service. A wrapper looks its service up by name on its
// first call that finds it and keeps it from then on; while the host does not
// offer it, every call asks again and the wrapper returns null, false or 0, or
// does nothing.

#include <lxframework/plugin.h>

#include <cstdint>

namespace lx3d {

void SetResolver(LxResolver resolver);

// The resolver's answer for a service name, not kept; null without a resolver.
LxFunction ResolveHostFunction(const char* serviceName);

template <class Proc> class HostService {
public:
    explicit constexpr HostService(const char* name)
        : mName(name)
    {
    }

    Proc Get()
    {
        if (!mProc)
            mProc = reinterpret_cast<Proc>(ResolveHostFunction(mName));
        return mProc;
    }

private:
    const char* mName = nullptr;
    Proc mProc = nullptr;
};

bool VANTinRuntime();
const char* StringGetCString(LxObject* string);
void VANTLockObject(LxObject* object);
void VANTUnlockObject(LxObject* object);
void lockPictureDescription(LxObject* picture, LxPictureDescription* description);
void unlockPictureDescription(LxObject* picture);
void drawPicturePrimitive(LxObject* picture, const LxRect* rect, LxInteger flags);
LxFunction GetEventInstance(LxObject* instance, uintptr_t hostWord);
void GetControlBounds(LxObject* control, LxRect* bounds);
bool VANTFSSpecFromFolderItem(void* fileSpec, LxObject* folderItem);
void SelectGraphics(LxObject* graphics);
void VANTInvalidateControl(LxObject* control);
LxObject* getControlWindow(LxObject* control);
void* VANTGetWindowHandle(LxObject* window);
LxObject* PluginNewInstance(const char* className);
LxObject* newPicture(LxInteger width, LxInteger height, LxInteger depth);
double VANTGetLXVersion();
void PluginRegisterClass(LxClassRecord* record);
LxInteger PluginRegisterControl(LxControlRecord* record);
// True when the host took the exception (and its reference).
bool RuntimeRaiseException(LxObject* exception);
LxClassHandle* pluginObjectType(const char* className);
LxObject* CreateInstance(LxClassHandle* classHandle);
LxObject* VANTBuildPictureFromBuffer(
    LxInteger width, LxInteger height, LxInteger format, const void* baseAddress, LxInteger rowBytes);
LxObject* VANTGetPictureMask(LxObject* picture, bool create);
bool VANTGetPropValueInt(LxObject* object, const char* property, LxInteger* value);
LxObject* PluginNewOfSameClass(LxObject* object);

// A new Vector3D with one reference for the caller, or null.
LxObject* NewVector3D();

// An object's instance data of the class the record describes; the offset is
// the one the host wrote into the record at registration.
void* ClassData(LxObject* object, const LxClassRecord& record);
// The view control's instance data.
void* ControlData(LxObject* control);

// The byte length of a host string; 0 for nil.
LxInteger HostStringLength(LxObject* string);

// Raises the framework exception of that kind into the host code that called
// the plug-in; the raising operation then returns at once.
enum class PluginError { OutOfBounds, NilObject };
void RaisePluginError(PluginError error);

}
