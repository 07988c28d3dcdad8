#pragma once

#include <lxframework/Application.h>
#include <lxframework/Framework.h>

namespace game {

// The registered application object; NilObjectException when there is none.
inline lx::Ref<lx::Application> CurrentApp()
{
    lx::Ref<lx::Application> app = lx::getAppObject();
    if (!app)
        lx::Throw<lx::NilObjectException>("no application object");
    return app;
}

}
