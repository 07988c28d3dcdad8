#include "DrawContext.h"

#include <algorithm>
#include <cmath>

namespace q3 {

namespace {

    constexpr TQ3Uns32 PixelBits = 32;
    constexpr TQ3Uns32 BytesPerPixel = 4;

    // Only bytes X (or A), R, G, B can be drawn into directly.
    bool IsDrawable(const TQ3Pixmap& pixmap)
    {
        return pixmap.image && pixmap.width > 0 && pixmap.height > 0 && pixmap.width <= INT16_MAX
            && pixmap.height <= INT16_MAX && pixmap.pixelSize == PixelBits
            && (pixmap.pixelType == kQ3PixelTypeRGB32 || pixmap.pixelType == kQ3PixelTypeARGB32)
            && pixmap.byteOrder == kQ3EndianBig && pixmap.rowBytes >= pixmap.width * BytesPerPixel;
    }

    int Round(float value)
    {
        return std::isfinite(value) ? static_cast<int>(std::lround(std::clamp(value, -32768.0f, 32767.0f))) : 0;
    }

}

std::span<const TQ3ObjectType> DrawContext::TypeChain() const
{
    static constexpr TQ3ObjectType pixmap[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeDrawContext, kQ3DrawContextTypePixmap };
    static constexpr TQ3ObjectType window[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeDrawContext, kQ3DrawContextTypeMacintosh };
    if (mWindow)
        return window;
    return pixmap;
}

const TQ3ColorARGB* DrawContext::ClearColor() const
{
    return mData.clearImageMethod == kQ3ClearMethodWithColor ? &mData.clearImageColor : nullptr;
}

bool DrawContext::Target(render::Target& target, render::Pane& pane) const
{
    if (mWindow) {
        PixMapHandle map = GetPortPixMap(GetWindowPort(mWindow));
        if (!map || !GetPixBaseAddr(map))
            return false;
        const Rect& bounds = (*map)->bounds;
        target = { reinterpret_cast<uint8_t*>(GetPixBaseAddr(map)), bounds.right - bounds.left,
            bounds.bottom - bounds.top, GetPixRowBytes(map) };
    } else {
        target = { static_cast<uint8_t*>(mPixmap.image), static_cast<int>(mPixmap.width),
            static_cast<int>(mPixmap.height), static_cast<int>(mPixmap.rowBytes) };
    }
    const TQ3Area area = PaneArea();
    pane = { std::max(Round(area.min.x), 0), std::max(Round(area.min.y), 0), std::min(Round(area.max.x), target.width),
        std::min(Round(area.max.y), target.height) };
    return pane.left < pane.right && pane.top < pane.bottom;
}

TQ3Area DrawContext::PaneArea() const
{
    if (mData.paneState != kQ3False)
        return mData.pane;
    if (mWindow) {
        PixMapHandle map = GetPortPixMap(GetWindowPort(mWindow));
        const Rect bounds = map ? (*map)->bounds : Rect {};
        return { { 0, 0 }, { static_cast<float>(bounds.right), static_cast<float>(bounds.bottom) } };
    }
    return { { 0, 0 }, { static_cast<float>(mPixmap.width), static_cast<float>(mPixmap.height) } };
}

void DrawContext::Present(const render::Pane& pane) const
{
    if (!mWindow)
        return;
    const Rect rect { static_cast<int16_t>(pane.top), static_cast<int16_t>(pane.left),
        static_cast<int16_t>(pane.bottom), static_cast<int16_t>(pane.right) };
    FlushWindowRect(mWindow, &rect);
}

}

using namespace q3;

TQ3DrawContextObject Q3PixmapDrawContext_New(const TQ3PixmapDrawContextData* data)
{
    if (!data || !IsDrawable(data->pixmap)) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    return new DrawContext(*data);
}

TQ3DrawContextObject Q3MacDrawContext_New(const TQ3MacDrawContextData* data)
{
    if (!data || !data->window) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    return new DrawContext(*data);
}

TQ3Status Q3DrawContext_SetClearImageColor(TQ3DrawContextObject context, const TQ3ColorARGB* color)
{
    auto* self = Cast<DrawContext>(context);
    if (!self || !color)
        return kQ3Failure;
    self->SetClearColor(*color);
    return kQ3Success;
}
