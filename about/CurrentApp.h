#pragma once

#include <lxframework/AppLife.h>
#include <lxframework/Application.h>
#include <lxframework/Exceptions.h>
#include <lxframework/Runtime.h>

namespace about {

// The application object for a member access: NilObjectException when none
// is registered, as any access through nil raises.
inline lx::Ref<lx::Application> CurrentApp()
{
    lx::Ref<lx::Application> app = lx::getAppObject();
    if (!app)
        lx::Throw<lx::NilObjectException>("App");
    return app;
}

}
