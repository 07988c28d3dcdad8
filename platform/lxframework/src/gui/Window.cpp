#include "ControlWidgets.h"
#include "GuiInternal.h"
#include "PictureImage.h"
#include "PlaceholderControl.h"
#include "PortImage.h"
#include "WindowHints.h"
#include "WindowWidget.h"

#include <lxframework/AppLife.h>
#include <lxframework/Class.h>
#include <lxframework/Picture.h>
#include <lxframework/Runtime.h>
#include <lxframework/Window.h>

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace lx {

namespace {

    constexpr int PlacementCentred = 2;

    std::vector<Ref<Window>>& WindowList()
    {
        static std::vector<Ref<Window>> windows;
        return windows;
    }

    std::vector<Ref<Window>>& ImplicitInstances()
    {
        static std::vector<Ref<Window>> windows;
        return windows;
    }

    void Remove(std::vector<Ref<Window>>& list, const Window* window)
    {
        list.erase(
            std::remove_if(list.begin(), list.end(), [&](const Ref<Window>& entry) { return entry.Get() == window; }),
            list.end());
    }

    // "Cmd+W" as the design writes shortcuts; Command is Control here.
    QKeySequence Shortcut(const std::string& text)
    {
        QString sequence = QString::fromStdString(text);
        sequence.replace(QStringLiteral("Cmd+"), QStringLiteral("Ctrl+"));
        return QKeySequence(sequence);
    }

    void ReleaseAll(std::vector<Ref<Window>>& list)
    {
        std::vector<Ref<Window>> windows = std::move(list);
        list.clear();
        for (const Ref<Window>& window : windows)
            Dispatch([&] { window->Close(); });
    }

}

ContentWidget::ContentWidget(Window& window, QWidget* parent)
    : QWidget(parent)
    , mWindow(&window)
{
}

// Draws through a picture of the content's size, erased with the background,
// so the window's Paint event draws as on any picture.
void ContentWidget::paintEvent(QPaintEvent*)
{
    Ref<Window> window(mWindow);
    Ref<Picture> surface = Picture::New(window->Width(), window->Height());
    if (!surface)
        return;
    QImage background(window->Width(), window->Height(), QImage::Format_RGB32);
    background.fill(BackgroundOf(*window));
    ImageToPort(background, surface->World(), QPoint(0, 0));
    Ref<Graphics> graphics = surface->Graphics();
    Dispatch([&] { window->Event_Paint(*graphics); });
    QPainter painter(this);
    painter.drawImage(0, 0, ToImage(*surface));
}

WindowWidget::WindowWidget(Window& window)
    : mWindow(&window)
    , mLayout(new QVBoxLayout(this))
    , mContent(new ContentWidget(window, this))
{
    mLayout->setContentsMargins(0, 0, 0, 0);
    mLayout->setSpacing(0);
    mLayout->addWidget(mContent);
}

void WindowWidget::SetMenuBar(QMenuBar* bar)
{
    delete mBar;
    mBar = bar;
    mLayout->setMenuBar(bar);
}

void WindowWidget::closeEvent(QCloseEvent* event)
{
    // The close box: the window closes through the framework, events and all.
    Ref<Window> window = mWindow;
    if (window->IsOpen())
        Dispatch([&] { window->Close(); });
    event->accept();
}

void WindowWidget::showEvent(QShowEvent* event)
{
    // The native window exists and is not mapped yet: the window manager reads
    // the hints when it maps the window.
    if (!mResizeable)
        AdvertiseFixedSize(*this);
    QWidget::showEvent(event);
}

Window::Window()
    : mQt(std::make_unique<QtSide>())
{
    static_assert(NoMaximumSize == QWIDGETSIZE_MAX);
}

Window::~Window() { DisposeWindowReference(mPlatformWindow); }

QWidget* WidgetOf(const Window& window) { return Window::QtSide::Of(window).widget; }

QWidget* ContentOf(const Window& window)
{
    WindowWidget* widget = Window::QtSide::Of(window).widget;
    return widget ? widget->Content() : nullptr;
}

QColor BackgroundOf(const Window& window)
{
    if (window.HasBackColor())
        return QColor(QRgb(window.BackColor().rgb));
    QWidget* widget = WidgetOf(window);
    return widget ? widget->palette().color(QPalette::Window) : QColor(Qt::white);
}

void Window::Constructor()
{
    if (mConstructed)
        return;
    mConstructed = true;
    Ref<Window> self(this);
    Build();
    Layout();
    CreateControls();
    AddMenuHandlers();
    // Every control exists before the first Open; controls open before the window.
    for (const Ref<RectControl>& control : std::vector(mControls)) {
        if (mOpen)
            control->Open();
    }
    if (mOpen)
        Event_Open();
    if (mOpen && mVisible && !QuitRequested())
        Show();
}

void Window::Build()
{
    EnsureApplication();
    mQt->widget = new WindowWidget(*this);
    mPlatformWindow = NewWindowReference(static_cast<int16_t>(mWidth), static_cast<int16_t>(mHeight));
    SetWindowFlushHook(mPlatformWindow, &Window::OnFlush, this);
    SetWindowAttributesHook(mPlatformWindow, &Window::OnAttributes, this);
    mOpen = true;
    WindowList().push_back(Ref<Window>(this));
    ApplyContentSize();
    ApplyFrame();
}

void Window::ApplyContentSize()
{
    if (!mQt->widget)
        return;
    ContentWidget* content = mQt->widget->Content();
    if (mResizeable) {
        content->setMinimumSize(mMinWidth, mMinHeight);
        content->setMaximumSize(mMaxWidth, mMaxHeight);
        mQt->widget->resize(mWidth, mHeight + (mQt->widget->Bar() ? mQt->widget->Bar()->sizeHint().height() : 0));
    } else {
        content->setFixedSize(mWidth, mHeight);
    }
    mQt->widget->layout()->setSizeConstraint(mResizeable ? QLayout::SetDefaultConstraint : QLayout::SetFixedSize);
    mQt->widget->SetResizeable(mResizeable);
    SetWindowContentSize(mPlatformWindow, static_cast<int16_t>(mWidth), static_cast<int16_t>(mHeight));
}

void Window::ApplyFrame()
{
    if (!mQt->widget)
        return;
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    WindowAttributes attributes = 0;
    GetWindowAttributes(mPlatformWindow, &attributes);
    if (mCloseButton)
        flags |= Qt::WindowCloseButtonHint;
    if (mMinimizeButton)
        flags |= Qt::WindowMinimizeButtonHint;
    // A window that cannot be resized cannot be maximised either.
    if (mMaximizeButton && mResizeable)
        flags |= Qt::WindowMaximizeButtonHint;
    // Keep the OS layer's view of the frame the same as ours.
    attributes = mCloseButton ? attributes | kWindowCloseBoxAttribute : attributes & ~kWindowCloseBoxAttribute;
    attributes = mMinimizeButton ? attributes | kWindowCollapseBoxAttribute : attributes & ~kWindowCollapseBoxAttribute;
    SetWindowAttributesHook(mPlatformWindow, nullptr, nullptr);
    ChangeWindowAttributes(mPlatformWindow, attributes, ~attributes);
    SetWindowAttributesHook(mPlatformWindow, &Window::OnAttributes, this);
    // Changing flags hides a visible window; change them only when they differ.
    if (mQt->widget->windowFlags() == flags)
        return;
    const bool visible = mQt->widget->isVisible();
    mQt->widget->setWindowFlags(flags);
    if (visible)
        mQt->widget->show();
}

void Window::OnAttributes(WindowRef, WindowAttributes attributes, void* context)
{
    auto* window = static_cast<Window*>(context);
    window->mMinimizeButton = (attributes & kWindowCollapseBoxAttribute) != 0;
    window->mCloseButton = (attributes & kWindowCloseBoxAttribute) != 0;
    window->ApplyFrame();
}

void Window::OnFlush(WindowRef, const Rect* rect, void* context)
{
    auto* window = static_cast<Window*>(context);
    const QRect flushed(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1));
    for (const Ref<RectControl>& control : std::vector(window->mControls)) {
        if (auto* widget = dynamic_cast<PluginControlWidget*>(WidgetOf(*control)))
            widget->Present(flushed);
    }
}

