#pragma once

/* The C interface between the framework and its plug-ins: value types, the
 * class and control records a plug-in registers, the rows in them, the
 * behaviour table of a control, the entry-point records the application binds
 * by name, and the signatures of the host services a plug-in looks up through
 * the resolver. Plug-ins include this header and nothing else of the framework.
 *
 * Every field that holds a pointer is pointer-sized. A record's data-offset
 * word is signed: the framework places plug-in instance data in front of the
 * object, so the offsets it writes there are negative. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Values as they cross every call. */
typedef int32_t LxInteger;
typedef double LxDouble;
typedef uint8_t LxBoolean;
typedef uint32_t LxColor; /* &h00RRGGBB */

/* An object reference: the framework object itself, null for nil. */
typedef struct LxObject LxObject;

/* A class handle from `pluginObjectType`, accepted by `CreateInstance`. */
typedef struct LxClassHandle LxClassHandle;

/* Any function in a record or table; cast to its real type before calling. */
typedef void (*LxFunction)(void);

typedef struct LxRect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
} LxRect;

/* What `lockPictureDescription` tells a plug-in about a picture. */
typedef struct LxPictureDescription {
    LxInteger width;
    LxInteger height;
    LxInteger depth;
} LxPictureDescription;

/* The only record version the framework accepts. */
enum { LxRecordVersion = 9 };

/* The pixel formats of `VANTBuildPictureFromBuffer`, by the bytes of one pixel. */
enum {
    LxPictureFormatRGB24 = 1, /* R, G, B */
    LxPictureFormatARGB32 = 3, /* A, R, G, B; the alpha becomes the picture's mask */
    LxPictureFormatOffscreen32 = 4, /* unused, R, G, B, as an off-screen world holds them */
};

/* The all-ones accessor: the framework reads or writes the field itself, at
 * the row's parameter as a byte offset inside the class's instance data. */
#define LxFieldAccessor ((LxFunction)(intptr_t)-1)

typedef void (*LxConstructor)(LxObject* instance);
typedef void (*LxDestructor)(LxObject* instance);

/* Property flag 2, which plug-ins set on properties that hold objects (and on
 * read-only counts beside them). The host keeps it and gives it no meaning. */
enum { LxPropertyObjectFlag = 2 };

typedef struct LxPropertyRow {
    const char* group; /* design environment only */
    const char* name;
    const char* type; /* "Integer", "Double", "Boolean", "Color", "String" or a class name */
    uint32_t flags; /* 0 or LxPropertyObjectFlag */
    LxFunction getter; /* getter(instance, param), LxFieldAccessor, or null */
    LxFunction setter; /* setter(instance, param, value), LxFieldAccessor, or null for read-only */
    intptr_t param;
} LxPropertyRow;

typedef struct LxMethodRow {
    LxFunction function; /* function(instance, arguments...) */
    LxFunction setter; /* setter(instance, arguments..., value) of the assigning form, or null */
    const char* declaration; /* "Name(param as Type, ...) as Type" */
    uint32_t flags;
} LxMethodRow;

typedef struct LxEventRow {
    const char* declaration;
    uintptr_t hostWord; /* 0 in the record; written by the framework at registration */
} LxEventRow;

typedef struct LxEventInstanceRow {
    const char* name; /* an event a superclass declares */
    LxFunction function; /* function(instance, arguments...) */
} LxEventInstanceRow;

typedef struct LxClassRecord {
    uint32_t version;
    const char* name;
    const char* superName; /* or null */
    uint32_t dataSize;
    intptr_t dataOffset; /* 0 in the record; written by the framework at registration */
    LxConstructor constructor;
    LxDestructor destructor;
    LxPropertyRow* properties;
    uint32_t propertyCount;
    LxMethodRow* methods;
    uint32_t methodCount;
    LxEventRow* events;
    uint32_t eventCount;
    LxEventInstanceRow* eventInstances;
    uint32_t eventInstanceCount;
} LxClassRecord;

/* A control's behaviour table: the slots the framework calls, null where the
 * control does not handle the call. */
enum {
    LxBehaviourSlotCount = 32,
    LxBehaviourConstruct = 0, /* void (instance) */
    LxBehaviourRedraw = 2, /* void (instance) */
    LxBehaviourMouseDown = 3, /* LxBoolean (instance, x, y), window coordinates */
    LxBehaviourMouseDrag = 4, /* void (instance, x, y) */
    LxBehaviourMouseUp = 5, /* void (instance, x, y) */
    LxBehaviourOpen = 9, /* void (instance) */
    LxBehaviourClose = 10, /* void (instance) */
    LxBehaviourDrawOffscreen = 12, /* void (instance, graphics) */
};

typedef void (*LxBehaviourProc)(LxObject* instance);
typedef LxBoolean (*LxBehaviourMouseDownProc)(LxObject* instance, LxInteger x, LxInteger y);
typedef void (*LxBehaviourMouseProc)(LxObject* instance, LxInteger x, LxInteger y);
typedef void (*LxBehaviourDrawOffscreenProc)(LxObject* instance, LxObject* graphics);

typedef struct LxBehaviourTable {
    LxFunction slots[LxBehaviourSlotCount];
} LxBehaviourTable;

