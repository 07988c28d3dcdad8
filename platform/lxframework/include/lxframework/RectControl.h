#pragma once

#include <lxframework/Class.h>
#include <lxframework/Event.h>
#include <lxframework/HostEvents.h>
#include <lxframework/MouseCursor.h>
#include <lxframework/Object.h>
#include <lxframework/Ref.h>
#include <lxframework/Settings.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

namespace lx {

class Window;

// The "Index" setting of a control that is no part of a control array.
constexpr int32_t NoControlIndex = std::numeric_limits<int32_t>::min();

// A control in a window: its place in the window's content, visibility,
// enabled state, cursor and events. Framework controls derive from it; a
// plug-in's control class has it as superclass, and its objects are hosted
// by a widget that calls the plug-in's behaviour slots.
class RectControl : public Object, public Configurable {
public:
    RectControl();
    ~RectControl() override;

    const std::string& Name() const { return mName; }
    // The window holding the control (no reference); null once closed.
    Window* ControlWindow() const { return mWindow; }

    void SetEnabled(bool enabled);
    bool Enabled() const { return mEnabled; }
    void SetVisible(bool visible);
    bool Visible() const { return mVisible; }
    void SetMouseCursor(Ref<lx::MouseCursor> cursor);
    Ref<lx::MouseCursor> MouseCursor() const { return mMouseCursor; }

    // Framework events handled by the class: an override consumes the event
    // (and may raise one of its own); the default raises the installed handler.
    virtual void Event_Open() { mEvents.Raise("Open"); }
    virtual void Event_Close() { mEvents.Raise("Close"); }
    virtual void Event_MouseMove(int32_t x, int32_t y) { mEvents.Raise("MouseMove", x, y); }
    virtual void Event_MouseExit() { mEvents.Raise("MouseExit"); }

    // Installs a handler by event name: a framework event or one the plug-in
    // class declares. Throws RuntimeException for an unknown name or a handler
    // of the wrong shape.
    template <class F> void InstallInstanceEventHandler(std::string_view eventName, F&& handler)
    {
        std::function function(std::forward<F>(handler));
        InstallHandler(eventName, std::move(function));
    }
    HostEvents& Events() { return mEvents; }

    // A control menu handler: runs when the control has the focus.
    void AddMenuHandler(std::string_view itemName, std::function<bool()> handler);
    MenuHandlers& Menus() { return mMenus; }

    bool ApplySetting(const Setting& setting) override;

    // The framework's side, used by the window. Attach makes the control's
    // widget in the window's content.
    void Attach(Window& window);
    void SetName(std::string_view name) { mName = name; }
    void Open();
    void Close();
    bool IsOpen() const { return mOpened && !mClosed; }

    // The control's widget and rectangle in the window's content, defined on
    // the framework's private side so that this header names no toolkit type.
    struct QtSide;

protected:
    // The font settings every text control shares; true when handled.
    bool ApplyFontSetting(const Setting& setting);
    virtual void ApplyFont() { }
    HostEvents mEvents;

    struct FontSettings {
        std::string family = "System";
        int32_t size = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
    } mFont;

private:
    template <class R, class... A> void InstallHandler(std::string_view eventName, std::function<R(A...)> handler)
    {
        // Only some shapes can be plug-in events; the others are the framework's.
        if constexpr (EventSignatureIndex<R(A...)>() >= 0) {
            if (!mEvents.IsDeclared(eventName) && ObjectClass().FindEvent(eventName)) {
                std::function<R(Object&, A...)> withSender
                    = [handler = std::move(handler)](Object&, A... arguments) { return handler(arguments...); };
                InstallEventHandler(*this, eventName, EventHandler(std::move(withSender)));
                return;
            }
        }
        mEvents.Install(eventName, std::move(handler));
    }
    void ApplyGeometry();

    std::string mName;
    Window* mWindow = nullptr;
    std::unique_ptr<QtSide> mQt;
    bool mEnabled = true;
    bool mVisible = true;
    bool mOpened = false;
    bool mClosed = false;
    Ref<lx::MouseCursor> mMouseCursor;
    MenuHandlers mMenus;
};

}
