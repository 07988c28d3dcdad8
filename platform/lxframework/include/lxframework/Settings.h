#pragma once

#include <lxframework/Object.h>
#include <lxframework/Ref.h>
#include <lxframework/Value.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace lx {

// One named value of a mass property assignment, as a window's layout gives
// it: `{ "Width", 670 }`, `{ "BackColor", Color { 0xD4D0C8 } }`.
using SettingValue = std::variant<int32_t, double, bool, Color, std::string, Ref<Object>>;

struct Setting {
    Setting(std::string_view name, SettingValue value)
        : Name(name)
        , Value(std::move(value))
    {
    }
    std::string Name;
    SettingValue Value;
};

// The value converted to what a property of that kind holds. Numbers convert
// among themselves (doubles through ToInteger); anything else gives the zero value.
int32_t SettingInteger(const SettingValue& value);
double SettingDouble(const SettingValue& value);
bool SettingBoolean(const SettingValue& value);
Color SettingColor(const SettingValue& value);
std::string SettingText(const SettingValue& value);

// Framework classes that take settings by name implement this next to Object.
class Configurable {
public:
    virtual ~Configurable() = default;
    // True when the class knows the setting (applied or deliberately ignored).
    virtual bool ApplySetting(const Setting& setting) = 0;
    // Settings that must come before the others whatever their order in the
    // list (a slider's range before its value).
    virtual bool AppliesEarly(std::string_view) const { return false; }
};

// Sets many properties in one call: framework properties by the class's own
// table, plug-in properties by their rows. A name nothing knows is logged and
// skipped.
void SetProperties(Object& object, std::initializer_list<Setting> settings);

}
