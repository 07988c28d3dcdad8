#pragma once

#include <lxframework/Graphics.h>
#include <lxframework/RectControl.h>

namespace lx {

// A surface the application draws on: each paint erases the background and
// raises Paint with a Graphics of the canvas's size, valid during the event.
class Canvas : public RectControl {
public:
    Canvas();
    virtual void Event_Paint(Graphics& g) { mEvents.Raise<Graphics&>("Paint", g); }

    bool ApplySetting(const Setting& setting) override;
    bool EraseBackground() const { return mEraseBackground; }

private:
    bool mEraseBackground = true;
};

}
