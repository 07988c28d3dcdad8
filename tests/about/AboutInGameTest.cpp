#include "GameRun.h"
#include "Widgets.h"

#include <about/AboutWinSetup.h>
#include <about/AboutWindow.h>
#include <game/Resources.h>

#include <QAction>
#include <QKeySequence>
#include <QWidget>

#include <gtest/gtest.h>

using namespace lx;

namespace {

// The menu bar's action with that shortcut in the window, or null.
QAction* ActionWithShortcut(const Window& window, const char* shortcut)
{
    for (QAction* action : WidgetOf(window)->findChildren<QAction*>()) {
        if (action->shortcut() == QKeySequence(QString::fromLatin1(shortcut)))
            return action;
    }
    return nullptr;
}

}

TEST(AboutInGame, FileCloseInTheAboutWindowClosesOnlyItAndTheGameGoesOn)
{
    const int status = RunGame([](game::MainWindow& window) {
        test::ChooseMenuItem(window, "HelpAbout");
        Ref<Window> about = test::FindWindow(about::AboutWindow::ClassName);
        ASSERT_TRUE(about);
        // Its icon is the game's globe.
        EXPECT_EQ(about::AboutWinSetup::AppIcon(), game::GlobeIcon());
        EXPECT_EQ(about::AboutWinSetup::AppIconMask(), game::GlobeMask());
        // The About window shows the game's menu bar; its Close is the About window's own.
        QAction* close = ActionWithShortcut(*about, "Ctrl+W");
        ASSERT_NE(close, nullptr);
        close->trigger();
        EXPECT_FALSE(about->IsOpen());
        EXPECT_TRUE(window.IsOpen());
        EXPECT_FALSE(test::QuitRequested());

        test::ChooseMenuItem(window, "HelpAbout");
        Ref<Window> reopened = test::FindWindow(about::AboutWindow::ClassName);
        ASSERT_TRUE(reopened);
        EXPECT_NE(reopened, about);
    });
    EXPECT_EQ(status, 0);
}
