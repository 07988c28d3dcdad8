#pragma once

#include "bindings/EntryPoints.h"

#include <lxframework/Runtime.h>

// The real start-up: the framework loads lx3d.so from the plug-ins folder and
// the table is bound once for the whole program.
inline void BindOnce()
{
    static bool bound = false;
    if (bound)
        return;
    bound = true;
    lx::RuntimeInit();
    lx::RuntimeInitExternalClasses();
    bindings::BindEntryPoints();
}
