#pragma once

#include <lxframework/RectControl.h>

namespace lx {

// A slider, horizontal when wider than high. Raises ValueChanged on every
// change of its value, also while dragged when LiveScroll is on, and when the
// value is set from code.
class Slider : public RectControl {
public:
    Slider();
    int32_t Value() const;
    void SetValue(int32_t value);

    bool ApplySetting(const Setting& setting) override;
    bool AppliesEarly(std::string_view name) const override;
};

}