void Window::Show()
{
    if (!mOpen || !mQt->widget)
        return;
    if (!mQt->widget->Bar())
        RebuildMenuBar();
    if (!mQt->widget->isVisible() && mPlacement == PlacementCentred) {
        mQt->widget->adjustSize();
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = mQt->widget->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            mQt->widget->move(frame.topLeft());
        }
    }
    // Every Show brings the window up, also one the user minimised.
    mQt->widget->setWindowState(mQt->widget->windowState() & ~Qt::WindowMinimized);
    mQt->widget->show();
    mQt->widget->raise();
    mQt->widget->activateWindow();
}

void Window::Close()
{
    if (!mOpen || mClosing)
        return;
    mClosing = true;
    // Kept alive until the caller, maybe a handler of this window, has returned.
    Ref<Window> self(this);
    for (const Ref<RectControl>& control : std::vector(mControls))
        control->Close();
    Event_Close();
    mOpen = false;
    Remove(WindowList(), this);
    Remove(ImplicitInstances(), this);
    SetWindowFlushHook(mPlatformWindow, nullptr, nullptr);
    if (mQt->widget) {
        mQt->widget->hide();
        mQt->widget->deleteLater();
    }
}

void Window::SetTitle(std::string_view title)
{
    mTitle = title;
    if (mQt->widget)
        mQt->widget->setWindowTitle(ToQString(title));
}

