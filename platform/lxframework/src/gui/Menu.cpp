#include <lxframework/MenuItem.h>

namespace lx {

void MenuItem::Append(Ref<MenuItem> item)
{
    if (item && item.Get() != this)
        mChildren.push_back(std::move(item));
}

Ref<MenuItem> MenuItem::Child(std::string_view name) const
{
    for (const auto& child : mChildren) {
        if (child->Name == name)
            return child;
    }
    return nullptr;
}

Ref<MenuItem> MenuItem::Lookup(std::string_view name) const
{
    for (const auto& child : mChildren) {
        if (child->Name == name)
            return child;
        if (Ref<MenuItem> found = child->Lookup(name))
            return found;
    }
    return nullptr;
}

bool MenuItem::ApplySetting(const Setting& setting)
{
    if (setting.Name == "Name")
        Name = SettingText(setting.Value);
    else if (setting.Name == "Text")
        Text = SettingText(setting.Value);
    else if (setting.Name == "KeyboardShortcut")
        KeyboardShortcut = SettingText(setting.Value);
    else if (setting.Name == "AutoEnable")
        AutoEnable = SettingBoolean(setting.Value);
    else
        return false;
    return true;
}

}
