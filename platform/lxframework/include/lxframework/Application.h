#pragma once

#include <lxframework/HostEvents.h>
#include <lxframework/MenuItem.h>
#include <lxframework/MouseCursor.h>
#include <lxframework/Object.h>
#include <lxframework/Ref.h>
#include <lxframework/ResourceFork.h>

#include <functional>
#include <string_view>

namespace lx {

// The application object. The game derives its App from it, registers one
// instance with RuntimeRegisterAppObject, and handles Open (raised once, from
// inside the event loop) by overriding Event_Open.
class Application : public Object {
public:
    virtual void Event_Open() { }

    // The menu bar of windows that have none of their own.
    Ref<lx::MenuBar> MenuBar;

    void AddMenuHandler(std::string_view itemName, std::function<bool()> handler);
    MenuHandlers& Menus() { return mMenus; }

    // A new reference to the application's resources.
    Ref<lx::ResourceFork> ResourceFork() const;

    // An application-wide cursor that wins over control cursors; nil for none.
    void SetMouseCursor(Ref<lx::MouseCursor> cursor);
    Ref<lx::MouseCursor> MouseCursor() const { return mMouseCursor; }

    // The build's version (the project version of the build settings).
    int32_t MajorVersion() const;
    int32_t MinorVersion() const;
    int32_t BugVersion() const;
    // 0 development, 1 alpha, 2 beta, 3 final.
    int32_t StageCode() const;
    int32_t NonReleaseVersion() const;

private:
    MenuHandlers mMenus;
    Ref<lx::MouseCursor> mMouseCursor;
};

}
