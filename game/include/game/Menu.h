#pragma once

// The game's one menu bar: File, Edit and Help. One instance is made on first
// use and shared by the application object and the main window.

#include <lxframework/MenuItem.h>
#include <lxframework/Ref.h>

namespace game {

class Menu : public lx::MenuBar {
public:
    // Builds the three menus.
    void Constructor();

    void Untitled1(); // File
    void Untitled2(); // Edit
    void Untitled3(); // Help

    // The shared instance, built on the first call.
    static lx::Ref<Menu> Instance();

    // Finalisation: drops the shared instance.
    static void ReleaseInstance();
};

}
