#pragma once

#include "App.h"

#include <lxframework/Exceptions.h>
#include <lxframework/Runtime.h>

namespace game {

// The application object for a member access: NilObjectException when none
// is registered, as any access through nil raises.
inline lx::Ref<App> CurrentApp()
{
    lx::Ref<App> app = App::Instance();
    if (!app)
        lx::Throw<lx::NilObjectException>("App");
    return app;
}

}
