#pragma once

#include "Object.h"
#include "render/Device.h"

namespace q3 {

// Where a view's frames go: caller memory (a pixmap) or a window's port,
// which is flushed to the screen after each frame.
class DrawContext final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SharedTypeDrawContext;

    explicit DrawContext(const TQ3PixmapDrawContextData& data)
        : mData(data.drawContextData)
        , mPixmap(data.pixmap)
    {
    }
    explicit DrawContext(const TQ3MacDrawContextData& data)
        : mData(data.drawContextData)
        , mWindow(data.window)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;

    void SetClearColor(const TQ3ColorARGB& color) { mData.clearImageColor = color; }
    // Null when the context clears nothing.
    const TQ3ColorARGB* ClearColor() const;

    // The pixels to draw into and the pane's part of them; false when there
    // is nothing to draw into (a window without a port, an empty pane).
    bool Target(render::Target& target, render::Pane& pane) const;
    // The pane in window (or pixmap) coordinates, as the caller gave it.
    TQ3Area PaneArea() const;
    // Shows a finished frame: a window repaints the pane at once.
    void Present(const render::Pane& pane) const;

private:
    TQ3DrawContextData mData {};
    TQ3Pixmap mPixmap {};
    WindowRef mWindow { nullptr };
};

}
