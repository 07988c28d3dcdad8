#pragma once

#include <lxframework/RectControl.h>

namespace lx {

// A push button; raises Action when clicked.
class PushButton : public RectControl {
public:
    PushButton();
    bool ApplySetting(const Setting& setting) override;

protected:
    void ApplyFont() override;
};

}
