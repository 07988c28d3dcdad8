#include "game/App.h"

#include "game/MainWindow.h"

#include "about/AboutWindow.h"

#include <lxframework/AppLife.h>
#include <lxframework/Runtime.h>

namespace game {

void App::Event_Open()
{
    lx::Ref<MainWindow> window = lx::New<MainWindow>();
    if (!window)
        lx::Throw<lx::NilObjectException>("MainWindow");
    window->Constructor();
    window->Show();
}

bool App::HelpAbout_Action()
{
    lx::Ref<about::AboutWindow> window = about::AboutWindow::Instance();
    if (!window)
        lx::Throw<lx::NilObjectException>("AboutWindow");
    window->Show();
    return false;
}

lx::Ref<App> App::Instance() { return lx::Cast<App>(lx::getAppObject()); }

}