typedef struct LxControlRecord {
    uint32_t version;
    const char* name;
    uint32_t dataSize;
    uint32_t flags;
    uint32_t paletteId; /* design environment only */
    uint32_t pressedPaletteId; /* design environment only */
    uint32_t defaultWidth;
    uint32_t defaultHeight;
    LxPropertyRow* properties;
    uint32_t propertyCount;
    LxMethodRow* methods;
    uint32_t methodCount;
    LxEventRow* events;
    uint32_t eventCount;
    const LxBehaviourTable* behaviour;
    intptr_t dataOffset; /* 0 in the record; written by the framework at registration */
} LxControlRecord;

/* What `RuntimeLookupPluginEntrypoint` returns for a binding name. */
typedef enum LxEntryKind {
    LxEntryUnbound = 0, /* no member has this binding name; calling it is an error */
    LxEntryMethod, /* function(instance, arguments...) */
    LxEntryAssign, /* setter(instance, arguments..., value) */
    LxEntryGetter, /* getter(instance, param) */
    LxEntrySetter, /* setter(instance, param, value) */
    LxEntryConstructor, /* run by the framework only */
    LxEntryDestructor, /* run by the framework only */
    LxEntryEventInstance, /* function(instance, arguments...) */
} LxEntryKind;

typedef struct LxEntryPoint {
    uint32_t kind; /* an LxEntryKind */
    LxFunction function;
    intptr_t param; /* the row parameter, for getters and setters */
    const char* binding; /* the binding name it was found under */
} LxEntryPoint;

/* The resolver handed to `VANTPluginMain`: a host service by name, or null. */
typedef LxFunction (*LxResolver)(const char* serviceName);
typedef void (*LxPluginMain)(LxResolver resolver);

/* Host services, by the names a plug-in passes to the resolver. */
typedef void (*LxRegisterPluginVersionProc)(LxInteger version); /* "RegisterPluginVersion" */
typedef LxBoolean (*LxInRuntimeProc)(void); /* "VANTinRuntime" */
typedef const char* (*LxStringGetCStringProc)(LxObject* string); /* "StringGetCString" */
typedef LxInteger (*LxStringGetLengthProc)(LxObject* string); /* "StringGetLength": bytes, NULs included */
typedef void (*LxLockObjectProc)(LxObject* object); /* "VANTLockObject" */
typedef void (*LxUnlockObjectProc)(LxObject* object); /* "VANTUnlockObject" */
typedef void (*LxLockPictureDescriptionProc)(LxObject* picture, LxPictureDescription* description);
typedef void (*LxUnlockPictureDescriptionProc)(LxObject* picture);
typedef void (*LxDrawPicturePrimitiveProc)(LxObject* picture, const LxRect* rect, LxInteger flags);
typedef LxFunction (*LxGetEventInstanceProc)(LxObject* instance, uintptr_t hostWord); /* "GetEventInstance" */
typedef void (*LxGetControlBoundsProc)(LxObject* control, LxRect* bounds); /* "GetControlBounds" */
typedef LxBoolean (*LxFSSpecFromFolderItemProc)(void* fileSpec, LxObject* folderItem);
typedef void (*LxSelectGraphicsProc)(LxObject* graphics); /* "SelectGraphics" */
typedef void (*LxInvalidateControlProc)(LxObject* control); /* "VANTInvalidateControl" */
typedef LxObject* (*LxGetControlWindowProc)(LxObject* control); /* "getControlWindow" */
typedef void* (*LxGetWindowHandleProc)(LxObject* window); /* "VANTGetWindowHandle" */
typedef LxObject* (*LxPluginNewInstanceProc)(const char* className); /* "PluginNewInstance" */
typedef LxObject* (*LxNewPictureProc)(LxInteger width, LxInteger height, LxInteger depth); /* "newPicture" */
typedef LxDouble (*LxGetLXVersionProc)(void); /* "VANTGetLXVersion" */
typedef void (*LxPluginRegisterClassProc)(LxClassRecord* record); /* "PluginRegisterClass" */
typedef LxInteger (*LxPluginRegisterControlProc)(LxControlRecord* record); /* "PluginRegisterControl" */
typedef void (*LxRuntimeRaiseExceptionProc)(LxObject* exception); /* "RuntimeRaiseException" */
typedef LxClassHandle* (*LxPluginObjectTypeProc)(const char* className); /* "pluginObjectType" */
typedef LxObject* (*LxCreateInstanceProc)(LxClassHandle* classHandle); /* "CreateInstance" */
typedef LxObject* (*LxBuildPictureFromBufferProc)(
    LxInteger width, LxInteger height, LxInteger format, const void* baseAddress, LxInteger rowBytes);
typedef LxObject* (*LxGetPictureMaskProc)(LxObject* picture, LxBoolean create); /* "VANTGetPictureMask" */
typedef LxBoolean (*LxGetPropValueIntProc)(LxObject* object, const char* property, LxInteger* value);
typedef LxObject* (*LxPluginNewOfSameClassProc)(LxObject* object); /* "PluginNewOfSameClass" */

#ifdef __cplusplus
}
#endif
