#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QTimer>

using namespace lx;

namespace {

int gCloseEvents = 0;
bool gOpenAfterQuit = false;

// Quits from its Close event, as the game's main window does.
class QuittingWindow : public Window {
public:
    void Event_Close() override
    {
        ++gCloseEvents;
        Quit(0);
    }
};

class QuittingApp : public Application {
public:
    void Event_Open() override
    {
        Ref<QuittingWindow> window = New<QuittingWindow>();
        window->Constructor();
        Quit(3);
        Quit(5);
        gOpenAfterQuit = window->IsOpen();
    }
};

class PlainWindow : public Window { };
Ref<Window> gLeftOpen;

// Fails with a window open, so nothing has closed it when the loop ends.
class FailingApp : public Application {
public:
    void Event_Open() override
    {
        gLeftOpen = OpenWindow<PlainWindow>("QuitPlainWindow");
        Throw<NilObjectException>("no object");
    }
};

// Asks to quit from inside a real message box's own loop, then closes the box.
Ref<Window> gBehindMessage;
class MessageApp : public Application {
public:
    void Event_Open() override
    {
        gBehindMessage = OpenWindow<PlainWindow>("QuitPlainWindow");
        QTimer::singleShot(0, [] {
            Quit(7);
            QTimer::singleShot(0, [] {
                if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    box->reject();
            });
        });
        // Ends a loop the quit failed to end, with the window still open.
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        MsgBox("about to quit");
    }
};

}

TEST(Quit, IsDeferredIdempotentFirstCodeWinsAndClosesWindowsOnce)
{
    viewplugin::Register();
    RegisterClass<QuittingWindow>("QuittingWindow", "Window");
    RegisterClass<QuittingApp>("QuittingApp", "Application");
    RuntimeRegisterAppObject(New<QuittingApp>());
    RuntimeRun();
    EXPECT_TRUE(gOpenAfterQuit);
    EXPECT_EQ(gCloseEvents, 1);
    EXPECT_TRUE(RuntimeWindowList().empty());
    EXPECT_EQ(RuntimeExit(), 3);
}

TEST(Quit, UnhandledExceptionEndsTheLoopAndTheStatusIsAFailure)
{
    viewplugin::Register();
    RegisterClass<FailingApp>("FailingApp", "Application");
    RuntimeRegisterAppObject(New<FailingApp>());
    MessageCapture capture;
    try {
        RuntimeRun();
        ADD_FAILURE() << "RuntimeRun returned normally";
    } catch (const Exception& exception) {
        EXPECT_TRUE(exception.Is<NilObjectException>());
        RuntimeUnhandledException(exception);
    }
    ASSERT_EQ(capture.Messages.size(), 1u);
    EXPECT_NE(capture.Messages[0].find("NilObjectException"), std::string::npos);
    ASSERT_TRUE(gLeftOpen->IsOpen());
    EXPECT_EQ(RuntimeExit(), 1);
    EXPECT_FALSE(gLeftOpen->IsOpen()) << "the exit closes the windows left open";
    EXPECT_TRUE(RuntimeWindowList().empty());
    gLeftOpen.Reset();
}

TEST(Quit, AskedWhileAMessageShowsTakesEffectOnceItCloses)
{
    RegisterClass<MessageApp>("MessageApp", "Application");
    RuntimeRegisterAppObject(New<MessageApp>());
    RuntimeRun();
    EXPECT_FALSE(gBehindMessage->IsOpen()) << "the quit closed the windows";
    EXPECT_EQ(RuntimeExit(), 7);
    gBehindMessage.Reset();
}
