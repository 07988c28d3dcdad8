#pragma once

#include <lxframework/Application.h>
#include <lxframework/Ref.h>

namespace game {

// The application object: its Open event makes the game window, and the
// Help menu's About item opens the About window, with or without a game window.
class App : public lx::Application {
public:
    void Event_Open() override;
    virtual bool HelpAbout_Action();

    // The registered application object, checked to be an App.
    static lx::Ref<App> Instance();
};

}
