#pragma once

#include "game/App.h"
#include "game/Resources.h"

#include <about/AboutWinSetup.h>
#include <about/AboutWindow.h>
#include <about/EditfieldWithLinks.h>

#include "../lxframework/gui/WidgetSupport.h"
#include "TestHooks.h"

#include <lxframework/AppLife.h>
#include <lxframework/Runtime.h>
#include <lxframework/UserMessages.h>

#include <string>
#include <vector>

// The About box's classes, the game's icon as start-up hands it over, and the
// game's application object, for the cursor and the version.
inline void SetUpAboutBox()
{
    about::RegisterAboutClasses();
    about::AboutWinSetup::SetAppIconAccessors(&game::GlobeIcon, &game::GlobeMask);
    if (lx::getAppObject())
        return;
    const lx::Class* app = lx::FindClass("App");
    if (!app || app->ClassKind() == lx::Class::Kind::Stub)
        lx::RegisterClass<game::App>("App", "Application");
    lx::RuntimeRegisterAppObject(lx::New<game::App>());
}

// Collects the addresses handed to ShowURL while it lives.
class ShownURLs {
public:
    ShownURLs()
    {
        lx::test::CaptureShownURLs([this](std::string_view url) { Addresses.emplace_back(url); });
    }
    ~ShownURLs() { lx::test::CaptureShownURLs(nullptr); }
    std::vector<std::string> Addresses;
};