void Window::SetMinimizeButton(bool shown)
{
    mMinimizeButton = shown;
    ApplyFrame();
}

void Window::SetMenuBar(Ref<lx::MenuBar> bar)
{
    mMenuBar = std::move(bar);
    if (mQt->widget && mQt->widget->Bar())
        RebuildMenuBar();
}

void Window::RebuildMenuBar()
{
    Ref<lx::MenuBar> model = mMenuBar;
    if (!model) {
        if (Ref<Application> app = getAppObject())
            model = app->MenuBar;
    }
    if (!model || !mMenuBarVisible) {
        mQt->widget->SetMenuBar(nullptr);
        return;
    }
    auto* bar = new QMenuBar(mQt->widget);
    for (const Ref<MenuItem>& title : model->Children()) {
        // Menu titles stay enabled, whatever their AutoEnable says.
        QMenu* menu = bar->addMenu(ToQString(title->Text));
        for (const Ref<MenuItem>& item : title->Children()) {
            if (item->IsSeparator()) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(ToQString(item->Text));
            action->setShortcut(Shortcut(item->KeyboardShortcut));
            action->setEnabled(item->AutoEnable);
            QObject::connect(action, &QAction::triggered, mQt->widget, [this, name = item->Name] {
                Ref<Window> self(this);
                Dispatch([&] { self->DispatchMenu(name); });
            });
        }
    }
    mQt->widget->SetMenuBar(bar);
}

void Window::DispatchMenu(std::string_view itemName)
{
    Ref<Window> self(this);
    if (QWidget* focus = QApplication::focusWidget(); focus && mQt->widget && mQt->widget->isAncestorOf(focus)) {
        if (RectControl* control = ControlLink::ControlOf(focus)) {
            Ref<RectControl> keep(control);
            if (control->Menus().Invoke(itemName))
                return;
        }
    }
    if (mMenus.Invoke(itemName))
        return;
    Ref<Application> app = getAppObject();
    if (app && app->Menus().Invoke(itemName))
        return;
    Ref<lx::MenuBar> model = mMenuBar ? mMenuBar : (app ? app->MenuBar : nullptr);
    Ref<MenuItem> item = model ? model->Lookup(itemName) : nullptr;
    if (item && item->QuitsByDefault())
        Quit(0);
}

