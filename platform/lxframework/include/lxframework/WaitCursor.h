#pragma once

namespace lx {

// The wait cursor the framework shows while a handler runs long.
void DisableAutoWaitCursor();
void EnableAutoWaitCursor();

}
