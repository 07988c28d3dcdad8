#include "Port.h"

#include <algorithm>
#include <new>

namespace {

constexpr int BytesPerPixel = 4;
constexpr int16_t PixelDepth = 32;

CGrafPtr s_currentPort { nullptr };

// The rectangle's part that lies inside the port, in pixel coordinates.
struct Span {
    int left { 0 };
    int top { 0 };
    int right { 0 };
    int bottom { 0 };
    bool Empty() const { return left >= right || top >= bottom; }
};

Span Clip(const OpaqueGrafPort& port, const Rect& rect)
{
    return { std::max<int>(rect.left, 0), std::max<int>(rect.top, 0), std::min<int>(rect.right, port.Width()),
        std::min<int>(rect.bottom, port.Height()) };
}

void SetPixel(OpaqueGrafPort& port, int x, int y, const RGBColor& color)
{
    uint8_t* pixel = port.pixels.data() + static_cast<size_t>(y) * port.pixMap.rowBytes + x * BytesPerPixel;
    pixel[0] = 0xFF;
    pixel[1] = static_cast<uint8_t>(color.red >> 8);
    pixel[2] = static_cast<uint8_t>(color.green >> 8);
    pixel[3] = static_cast<uint8_t>(color.blue >> 8);
}

void Fill(OpaqueGrafPort& port, const Span& span, const RGBColor& color)
{
    for (int y = span.top; y < span.bottom; ++y)
        for (int x = span.left; x < span.right; ++x)
            SetPixel(port, x, y, color);
}

}