Ref<RectControl> Window::New(std::string_view className)
{
    const Class* cls = FindClass(className);
    if (!cls) {
        DebugLog("no control class " + std::string(className) + "; a placeholder stands in");
        cls = &ClassOf<PlaceholderControl>();
    }
    return New(*cls);
}

Ref<RectControl> Window::New(const Class& controlClass)
{
    const Class* cls = &controlClass;
    if (!cls->IsComplete() || !cls->IsSubclassOf(ClassOf<RectControl>())) {
        DebugLog("the control class " + cls->Name() + " is not available; a placeholder stands in");
        cls = &ClassOf<PlaceholderControl>();
    }
    Ref<RectControl> control = Cast<RectControl>(RuntimeNewObject(*cls));
    if (!control)
        return nullptr;
    control->Attach(*this);
    mControls.push_back(control);
    return control;
}

void Window::AddControl(std::string_view name, const Ref<RectControl>& control)
{
    if (control)
        control->SetName(name);
}

Ref<RectControl> Window::ControlByName(std::string_view name) const
{
    for (const Ref<RectControl>& control : mControls) {
        if (control->Name() == name)
            return control;
    }
    return nullptr;
}

void Window::AddMenuHandler(std::string_view itemName, std::function<bool()> handler)
{
    mMenus.Add(itemName, std::move(handler));
}

bool Window::ApplySetting(const Setting& setting)
{
    const std::string& name = setting.Name;
    const SettingValue& value = setting.Value;
    if (name == "Width")
        mWidth = SettingInteger(value);
    else if (name == "Height")
        mHeight = SettingInteger(value);
    else if (name == "MinWidth")
        mMinWidth = SettingInteger(value);
    else if (name == "MinHeight")
        mMinHeight = SettingInteger(value);
    else if (name == "MaxWidth")
        mMaxWidth = SettingInteger(value);
    else if (name == "MaxHeight")
        mMaxHeight = SettingInteger(value);
    else if (name == "Resizeable")
        mResizeable = SettingBoolean(value);
    else if (name == "Placement")
        mPlacement = SettingInteger(value);
    else if (name == "Title")
        SetTitle(SettingText(value));
    else if (name == "Visible")
        mVisible = SettingBoolean(value);
    else if (name == "CloseButton")
        mCloseButton = SettingBoolean(value);
    else if (name == "MinimizeButton")
        mMinimizeButton = SettingBoolean(value);
    else if (name == "MaximizeButton")
        mMaximizeButton = SettingBoolean(value);
    else if (name == "MenuBarVisible")
        mMenuBarVisible = SettingBoolean(value);
    else if (name == "HasBackColor")
        mHasBackColor = SettingBoolean(value);
    else if (name == "BackColor")
        mBackColor = SettingColor(value);
    else
        return false;
    ApplyContentSize();
    ApplyFrame();
    if (mQt->widget)
        mQt->widget->update();
    return true;
}

Ref<RectControl> RuntimeWindowControlByName(Window* window, std::string_view name)
{
    return window ? window->ControlByName(name) : nullptr;
}

std::vector<Ref<Window>> RuntimeWindowList() { return WindowList(); }

Ref<Window> RuntimeImplicitInstance(std::string_view className)
{
    for (const Ref<Window>& window : ImplicitInstances()) {
        if (window->ObjectClass().Name() == className)
            return window;
    }
    return nullptr;
}

void RuntimeRegisterImplicitInstance(const Ref<Window>& window)
{
    if (window && !RuntimeImplicitInstance(window->ObjectClass().Name()))
        ImplicitInstances().push_back(window);
}

void RuntimeReleaseWindowList() { ReleaseAll(WindowList()); }

void RuntimeReleaseImplicitInstances() { ReleaseAll(ImplicitInstances()); }

}
