#include "CursorShape.h"
#include "GuiInternal.h"
#include "TestHooks.h"

#include <lxframework/AppLife.h>
#include <lxframework/Keyboard.h>
#include <lxframework/MouseCursor.h>
#include <lxframework/Runtime.h>
#include <lxframework/UserMessages.h>
#include <lxframework/WaitCursor.h>
#include <lxframework/Window.h>

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QInputEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <optional>

namespace lx {

namespace {

    constexpr int DefaultWaitCursorDelay = 1000;
    constexpr int UnhandledExitStatus = 1;

    // Everything the running application keeps: one of each, one thread.
    struct ApplicationState {
        QApplication* qtApplication = nullptr;
        QPointer<QApplication> prepared; // the Qt application our settings and input watcher are on
        Ref<Application> app;
        bool quitRequested = false;
        bool quitAfterModal = false;
        int32_t quitCode = 0;
        Ref<Object> unhandled;
        bool reportedUnhandled = false;
        int modalDepth = 0;
        int dispatchDepth = 0;
        QElapsedTimer dispatchTimer;
        bool autoWaitCursor = true;
        bool waitCursorShown = false;
        int waitCursorDelay = DefaultWaitCursorDelay;
        bool overrideCursorSet = false;
        bool contextualClick = false;
        Qt::KeyboardModifiers modifiers;
        std::function<void(std::string_view)> messageCapture;
        std::function<void(std::string_view)> urlCapture;
    };

    ApplicationState& State()
    {
        static ApplicationState state;
        return state;
    }

    // Watches input so Keyboard.AsyncControlKey answers from the latest event.
    class InputWatcher : public QObject {
    public:
        using QObject::QObject;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseMove:
                State().modifiers = static_cast<QInputEvent*>(event)->modifiers();
                break;
            default:
                break;
            }
            return QObject::eventFilter(watched, event);
        }
    };

    void RecordUnhandled(Ref<Object> exception)
    {
        if (State().unhandled || !exception)
            return;
        State().unhandled = std::move(exception);
        if (QCoreApplication::instance())
            QCoreApplication::exit(UnhandledExitStatus);
    }

    // Ends the loop once the handler that asked has returned: every window
    // closes (their Close events run, a Quit from them does nothing), then
    // RuntimeRun returns.
    void FinishQuit()
    {
        if (State().modalDepth > 0) {
            State().quitAfterModal = true;
            return;
        }
        for (const Ref<Window>& window : RuntimeWindowList())
            Dispatch([&] { window->Close(); });
        QCoreApplication::exit(0);
    }

    void ShowWaitCursor(bool shown)
    {
        if (State().waitCursorShown == shown)
            return;
        State().waitCursorShown = shown;
        UpdateApplicationCursor();
    }

    // The extent of one dispatch, for the automatic wait cursor.
    class DispatchScope {
    public:
        DispatchScope()
        {
            if (State().dispatchDepth++ == 0)
                State().dispatchTimer.start();
        }
        ~DispatchScope()
        {
            if (--State().dispatchDepth == 0)
                ShowWaitCursor(false);
        }
    };

}

QApplication* EnsureApplication()
{
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!application) {
        static int argc = 1;
        static char name[] = "terraslide";
        static char* argv[] = { name, nullptr };
        application = State().qtApplication = new QApplication(argc, argv);
    }
    // A Qt application made by someone else (a test harness) gets the same
    // settings, so the framework behaves the same inside it.
    if (State().prepared != application) {
        QApplication::setQuitOnLastWindowClosed(false);
        // Where a window's title is empty the window system shows this name.
        QApplication::setApplicationDisplayName(QStringLiteral(TERRASLIDE_APPLICATION_NAME));
        application->installEventFilter(new InputWatcher(application));
        State().prepared = application;
    }
    return application;
}

void Dispatch(const std::function<void()>& body)
{
    DispatchScope scope;
    try {
        body();
        ThrowPendingException();
    } catch (const Exception& exception) {
        RecordUnhandled(exception.ExceptionObject());
    } catch (const std::exception& exception) {
        try {
            Throw<RuntimeException>(exception.what());
        } catch (const Exception& wrapped) {
            RecordUnhandled(wrapped.ExceptionObject());
        }
    } catch (...) {
        try {
            Throw<RuntimeException>("unknown C++ exception");
        } catch (const Exception& wrapped) {
            RecordUnhandled(wrapped.ExceptionObject());
        }
    }
}

QString ToQString(std::string_view text)
{
    QString converted = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    converted.replace(QChar('\r'), QChar('\n'));
    return converted;
}

std::string FromQString(const QString& text)
{
    QString plain = text;
    // Qt's own paragraph and line separators read as plain line ends.
    plain.replace(QChar::ParagraphSeparator, QChar('\n'));
    plain.replace(QChar::LineSeparator, QChar('\n'));
    return plain.toStdString();
}

