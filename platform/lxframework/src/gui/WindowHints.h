#pragma once

#include <cstdint>
#include <optional>

class QWidget;

namespace lx {

// The Motif hints through which X11 window managers learn which functions
// (move, resize, minimise...) and decorations a window offers.
struct MotifHints {
    uint32_t flags = 0;
    uint32_t functions = 0;
    uint32_t decorations = 0;
    uint32_t inputMode = 0;
    uint32_t status = 0;

    bool operator==(const MotifHints&) const = default;
};

// The same hints without resizing and maximising, in both of their forms (a
// list of what is offered, or "all" and a list of what is not).
MotifHints WithoutResizing(MotifHints hints);

// Qt advertises resizing for every titled window; a window of fixed size takes
// that back. Only X11 has such hints; elsewhere this does nothing. Call it
// once the window's native window exists and before it is mapped.
void AdvertiseFixedSize(QWidget& window);
// The hints the window manager reads for the window; none off X11 or before
// the native window exists.
std::optional<MotifHints> WindowMotifHints(const QWidget& window);

}