bool OpaqueGrafPort::Resize(int16_t width, int16_t height)
{
    if (width <= 0 || height <= 0)
        return false;
    const size_t rowBytes = static_cast<size_t>(width) * BytesPerPixel;
    try {
        pixels.assign(rowBytes * static_cast<size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    pixMap.baseAddr = reinterpret_cast<char*>(pixels.data());
    pixMap.rowBytes = static_cast<int32_t>(rowBytes);
    pixMap.bounds = { 0, 0, height, width };
    pixMap.pixelSize = PixelDepth;
    return true;
}

void InsetRect(Rect* rect, int16_t dh, int16_t dv)
{
    if (!rect)
        return;
    rect->left = static_cast<int16_t>(rect->left + dh);
    rect->right = static_cast<int16_t>(rect->right - dh);
    rect->top = static_cast<int16_t>(rect->top + dv);
    rect->bottom = static_cast<int16_t>(rect->bottom - dv);
}

QDErr NewGWorld(GWorldPtr* world, int16_t pixelDepth, const Rect* bounds, CTabHandle, GDHandle, GWorldFlags)
{
    if (!world)
        return paramErr;
    *world = nullptr;
    if (!bounds || pixelDepth != PixelDepth)
        return paramErr;
    const int width = bounds->right - bounds->left;
    const int height = bounds->bottom - bounds->top;
    if (width <= 0 || height <= 0)
        return paramErr;
    if (width > kMaxGWorldSide || height > kMaxGWorldSide)
        return memFullErr;
    auto* port = new (std::nothrow) OpaqueGrafPort;
    if (!port || !port->Resize(static_cast<int16_t>(width), static_cast<int16_t>(height))) {
        delete port;
        return memFullErr;
    }
    *world = port;
    return noErr;
}

void DisposeGWorld(GWorldPtr world)
{
    if (world == s_currentPort)
        s_currentPort = nullptr;
    delete world;
}

PixMapHandle GetGWorldPixMap(GWorldPtr world) { return GetPortPixMap(world); }

PixMapHandle GetPortPixMap(CGrafPtr port) { return port ? &port->pixMapPointer : nullptr; }

Boolean LockPixels(PixMapHandle pixels) { return pixels != nullptr; }

void UnlockPixels(PixMapHandle) { }

char* GetPixBaseAddr(PixMapHandle pixels) { return pixels && *pixels ? (*pixels)->baseAddr : nullptr; }

int32_t GetPixRowBytes(PixMapHandle pixels) { return pixels && *pixels ? (*pixels)->rowBytes : 0; }

void GetGWorld(CGrafPtr* port, GDHandle* device)
{
    if (port)
        *port = s_currentPort;
    if (device)
        *device = nullptr;
}

void SetGWorld(CGrafPtr port, GDHandle) { s_currentPort = port; }

void ForeColor(int32_t color)
{
    if (!s_currentPort)
        return;
    const uint16_t level = color == whiteColor ? 0xFFFF : 0;
    s_currentPort->foreground = { level, level, level };
}

void RGBForeColor(const RGBColor* color)
{
    if (s_currentPort && color)
        s_currentPort->foreground = *color;
}

void EraseRect(const Rect* rect)
{
    if (s_currentPort && rect)
        Fill(*s_currentPort, Clip(*s_currentPort, *rect), s_currentPort->background);
}

void PaintRect(const Rect* rect)
{
    if (s_currentPort && rect)
        Fill(*s_currentPort, Clip(*s_currentPort, *rect), s_currentPort->foreground);
}

void FrameRect(const Rect* rect)
{
    if (!s_currentPort || !rect || rect->left >= rect->right || rect->top >= rect->bottom)
        return;
    auto& port = *s_currentPort;
    const RGBColor color = port.foreground;
    const int16_t right = rect->right, bottom = rect->bottom;
    Fill(port, Clip(port, { rect->top, rect->left, static_cast<int16_t>(rect->top + 1), right }), color);
    Fill(port, Clip(port, { static_cast<int16_t>(bottom - 1), rect->left, bottom, right }), color);
    Fill(port, Clip(port, { rect->top, rect->left, bottom, static_cast<int16_t>(rect->left + 1) }), color);
    Fill(port, Clip(port, { rect->top, static_cast<int16_t>(right - 1), bottom, right }), color);
}

WindowRef NewWindowReference(int16_t width, int16_t height)
{
    auto* window = new (std::nothrow) OpaqueWindowPtr;
    if (!window || !window->port.Resize(width, height)) {
        delete window;
        return nullptr;
    }
    return window;
}

void DisposeWindowReference(WindowRef window)
{
    if (!window)
        return;
    if (&window->port == s_currentPort)
        s_currentPort = nullptr;
    delete window;
}

Boolean SetWindowContentSize(WindowRef window, int16_t width, int16_t height)
{
    return window && window->port.Resize(width, height);
}

void SetWindowFlushHook(WindowRef window, WindowFlushHook hook, void* context)
{
    if (!window)
        return;
    window->hook = hook;
    window->hookContext = context;
}

CGrafPtr GetWindowPort(WindowRef window) { return window ? &window->port : nullptr; }

void FlushWindowRect(WindowRef window, const Rect* rect)
{
    if (!window || !rect || !window->hook)
        return;
    const Span span = Clip(window->port, *rect);
    if (span.Empty())
        return;
    const Rect clipped { static_cast<int16_t>(span.top), static_cast<int16_t>(span.left),
        static_cast<int16_t>(span.bottom), static_cast<int16_t>(span.right) };
    window->hook(window, &clipped, window->hookContext);
}

void SetWindowAttributesHook(WindowRef window, WindowAttributesHook hook, void* context)
{
    if (!window)
        return;
    window->attributesHook = hook;
    window->attributesContext = context;
}

OSStatus GetWindowAttributes(WindowRef window, WindowAttributes* attributes)
{
    if (!window || !attributes)
        return paramErr;
    *attributes = window->attributes;
    return noErr;
}

OSStatus ChangeWindowAttributes(WindowRef window, WindowAttributes setThese, WindowAttributes clearThese)
{
    if (!window)
        return paramErr;
    const WindowAttributes changed = (window->attributes | setThese) & ~clearThese;
    if (changed == window->attributes)
        return noErr;
    window->attributes = changed;
    if (window->attributesHook)
        window->attributesHook(window, changed, window->attributesContext);
    return noErr;
}
