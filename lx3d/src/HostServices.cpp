#include "HostServices.h"

#include "View3D.h"

#include <carbon/Carbon.h>

#include <string_view>

namespace lx3d {

namespace {

    LxResolver gResolver = nullptr;

    template <class Proc, class... Args> void CallService(HostService<Proc>& service, Args... args)
    {
        if (Proc proc = service.Get())
            proc(args...);
    }

    template <class Proc, class Result, class... Args>
    Result CallServiceOr(HostService<Proc>& service, Result missing, Args... args)
    {
        Proc proc = service.Get();
        return proc ? proc(args...) : missing;
    }

    // The platform's debug message takes a string that starts with its length.
    template <std::size_t N> struct CountedString {
        explicit constexpr CountedString(const char (&text)[N])
        {
            static_assert(N - 1 <= 255);
            bytes[0] = static_cast<unsigned char>(N - 1);
            for (std::size_t i = 0; i + 1 < N; ++i)
                bytes[i + 1] = static_cast<unsigned char>(text[i]);
        }
        unsigned char bytes[N] {};
    };

    constexpr CountedString NoPluginNewOfSameClass("couldn't resolve PluginNewOfSameClass");

    constexpr const char* ExceptionClassNames[] = { "OutOfBoundsException", "NilObjectException" };

}

void SetResolver(LxResolver resolver) { gResolver = resolver; }

LxFunction ResolveHostFunction(const char* serviceName) { return gResolver ? gResolver(serviceName) : nullptr; }

bool VANTinRuntime()
{
    static HostService<LxInRuntimeProc> service("VANTinRuntime");
    return CallServiceOr(service, LxBoolean(0)) != 0;
}

const char* StringGetCString(LxObject* string)
{
    static HostService<LxStringGetCStringProc> service("StringGetCString");
    return CallServiceOr(service, static_cast<const char*>(nullptr), string);
}

void VANTLockObject(LxObject* object)
{
    static HostService<LxLockObjectProc> service("VANTLockObject");
    CallService(service, object);
}

void VANTUnlockObject(LxObject* object)
{
    static HostService<LxUnlockObjectProc> service("VANTUnlockObject");
    CallService(service, object);
}

void lockPictureDescription(LxObject* picture, LxPictureDescription* description)
{
    static HostService<LxLockPictureDescriptionProc> service("lockPictureDescription");
    CallService(service, picture, description);
}

void unlockPictureDescription(LxObject* picture)
{
    static HostService<LxUnlockPictureDescriptionProc> service("unlockPictureDescription");
    CallService(service, picture);
}

void drawPicturePrimitive(LxObject* picture, const LxRect* rect, LxInteger flags)
{
    static HostService<LxDrawPicturePrimitiveProc> service("drawPicturePrimitive");
    CallService(service, picture, rect, flags);
}

LxFunction GetEventInstance(LxObject* instance, uintptr_t hostWord)
{
    static HostService<LxGetEventInstanceProc> service("GetEventInstance");
    return CallServiceOr(service, LxFunction(nullptr), instance, hostWord);
}

void GetControlBounds(LxObject* control, LxRect* bounds)
{
    static HostService<LxGetControlBoundsProc> service("GetControlBounds");
    CallService(service, control, bounds);
}

bool VANTFSSpecFromFolderItem(void* fileSpec, LxObject* folderItem)
{
    static HostService<LxFSSpecFromFolderItemProc> service("VANTFSSpecFromFolderItem");
    return CallServiceOr(service, LxBoolean(0), fileSpec, folderItem) != 0;
}

void SelectGraphics(LxObject* graphics)
{
    static HostService<LxSelectGraphicsProc> service("SelectGraphics");
    CallService(service, graphics);
}

void VANTInvalidateControl(LxObject* control)
{
    static HostService<LxInvalidateControlProc> service("VANTInvalidateControl");
    CallService(service, control);
}

LxObject* getControlWindow(LxObject* control)
{
    static HostService<LxGetControlWindowProc> service("getControlWindow");
    return CallServiceOr(service, static_cast<LxObject*>(nullptr), control);
}

void* VANTGetWindowHandle(LxObject* window)
{
    static HostService<LxGetWindowHandleProc> service("VANTGetWindowHandle");
    return CallServiceOr(service, static_cast<void*>(nullptr), window);
}

LxObject* PluginNewInstance(const char* className)
{
    static HostService<LxPluginNewInstanceProc> service("PluginNewInstance");
    return CallServiceOr(service, static_cast<LxObject*>(nullptr), className);
}

LxObject* newPicture(LxInteger width, LxInteger height, LxInteger depth)
{
    static HostService<LxNewPictureProc> service("newPicture");
    return CallServiceOr(service, static_cast<LxObject*>(nullptr), width, height, depth);
}

double VANTGetLXVersion()
{
    static HostService<LxGetLXVersionProc> service("VANTGetLXVersion");
    return CallServiceOr(service, 0.0);
}

void PluginRegisterClass(LxClassRecord* record)
{
    static HostService<LxPluginRegisterClassProc> service("PluginRegisterClass");
    CallService(service, record);
}

LxInteger PluginRegisterControl(LxControlRecord* record)
{
    static HostService<LxPluginRegisterControlProc> service("PluginRegisterControl");
    return CallServiceOr(service, LxInteger(0), record);
}

bool RuntimeRaiseException(LxObject* exception)
{
    static HostService<LxRuntimeRaiseExceptionProc> service("RuntimeRaiseException");
    LxRuntimeRaiseExceptionProc proc = service.Get();
    if (proc)
        proc(exception);
    return proc != nullptr;
}

LxClassHandle* pluginObjectType(const char* className)
{
    static HostService<LxPluginObjectTypeProc> service("pluginObjectType");
    return CallServiceOr(service, static_cast<LxClassHandle*>(nullptr), className);
}

LxObject* CreateInstance(LxClassHandle* classHandle)
{
    static HostService<LxCreateInstanceProc> service("CreateInstance");
    if (!classHandle)
        return nullptr;
    return CallServiceOr(service, static_cast<LxObject*>(nullptr), classHandle);
}

LxObject* VANTBuildPictureFromBuffer(
    LxInteger width, LxInteger height, LxInteger format, const void* baseAddress, LxInteger rowBytes)
{
    static HostService<LxBuildPictureFromBufferProc> service("VANTBuildPictureFromBuffer");
    return CallServiceOr(service, static_cast<LxObject*>(nullptr), width, height, format, baseAddress, rowBytes);
}

LxObject* VANTGetPictureMask(LxObject* picture, bool create)
{
    static HostService<LxGetPictureMaskProc> service("VANTGetPictureMask");
    return CallServiceOr(service, static_cast<LxObject*>(nullptr), picture, LxBoolean(create ? 1 : 0));
}

bool VANTGetPropValueInt(LxObject* object, const char* property, LxInteger* value)
{
    static HostService<LxGetPropValueIntProc> service("VANTGetPropValueInt");
    return CallServiceOr(service, LxBoolean(0), object, property, value) != 0;
}

LxObject* PluginNewOfSameClass(LxObject* object)
{
    auto proc = reinterpret_cast<LxPluginNewOfSameClassProc>(ResolveHostFunction("PluginNewOfSameClass"));
    if (!proc) {
        DebugStr(NoPluginNewOfSameClass.bytes);
        return nullptr;
    }
    return proc(object);
}

LxObject* NewVector3D()
{
    static LxClassHandle* vector3D = nullptr;
    if (!vector3D)
        vector3D = pluginObjectType("Vector3D");
    return CreateInstance(vector3D);
}

void* ClassData(LxObject* object, const LxClassRecord& record)
{
    return reinterpret_cast<char*>(object) + record.dataOffset;
}

void* ControlData(LxObject* control) { return reinterpret_cast<char*>(control) + Lx3DSpaceRecord().dataOffset; }

LxInteger HostStringLength(LxObject* string)
{
    static HostService<LxStringGetLengthProc> service("StringGetLength");
    return string ? CallServiceOr(service, LxInteger(0), string) : 0;
}

void RaisePluginError(PluginError error)
{
    LxObject* exception = PluginNewInstance(ExceptionClassNames[static_cast<int>(error)]);
    if (!exception)
        return;
    // The new reference passes to the host with the raise; a host that cannot
    // take it gets it back dropped instead of leaked.
    if (!RuntimeRaiseException(exception))
        VANTUnlockObject(exception);
}

}
