#include "game/Menu.h"

#include <lxframework/Runtime.h>
#include <lxframework/Settings.h>

#include <optional>
#include <string>

namespace game {

namespace {

    enum class ItemKind { Plain, Quit, About };

    // One row of the bar. A separator's shortcut is left unset.
    struct MenuRow {
        const char* name = "";
        ItemKind kind = ItemKind::Plain;
        const char* text = "";
        std::optional<const char*> shortcut;
        bool autoEnable = false;
    };

    lx::Ref<Menu> s_menu;

    lx::Ref<lx::MenuItem> NewItem(ItemKind kind)
    {
        switch (kind) {
        case ItemKind::Quit:
            return lx::New<lx::QuitMenuItem>();
        case ItemKind::About:
            return lx::New<lx::AppleMenuItem>();
        case ItemKind::Plain:
            break;
        }
        return lx::New<lx::MenuItem>();
    }

    lx::Ref<lx::MenuItem> MakeItem(const MenuRow& row)
    {
        lx::Ref<lx::MenuItem> item = NewItem(row.kind);
        item->Name = row.name;
        item->AutoEnable = row.autoEnable;
        item->Text = row.text;
        if (row.shortcut)
            item->KeyboardShortcut = *row.shortcut;
        return item;
    }

    // The first row is the menu's title item, appended to the bar; the others
    // go to the menu found again by that title item's name.
    template <std::size_t N> void BuildMenu(lx::MenuBar& bar, const MenuRow (&rows)[N])
    {
        bar.Append(MakeItem(rows[0]));
        for (std::size_t i = 1; i < N; ++i) {
            lx::Ref<lx::MenuItem> menu = bar.Child(rows[0].name);
            if (!menu)
                lx::Throw<lx::NilObjectException>(rows[0].name);
            menu->Append(MakeItem(rows[i]));
        }
    }

    constexpr bool On = true;
    constexpr bool Off = false;

    const MenuRow FileRows[] = {
        { "UntitledMenu2", ItemKind::Plain, "File", "", Off },
        { "FileClose", ItemKind::Plain, "Close", "Cmd+W", On },
        { "UntitledMenu3", ItemKind::Plain, "-", std::nullopt, On },
        { "FileQuit", ItemKind::Quit, "Quit", "Cmd+Q", On },
    };

    const MenuRow EditRows[] = {
        { "UntitledMenu0", ItemKind::Plain, "Edit", "", Off },
        { "EditUndo", ItemKind::Plain, "Undo", "Cmd+Z", Off },
        { "UntitledMenu1", ItemKind::Plain, "-", std::nullopt, Off },
        { "EditCut", ItemKind::Plain, "Cut", "Cmd+X", Off },
        { "EditCopy", ItemKind::Plain, "Copy", "Cmd+C", Off },
        { "EditPaste", ItemKind::Plain, "Paste", "Cmd+V", Off },
        { "EditClear", ItemKind::Plain, "Clear", "", Off },
    };

    const MenuRow HelpRows[] = {
        { "HelpMenu", ItemKind::Plain, "Help", "", Off },
        { "HelpAbout", ItemKind::About, "About Terraslide", "", On },
    };

}

void Menu::Constructor()
{
    Untitled1();
    Untitled2();
    Untitled3();
}

void Menu::Untitled1() { BuildMenu(*this, FileRows); }
void Menu::Untitled2() { BuildMenu(*this, EditRows); }
void Menu::Untitled3() { BuildMenu(*this, HelpRows); }

lx::Ref<Menu> Menu::Instance()
{
    if (!s_menu) {
        lx::Ref<Menu> menu = lx::New<Menu>();
        menu->Constructor();
        s_menu = menu;
    }
    return s_menu;
}

void Menu::ReleaseInstance() { s_menu.Reset(); }

}
