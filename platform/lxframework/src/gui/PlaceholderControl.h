#pragma once

#include <lxframework/RectControl.h>

namespace lx {

// Stands in for a control whose class no plug-in registered: it takes every
// setting and handler and does nothing, so the window around it still opens.
class PlaceholderControl : public RectControl {
public:
    PlaceholderControl() { mEvents.AcceptAll(); }
    bool ApplySetting(const Setting& setting) override
    {
        RectControl::ApplySetting(setting);
        return true;
    }
};

}
