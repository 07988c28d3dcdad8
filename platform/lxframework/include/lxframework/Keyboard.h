#pragma once

namespace lx {

// True when the current press asks for a contextual menu: the right button, or
// the left one with Control held.
bool IsContextualClick();

namespace Keyboard {
    // Whether Control is down, as the latest key or mouse event told.
    bool AsyncControlKey();
}

}
