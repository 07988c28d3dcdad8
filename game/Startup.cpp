#include "game/Startup.h"

#include "game/App.h"
#include "game/MainWindow.h"
#include "game/Menu.h"
#include "game/Resources.h"

#include "about/AboutWinSetup.h"
#include "about/AboutWindow.h"
#include "bindings/EntryPoints.h"
#include "globe/GlobeBitCreation.h"
#include "globe/PuzzlePiece.h"

#include <lxframework/AppLife.h>
#include <lxframework/Runtime.h>
#include <lxframework/Window.h>

namespace game {

namespace {

    // The game's classes, after the framework's own; the plug-in's classes
    // follow when it loads, and the game's subclasses of them are completed then.
    void RegisterClasses()
    {
        static bool registered = false;
        if (registered)
            return;
        registered = true;
        lx::RegisterClass<App>("App", "Application");
        lx::RegisterClass<MainWindow>("MainWindow", "Window");
        lx::RegisterClass<Menu>("Menu", "MenuBar");
        globe::RegisterPuzzleClasses();
        about::RegisterAboutClasses();
    }

    // The layers below the game take their pictures from it.
    void HandOverPictures()
    {
        globe::GlobeBitCreation::SetEarthMapAccessor(&land_ocean_ice_512);
        about::AboutWinSetup::SetAppIconAccessors(&GlobeIcon, &GlobeMask);
    }

    void Run()
    {
        lx::RuntimeInitExternalClasses();
        bindings::BindEntryPoints();
        lx::Ref<App> app = lx::New<App>();
        if (!app)
            lx::Throw<lx::NilObjectException>("App");
        app->MenuBar = Menu::Instance();
        lx::RuntimeRegisterAppObject(app);
        // The registration keeps the application object; the handler's pointer to it owns nothing.
        app->AddMenuHandler("HelpAbout", [self = app.Get()] { return self->HelpAbout_Action(); });
        app.Reset();
        lx::RuntimeRun();
    }

    // What start-up and play left behind, in the order the objects depend on each other.
    void Finalise()
    {
        ReleasePictures();
        lx::RuntimeReleaseWindowList();
        lx::RuntimeReleaseImplicitInstances();
        Menu::ReleaseInstance();
        globe::GlobeBitCreation::Release();
    }

}

int TerraslideMain()
{
    lx::RuntimeInit();
    RegisterClasses();
    HandOverPictures();
    try {
        Run();
    } catch (const lx::Exception& exception) {
        lx::RuntimeUnhandledException(exception);
    }
    Finalise();
    return lx::RuntimeExit();
}

}
