#include <lxframework/Class.h>
#include <lxframework/Functions.h>
#include <lxframework/Property.h>
#include <lxframework/Runtime.h>
#include <lxframework/Settings.h>

#include <array>
#include <vector>

namespace lx {

namespace {

    // Settings of the design environment or of the original platform, which
    // have no meaning here and are accepted without effect.
    constexpr std::array IgnoredSettings { "AcceptFocus", "AcceptTabs", "AutoDeactivate", "BalloonHelp", "Composite",
        "DataField", "DataSource", "Frame", "FullScreen", "Index", "InitialParent", "LiveResize", "LockBottom",
        "LockLeft", "LockRight", "LockTop", "MacProcId", "TabPanelIndex", "UseFocusRing" };

    bool IsIgnored(std::string_view name)
    {
        for (std::string_view ignored : IgnoredSettings) {
            if (ignored == name)
                return true;
        }
        return false;
    }

    void SetPluginProperty(Object& object, const Property& property, const SettingValue& value)
    {
        switch (property.type) {
        case ValueType::Integer:
            SetProperty<int32_t>(object, property, SettingInteger(value));
            break;
        case ValueType::Double:
            SetProperty<double>(object, property, SettingDouble(value));
            break;
        case ValueType::Boolean:
            SetProperty<bool>(object, property, SettingBoolean(value));
            break;
        case ValueType::Color:
            SetProperty<Color>(object, property, SettingColor(value));
            break;
        case ValueType::Object: {
            const auto* reference = std::get_if<Ref<Object>>(&value);
            SetProperty<Ref<Object>>(object, property, reference ? *reference : Ref<Object>());
            break;
        }
        }
    }

    void Apply(Object& object, Configurable* configurable, const Setting& setting)
    {
        if (configurable && configurable->ApplySetting(setting))
            return;
        if (const Property* property = object.ObjectClass().FindProperty(setting.Name)) {
            SetPluginProperty(object, *property, setting.Value);
            return;
        }
        if (!IsIgnored(setting.Name))
            DebugLog(object.ObjectClass().Name() + " has no property " + setting.Name + "; the setting was skipped");
    }

}

int32_t SettingInteger(const SettingValue& value)
{
    if (const auto* integer = std::get_if<int32_t>(&value))
        return *integer;
    if (const auto* real = std::get_if<double>(&value))
        return ToInteger(*real);
    if (const auto* color = std::get_if<Color>(&value))
        return static_cast<int32_t>(color->rgb);
    if (const auto* boolean = std::get_if<bool>(&value))
        return *boolean ? 1 : 0;
    return 0;
}

double SettingDouble(const SettingValue& value)
{
    if (const auto* real = std::get_if<double>(&value))
        return *real;
    return SettingInteger(value);
}

bool SettingBoolean(const SettingValue& value)
{
    if (const auto* boolean = std::get_if<bool>(&value))
        return *boolean;
    return SettingInteger(value) != 0;
}

Color SettingColor(const SettingValue& value)
{
    if (const auto* color = std::get_if<Color>(&value))
        return *color;
    return Color { static_cast<uint32_t>(SettingInteger(value)) };
}

std::string SettingText(const SettingValue& value)
{
    const auto* text = std::get_if<std::string>(&value);
    return text ? *text : std::string();
}

void SetProperties(Object& object, std::initializer_list<Setting> settings)
{
    auto* configurable = dynamic_cast<Configurable*>(&object);
    std::vector<const Setting*> later;
    for (const Setting& setting : settings) {
        if (configurable && configurable->AppliesEarly(setting.Name))
            Apply(object, configurable, setting);
        else
            later.push_back(&setting);
    }
    for (const Setting* setting : later)
        Apply(object, configurable, *setting);
}

}
