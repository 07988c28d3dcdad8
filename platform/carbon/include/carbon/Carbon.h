#pragma once

// The OS toolkit layer: the few calls of the original platform's toolbox that
// the plug-in and the game make, under their original names, plus the hooks
// the host needs to put windows on the screen.
//
// Every 32-bit pixel holds the bytes A (or unused), R, G, B in memory order.

#include <cstdint>

extern "C" {

typedef int16_t OSErr;
typedef unsigned char Boolean;

enum : OSErr {
    noErr = 0,
    ioErr = -36,
    eofErr = -39,
    fnfErr = -43,
    paramErr = -50,
    rfNumErr = -51,
    permErr = -54,
    memFullErr = -108,
};

// A length-prefixed string: the first byte holds the number of bytes that follow.
typedef const unsigned char* ConstStr255Param;

// Reports a programmer's message. Here it goes to standard error; it never traps.
void DebugStr(ConstStr255Param message);

// Rectangles and colors ----------------------------------------------------

typedef struct Rect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
} Rect;

// 16 bits per channel.
typedef struct RGBColor {
    uint16_t red;
    uint16_t green;
    uint16_t blue;
} RGBColor;

void InsetRect(Rect* rect, int16_t dh, int16_t dv);

// Pixel maps, ports and off-screen worlds -----------------------------------

typedef struct PixMap {
    char* baseAddr; // row 0 is the top row
    int32_t rowBytes;
    Rect bounds;
    int16_t pixelSize;
} PixMap;
typedef PixMap* PixMapPtr;
typedef PixMapPtr* PixMapHandle;

typedef struct OpaqueGrafPort* CGrafPtr;
typedef CGrafPtr GWorldPtr;
typedef struct OpaqueGDevice* GDHandle;
typedef struct OpaqueColorTable** CTabHandle;
typedef uint32_t GWorldFlags;
typedef int32_t QDErr;

// The longest side of an off-screen world. A square world of this side
// already holds a gigabyte of pixels. The host makes its pictures from worlds
// and shares the limit, so a world too large to become a picture is refused
// before anything is allocated or drawn into it.
enum : int16_t { kMaxGWorldSide = 16384 };

// A 32-bit off-screen world of `bounds`' size, zero-filled; its background
// erases to white. Fails for an empty rectangle, a side over kMaxGWorldSide,
// a depth other than 32 or no memory.
QDErr NewGWorld(
    GWorldPtr* world, int16_t pixelDepth, const Rect* bounds, CTabHandle table, GDHandle device, GWorldFlags flags);
void DisposeGWorld(GWorldPtr world);
PixMapHandle GetGWorldPixMap(GWorldPtr world);
Boolean LockPixels(PixMapHandle pixels);
void UnlockPixels(PixMapHandle pixels);
char* GetPixBaseAddr(PixMapHandle pixels);
int32_t GetPixRowBytes(PixMapHandle pixels);

// The one current port that drawing calls use. Null until someone sets it.
void GetGWorld(CGrafPtr* port, GDHandle* device);
void SetGWorld(CGrafPtr port, GDHandle device);

// Drawing into the current port, clipped to it.
enum : int32_t { blackColor = 33, whiteColor = 30 };
void ForeColor(int32_t color);
void RGBForeColor(const RGBColor* color);
void EraseRect(const Rect* rect);
void PaintRect(const Rect* rect);
void FrameRect(const Rect* rect);

// Windows -------------------------------------------------------------------

typedef struct OpaqueWindowPtr* WindowRef;

// Called after the library has drawn into a window's port, so that the host
// repaints `rect` (window content coordinates) at once.
typedef void (*WindowFlushHook)(WindowRef window, const Rect* rect, void* context);

// A window reference whose port is the size of the window's content. The host
// makes one per window, resizes it with the content and sets its flush hook.
WindowRef NewWindowReference(int16_t width, int16_t height);
void DisposeWindowReference(WindowRef window);
// Resizes the port; its pixels start zero-filled. False if out of memory.
Boolean SetWindowContentSize(WindowRef window, int16_t width, int16_t height);
void SetWindowFlushHook(WindowRef window, WindowFlushHook hook, void* context);
CGrafPtr GetWindowPort(WindowRef window);
PixMapHandle GetPortPixMap(CGrafPtr port);
// Calls the window's flush hook for `rect`, clipped to the content.
void FlushWindowRect(WindowRef window, const Rect* rect);

// The window's frame features. Only the collapse box means something on this
// platform; the host shows it as a minimise button.
typedef uint32_t WindowAttributes;
typedef int32_t OSStatus;
enum : WindowAttributes {
    kWindowCloseBoxAttribute = 1u << 0,
    kWindowFullZoomAttribute = (1u << 1) | (1u << 2),
    kWindowCollapseBoxAttribute = 1u << 3,
    kWindowResizableAttribute = 1u << 4,
};
// Called after a window's attributes changed, so the host can update its frame.
typedef void (*WindowAttributesHook)(WindowRef window, WindowAttributes attributes, void* context);
void SetWindowAttributesHook(WindowRef window, WindowAttributesHook hook, void* context);
OSStatus GetWindowAttributes(WindowRef window, WindowAttributes* attributes);
// Sets, then clears, the given attribute bits; the hook runs only on a change.
OSStatus ChangeWindowAttributes(WindowRef window, WindowAttributes setThese, WindowAttributes clearThese);

// Handles -------------------------------------------------------------------

typedef char* Ptr;
typedef Ptr* Handle;

// A zero-filled block; null for no memory.
Handle NewHandle(int32_t size);
void DisposeHandle(Handle handle);
int32_t GetHandleSize(Handle handle);
void HLock(Handle handle);
void HUnlock(Handle handle);

// Files ---------------------------------------------------------------------

enum { fsRdPerm = 1 };
enum { FSSpecPathCapacity = 4096 };

// Names a file by its path.
typedef struct FSSpec {
    char path[FSSpecPathCapacity];
} FSSpec;

// Fills `fileSpec` with `path`; paramErr for a null or too long path.
OSErr FSMakeFSSpecFromPath(const char* path, FSSpec* fileSpec);
// Opens the file for reading; only read permission is granted.
OSErr FSpOpenDF(const FSSpec* fileSpec, int8_t permission, int16_t* refNum);
OSErr GetEOF(int16_t refNum, int32_t* size);
// Reads up to *count bytes; *count becomes the number read (eofErr if fewer).
OSErr FSRead(int16_t refNum, int32_t* count, void* buffer);
OSErr FSClose(int16_t refNum);
}
