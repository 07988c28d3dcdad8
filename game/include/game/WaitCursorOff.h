#pragma once

#include <lxframework/WaitCursor.h>

namespace game {

// Switches the framework's automatic wait cursor off for its lifetime, and on
// again on every way out, exceptions included.
class WaitCursorOff {
public:
    WaitCursorOff() { lx::DisableAutoWaitCursor(); }
    ~WaitCursorOff() { lx::EnableAutoWaitCursor(); }
    WaitCursorOff(const WaitCursorOff&) = delete;
    WaitCursorOff& operator=(const WaitCursorOff&) = delete;
};

}
