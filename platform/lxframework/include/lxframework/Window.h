#pragma once

#include <lxframework/Graphics.h>
#include <lxframework/HostEvents.h>
#include <lxframework/MenuItem.h>
#include <lxframework/Object.h>
#include <lxframework/RectControl.h>
#include <lxframework/Ref.h>
#include <lxframework/Settings.h>

#include <carbon/Carbon.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lx {

// A top-level window. The game derives its windows from it, overrides the
// hooks and events it needs, makes the object with RuntimeNewObject and then
// runs Constructor(), which builds the window hidden, runs Layout,
// CreateControls and AddMenuHandlers, raises every control's Open (after all
// controls exist), then the window's Open, and shows it if Visible.
class Window : public Object, public Configurable {
public:
    Window();
    ~Window() override;

    // The construction protocol (the design's Window.Window).
    void Constructor();

    // Hooks of the construction protocol.
    virtual void Layout() { }
    virtual void CreateControls() { }
    virtual void AddMenuHandlers() { }

    // Class-level events.
    virtual void Event_Open() { }
    virtual void Event_Close() { }
    virtual void Event_Paint(Graphics&) { }

    // Makes visible, or brings to the front when already visible.
    virtual void Show();
    // Closes the controls (their Close events), raises Close, leaves the
    // window list and the implicit instances and destroys the widgets. The
    // object stays valid while anyone holds it.
    void Close();
    bool IsOpen() const { return mOpen; }

    void SetTitle(std::string_view title);
    std::string Title() const { return mTitle; }
    // The window's own menu bar; windows without one show the application's.
    void SetMenuBar(Ref<lx::MenuBar> bar);
    Ref<lx::MenuBar> MenuBar() const { return mMenuBar; }

    // A new control of the class in this window; an inert placeholder (with a
    // debug-log line) for a class no plug-in registered.
    Ref<RectControl> New(const Class& controlClass);
    Ref<RectControl> New(std::string_view className);
    void AddControl(std::string_view name, const Ref<RectControl>& control);
    Ref<RectControl> ControlByName(std::string_view name) const;
    void AddMenuHandler(std::string_view itemName, std::function<bool()> handler);
    MenuHandlers& Menus() { return mMenus; }

    // Content size and the platform window reference (a port of that size).
    int32_t Width() const { return mWidth; }
    int32_t Height() const { return mHeight; }
    WindowRef PlatformWindow() const { return mPlatformWindow; }
    // The content's background: BackColor when HasBackColor, else the system's window color.
    bool HasBackColor() const { return mHasBackColor; }
    Color BackColor() const { return mBackColor; }
    // Shows or takes away the frame's minimise button, as the MinimizeButton setting does.
    void SetMinimizeButton(bool shown);

    bool ApplySetting(const Setting& setting) override;

    // The framework's side: sends a chosen menu command along the chain
    // focused control, this window, the application.
    void DispatchMenu(std::string_view itemName);

    // The window's widgets, defined on the framework's private side so that
    // this header names no toolkit type.
    struct QtSide;

private:
    void Build();
    void ApplyFrame();
    void ApplyContentSize();
    void RebuildMenuBar();
    static void OnFlush(WindowRef window, const Rect* rect, void* context);
    static void OnAttributes(WindowRef window, WindowAttributes attributes, void* context);

    std::unique_ptr<QtSide> mQt;
    WindowRef mPlatformWindow = nullptr;
    std::vector<Ref<RectControl>> mControls;
    Ref<lx::MenuBar> mMenuBar;
    MenuHandlers mMenus;
    std::string mTitle;
    int32_t mWidth = DefaultWidth;
    int32_t mHeight = DefaultHeight;
    int32_t mMinWidth = 0;
    int32_t mMinHeight = 0;
    int32_t mMaxWidth = NoMaximumSize;
    int32_t mMaxHeight = NoMaximumSize;
    int32_t mPlacement = 0;
    bool mResizeable = true;
    bool mVisible = true;
    bool mCloseButton = true;
    bool mMinimizeButton = true;
    bool mMaximizeButton = true;
    bool mMenuBarVisible = true;
    bool mHasBackColor = false;
    Color mBackColor { 0xFFFFFF };
    bool mConstructed = false;
    bool mOpen = false;
    bool mClosing = false;

    static constexpr int32_t DefaultWidth = 300;
    static constexpr int32_t DefaultHeight = 300;
    // The largest size a window may take: no maximum.
    static constexpr int32_t NoMaximumSize = (1 << 24) - 1;
};

// The control of that name in the window, or nil.
Ref<RectControl> RuntimeWindowControlByName(Window* window, std::string_view name);

// The open windows, in the order they were made.
std::vector<Ref<Window>> RuntimeWindowList();
// The open window of the class registered under that name that an implicit
// accessor made (`AboutWindow::Instance()`), or nil; and the way to enter one.
Ref<Window> RuntimeImplicitInstance(std::string_view className);
void RuntimeRegisterImplicitInstance(const Ref<Window>& window);
// Finalisation: close every window still open and drop the lists' references.
void RuntimeReleaseWindowList();
void RuntimeReleaseImplicitInstances();

}
