#pragma once

#include <lxframework/Graphics.h>
#include <lxframework/Ref.h>
#include <lxframework/Window.h>

#include <string>

namespace about {

// The About box: the application's icon, name and version, the credits with
// their links, and the copyright. At most one is open at a time; the accessor
// AboutWindow::Instance() finds it again or builds a new one.
class AboutWindow : public lx::Window {
public:
    // Sets the window up again on every show, also while it is open.
    void Show() override;

    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;

    // The name the class is registered under, by which the open one is found.
    static constexpr const char* ClassName = "AboutWindow.AboutWindow";

    // The About window: the open one, or a new one, constructed (and shown).
    static lx::Ref<AboutWindow> Instance();

private:
    void CreateControls0();
    void AppIconCanvas_Paint(lx::Graphics& g);
    void EditAppCredits_Open();
    void EditAppCredits_LinkClicked(const std::string& target);
    bool FileClose_Action();
    bool FileCloseWindow_Action();
    void SetupWindow();
};

// Registers the About box's classes, the link field and the window, with the
// framework; part of start-up's class tables. Safe to call more than once.
void RegisterAboutClasses();

}
