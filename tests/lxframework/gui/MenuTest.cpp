#include "GuiTestSupport.h"

#include <lxframework/EditField.h>
#include <lxframework/MenuItem.h>

#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

using namespace lx;

namespace {

template <class T> Ref<T> Item(const char* name, const char* text, const char* shortcut = "")
{
    Ref<T> item = New<T>();
    SetProperties(
        *item, { { "Name", name }, { "AutoEnable", true }, { "Text", text }, { "KeyboardShortcut", shortcut } });
    return item;
}

// File (Close, -, Quit) and Help (About), as the game's bar has them.
Ref<MenuBar> GameMenuBar()
{
    Ref<MenuBar> bar = New<MenuBar>();
    Ref<MenuItem> file = Item<MenuItem>("FileMenu", "File");
    file->Append(Item<MenuItem>("FileClose", "Close", "Cmd+W"));
    file->Append(Item<MenuItem>("Separator", "-"));
    file->Append(Item<QuitMenuItem>("FileQuit", "Quit", "Cmd+Q"));
    Ref<MenuItem> help = Item<MenuItem>("HelpMenu", "Help");
    help->AutoEnable = false;
    help->Append(Item<AppleMenuItem>("HelpAbout", "About"));
    bar->Append(file);
    bar->Append(help);
    return bar;
}

class TestApp : public Application { };

// A window that handles File > Close by closing itself, as the About window does.
class ClosingWindow : public Window {
public:
    void AddMenuHandlers() override
    {
        AddMenuHandler("FileClose", [this] {
            Journal().push_back("window FileClose");
            Close();
            Journal().push_back(IsOpen() ? "still open" : "closed, handler still running");
            return false;
        });
    }
};

class PlainWindow : public Window {
public:
    void CreateControls() override
    {
        Ref<RectControl> field = New("EditField");
        AddControl("Field", field);
        SetProperties(*field, { { "Width", 100 }, { "Height", 50 } });
        field->AddMenuHandler("FileClose", [] {
            Journal().push_back("field FileClose");
            return false;
        });
    }
    void AddMenuHandlers() override
    {
        AddMenuHandler("HelpAbout", [] {
            Journal().push_back("window HelpAbout");
            return true;
        });
    }
};

void SetUpApplication()
{
    viewplugin::Register();
    if (getAppObject())
        return;
    if (!FindClass("TestApp") || FindClass("TestApp")->ClassKind() == Class::Kind::Stub)
        RegisterClass<TestApp>("TestApp", "Application");
    Ref<Application> app = New<TestApp>();
    app->MenuBar = GameMenuBar();
    app->AddMenuHandler("FileClose", [] {
        Journal().push_back("app FileClose");
        return false;
    });
    app->AddMenuHandler("HelpAbout", [] {
        Journal().push_back("app HelpAbout");
        return false;
    });
    RuntimeRegisterAppObject(app);
}

}

TEST(MenuModel, LookupFindsItemsAtAnyDepthAndChildFindsMenus)
{
    SetUpApplication();
    Ref<MenuBar> bar = GameMenuBar();
    EXPECT_EQ(bar->Child("FileMenu")->Text, "File");
    EXPECT_FALSE(bar->Child("FileClose"));
    EXPECT_EQ(bar->Lookup("FileQuit")->KeyboardShortcut, "Cmd+Q");
    EXPECT_FALSE(bar->Lookup("NoSuchItem"));
}

TEST(MenuDispatch, CloseInOneWindowClosesOnlyThatWindow)
{
    SetUpApplication();
    Journal().clear();
    Ref<PlainWindow> main = OpenWindow<PlainWindow>("PlainWindow");
    Ref<ClosingWindow> about = OpenWindow<ClosingWindow>("ClosingWindow");
    test::ChooseMenuItem(*about, "FileClose");
    const std::vector<std::string> expected { "window FileClose", "closed, handler still running", "app FileClose" };
    EXPECT_EQ(Journal(), expected);
    EXPECT_FALSE(about->IsOpen());
    EXPECT_TRUE(main->IsOpen());
    EXPECT_FALSE(test::QuitRequested());
    ProcessEvents();
    main->Close();
}

TEST(MenuDispatch, TrueFromTheWindowStopsTheChainFalseGoesOnToTheApplication)
{
    SetUpApplication();
    Journal().clear();
    Ref<PlainWindow> window = OpenWindow<PlainWindow>("PlainWindow");
    test::ChooseMenuItem(*window, "HelpAbout");
    EXPECT_EQ(Journal(), std::vector<std::string> { "window HelpAbout" });
    Journal().clear();
    test::ChooseMenuItem(*window, "FileClose");
    EXPECT_EQ(Journal(), std::vector<std::string> { "app FileClose" });
    window->Close();
}

TEST(MenuDispatch, FocusedControlComesFirst)
{
    SetUpApplication();
    Journal().clear();
    Ref<PlainWindow> window = OpenWindow<PlainWindow>("PlainWindow");
    QApplication::setActiveWindow(WidgetOf(*window));
    WidgetOf(*RuntimeWindowControlByName(window.Get(), "Field"))->setFocus();
    ProcessEvents();
    test::ChooseMenuItem(*window, "FileClose");
    const std::vector<std::string> expected { "field FileClose", "app FileClose" };
    EXPECT_EQ(Journal(), expected);
    window->Close();
}

TEST(MenuDispatch, QuitItemWithoutATakingHandlerQuits)
{
    SetUpApplication();
    Ref<PlainWindow> window = OpenWindow<PlainWindow>("PlainWindow");
    test::ChooseMenuItem(*window, "FileQuit");
    EXPECT_TRUE(test::QuitRequested());
    EXPECT_EQ(test::QuitCode(), 0);
    window->Close();
}

TEST(MenuBarWidgets, WindowWithoutItsOwnBarShowsTheApplicationsWithControlShortcuts)
{
    SetUpApplication();
    Ref<PlainWindow> window = OpenWindow<PlainWindow>("PlainWindow");
    auto* bar = WidgetOf(*window)->findChild<QMenuBar*>();
    ASSERT_TRUE(bar);
    const auto menus = bar->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "File");
    // Title rows are enabled whatever their AutoEnable says.
    EXPECT_TRUE(menus[1]->isEnabled());
    const auto items = menus[0]->menu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->shortcut(), QKeySequence("Ctrl+W"));
    EXPECT_TRUE(items[1]->isSeparator());
    window->Close();
}

TEST(MenuBarWidgets, WindowWithItsMenuBarHiddenShowsNoneThoughItGaveItsOwnBarFirst)
{
    SetUpApplication();
    class HiddenBarWindow : public Window {
    public:
        void Layout() override
        {
            SetMenuBar(GameMenuBar());
            SetProperties(*this, { { "MenuBarVisible", false } });
        }
    };
    Ref<HiddenBarWindow> window = OpenWindow<HiddenBarWindow>("HiddenBarWindow");
    EXPECT_FALSE(WidgetOf(*window)->findChild<QMenuBar*>());
    window->Close();
}