QFont FrameworkFont(const std::string& family, int size, bool bold, bool italic, bool underline)
{
    constexpr int SystemPixelSize = 12;
    constexpr int SmallSystemPixelSize = 10;
    EnsureApplication();
    QFont font = QApplication::font();
    int defaultSize = SystemPixelSize;
    if (family == "SmallSystem")
        defaultSize = SmallSystemPixelSize;
    else if (family != "System" && !family.empty())
        font.setFamily(QString::fromStdString(family));
    font.setPixelSize(size > 0 ? size : defaultSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

void NotePress(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    State().modifiers = modifiers;
    State().contextualClick
        = button == Qt::RightButton || (button == Qt::LeftButton && modifiers.testFlag(Qt::ControlModifier));
}

void UpdateApplicationCursor()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    std::optional<QCursor> wanted;
    if (State().waitCursorShown)
        wanted = QCursor(Qt::WaitCursor);
    else if (State().app && State().app->MouseCursor())
        wanted = CursorShape(*State().app->MouseCursor());
    if (!wanted) {
        if (State().overrideCursorSet)
            QApplication::restoreOverrideCursor();
        State().overrideCursorSet = false;
    } else if (State().overrideCursorSet) {
        QApplication::changeOverrideCursor(*wanted);
    } else {
        QApplication::setOverrideCursor(*wanted);
        State().overrideCursorSet = true;
    }
}

bool QuitRequested() { return State().quitRequested; }

void RuntimeRegisterAppObject(const Ref<Application>& app) { State().app = app; }

Ref<Application> getAppObject() { return State().app; }

void RuntimeRun()
{
    EnsureApplication();
    if (!State().quitRequested) {
        QTimer::singleShot(0, [] {
            if (Ref<Application> app = State().app)
                Dispatch([&] { app->Event_Open(); });
        });
    }
    QApplication::exec();
    if (Ref<Object> unhandled = std::move(State().unhandled))
        throw Exception(std::move(unhandled));
}

void RuntimeUnhandledException(const Exception& exception)
{
    State().reportedUnhandled = true;
    const std::string text = std::string("Unhandled exception: ") + exception.what();
    std::fprintf(stderr, "%s\n", text.c_str());
    DebugLog(text);
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        MsgBox(text);
}

int RuntimeExit()
{
    RuntimeReleaseWindowList();
    RuntimeReleaseImplicitInstances();
    State().app.Reset();
    UpdateApplicationCursor();
    if (State().qtApplication) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete State().qtApplication;
        State().qtApplication = nullptr;
    }
    const int status = State().reportedUnhandled ? UnhandledExitStatus : State().quitCode;
    // The runtime is back where it started, so a program (or a test) may run it again.
    State().quitRequested = false;
    State().quitAfterModal = false;
    State().quitCode = 0;
    State().reportedUnhandled = false;
    return status;
}

void Quit(int32_t code)
{
    if (State().quitRequested)
        return;
    State().quitRequested = true;
    State().quitCode = code;
    if (QCoreApplication::instance())
        QTimer::singleShot(0, &FinishQuit);
}

void MsgBox(std::string_view text)
{
    if (State().messageCapture) {
        State().messageCapture(text);
        return;
    }
    EnsureApplication();
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), ToQString(text), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    ++State().modalDepth;
    box.exec();
    --State().modalDepth;
    if (State().modalDepth == 0 && std::exchange(State().quitAfterModal, false))
        QTimer::singleShot(0, &FinishQuit);
}

void ShowURL(std::string_view url)
{
    const QUrl address(ToQString(url));
    if (!address.isValid() || (address.scheme() != "http" && address.scheme() != "https")) {
        DebugLog("ShowURL ignored an address that is not a web address: " + std::string(url));
        return;
    }
    if (State().urlCapture) {
        State().urlCapture(url);
        return;
    }
    QDesktopServices::openUrl(address);
}

void DisableAutoWaitCursor()
{
    State().autoWaitCursor = false;
    ShowWaitCursor(false);
}

void EnableAutoWaitCursor() { State().autoWaitCursor = true; }

void RuntimeYield()
{
    if (State().autoWaitCursor && State().dispatchDepth > 0
        && State().dispatchTimer.elapsed() >= State().waitCursorDelay)
        ShowWaitCursor(true);
}

bool IsContextualClick() { return State().contextualClick; }

bool Keyboard::AsyncControlKey() { return State().modifiers.testFlag(Qt::ControlModifier); }

Ref<MouseCursor> System::Cursors::FingerPointer()
{
    return NewMouseCursor(QCursor(Qt::PointingHandCursor), "FingerPointer");
}

void Application::SetMouseCursor(Ref<lx::MouseCursor> cursor)
{
    mMouseCursor = std::move(cursor);
    if (State().app.Get() == this)
        UpdateApplicationCursor();
}

namespace test {

    void CaptureMessageBoxes(std::function<void(std::string_view)> capture)
    {
        State().messageCapture = std::move(capture);
    }

    void CaptureShownURLs(std::function<void(std::string_view)> capture) { State().urlCapture = std::move(capture); }

    bool QuitRequested() { return State().quitRequested; }

    int32_t QuitCode() { return State().quitCode; }

    void KeyModifiers(Qt::KeyboardModifiers modifiers) { State().modifiers = modifiers; }

    std::string ApplicationCursorIdentity()
    {
        if (State().waitCursorShown)
            return "Wait";
        if (State().app && State().app->MouseCursor())
            return State().app->MouseCursor()->Identity();
        return {};
    }

    bool AutoWaitCursorEnabled() { return State().autoWaitCursor; }

    bool WaitCursorShown() { return State().waitCursorShown; }

    void SetWaitCursorDelay(int milliseconds) { State().waitCursorDelay = milliseconds; }

}

}
