#pragma once

#include <lxframework/Object.h>
#include <lxframework/Ref.h>
#include <lxframework/Settings.h>

#include <string>
#include <string_view>
#include <vector>

namespace lx {

// One entry of the menu model: a command, a separator (Text "-") or a menu
// (an item with children). Windows build their menu bars from this model and
// send a chosen command on by the item's Name.
class MenuItem : public Object, public Configurable {
public:
    std::string Name;
    std::string Text;
    // As the design writes it: "Cmd+W" (Control on this platform) or empty.
    std::string KeyboardShortcut;
    bool AutoEnable = true;

    // Adds a menu to a bar or an item to a menu.
    void Append(Ref<MenuItem> item);
    const std::vector<Ref<MenuItem>>& Children() const { return mChildren; }
    // The direct child menu of that name, or nil.
    Ref<MenuItem> Child(std::string_view name) const;
    // Any item below this one by name, or nil.
    Ref<MenuItem> Lookup(std::string_view name) const;

    bool IsSeparator() const { return Text == "-"; }
    // Items without a handler that takes them quit the application.
    virtual bool QuitsByDefault() const { return false; }

    bool ApplySetting(const Setting& setting) override;

private:
    std::vector<Ref<MenuItem>> mChildren;
};

class QuitMenuItem : public MenuItem {
public:
    bool QuitsByDefault() const override { return true; }
};

// The "About" item: on this platform it stays in the menu it was put in.
class AppleMenuItem : public MenuItem { };

// A menu bar: its children are the menus.
class MenuBar : public MenuItem { };

}
