#include "ControlWidgets.h"
#include "CursorShape.h"

#include <lxframework/Class.h>
#include <lxframework/PluginObject.h>
#include <lxframework/RectControl.h>
#include <lxframework/Runtime.h>
#include <lxframework/Window.h>

#include <QAbstractScrollArea>
#include <QEvent>
#include <QMouseEvent>

namespace lx {

RectControl::RectControl()
    : mQt(std::make_unique<QtSide>())
{
    mEvents.Declare<void()>("Open");
    mEvents.Declare<void()>("Close");
    mEvents.Declare<void(int32_t, int32_t)>("MouseMove");
    mEvents.Declare<void()>("MouseExit");
    // A plug-in control's construct behaviour runs here, before any setting.
    RunPluginConstructors(*this);
}

RectControl::~RectControl() { RunPluginDestructors(*this); }

QWidget* WidgetOf(const RectControl& control) { return RectControl::QtSide::Of(control).widget; }

QRect BoundsOf(const RectControl& control) { return RectControl::QtSide::Of(control).bounds; }

void RectControl::Attach(Window& window)
{
    mWindow = &window;
    QWidget* widget = CreateControlWidget(*this, ContentOf(window));
    mQt->widget = widget;
    new ControlLink(*this, *widget, widget);
    // A control made without a size takes its class's default one.
    for (const Class* cls = &ObjectClass(); cls; cls = cls->Super()) {
        if (const LxControlRecord* record = cls->ControlRecord()) {
            mQt->bounds.setSize(QSize(static_cast<int>(record->defaultWidth), static_cast<int>(record->defaultHeight)));
            break;
        }
    }
    ApplyGeometry();
    widget->setVisible(mVisible);
}

void RectControl::ApplyGeometry()
{
    if (mQt->widget)
        mQt->widget->setGeometry(mQt->bounds);
}

void RectControl::SetEnabled(bool enabled)
{
    mEnabled = enabled;
    if (mQt->widget)
        mQt->widget->setEnabled(enabled);
}

void RectControl::SetVisible(bool visible)
{
    mVisible = visible;
    if (mQt->widget)
        mQt->widget->setVisible(visible);
}

void RectControl::SetMouseCursor(Ref<lx::MouseCursor> cursor)
{
    mMouseCursor = std::move(cursor);
    if (!mQt->widget)
        return;
    if (mMouseCursor)
        mQt->widget->setCursor(CursorShape(*mMouseCursor));
    else
        mQt->widget->unsetCursor();
}

void RectControl::AddMenuHandler(std::string_view itemName, std::function<bool()> handler)
{
    mMenus.Add(itemName, std::move(handler));
}

bool RectControl::ApplySetting(const Setting& setting)
{
    const std::string& name = setting.Name;
    if (name == "Left")
        mQt->bounds.moveLeft(SettingInteger(setting.Value));
    else if (name == "Top")
        mQt->bounds.moveTop(SettingInteger(setting.Value));
    else if (name == "Width")
        mQt->bounds.setWidth(SettingInteger(setting.Value));
    else if (name == "Height")
        mQt->bounds.setHeight(SettingInteger(setting.Value));
    else if (name == "Visible")
        SetVisible(SettingBoolean(setting.Value));
    else if (name == "Enabled")
        SetEnabled(SettingBoolean(setting.Value));
    else if (name == "HelpTag") {
        if (mQt->widget)
            mQt->widget->setToolTip(ToQString(SettingText(setting.Value)));
    } else if (name == "MouseCursor") {
        const auto* cursor = std::get_if<Ref<Object>>(&setting.Value);
        SetMouseCursor(cursor ? Cast<lx::MouseCursor>(*cursor) : nullptr);
    } else
        return ApplyFontSetting(setting);
    ApplyGeometry();
    return true;
}

bool RectControl::ApplyFontSetting(const Setting& setting)
{
    const std::string& name = setting.Name;
    if (name == "TextFont")
        mFont.family = SettingText(setting.Value);
    else if (name == "TextSize")
        mFont.size = SettingInteger(setting.Value);
    else if (name == "Bold")
        mFont.bold = SettingBoolean(setting.Value);
    else if (name == "Italic")
        mFont.italic = SettingBoolean(setting.Value);
    else if (name == "Underline")
        mFont.underline = SettingBoolean(setting.Value);
    else
        return false;
    ApplyFont();
    return true;
}

QFont RectControl::QtSide::Font(const RectControl& control)
{
    const FontSettings& font = control.mFont;
    return FrameworkFont(font.family, font.size, font.bold, font.italic, font.underline);
}

void RectControl::Open()
{
    if (mOpened || mClosed)
        return;
    // The plug-in opens first: the application's Open relies on what it made.
    if (auto open = reinterpret_cast<LxBehaviourProc>(ObjectClass().Behaviour(LxBehaviourOpen))) {
        CallPlugin([&] { open(ToLx(this)); });
        ThrowPendingException();
    }
    mOpened = true;
    Event_Open();
}

void RectControl::Close()
{
    if (mClosed)
        return;
    Ref<RectControl> self(this);
    Event_Close();
    // From here on no behaviour slot runs, the close slot included only once.
    mClosed = true;
    if (mOpened) {
        if (auto close = reinterpret_cast<LxBehaviourProc>(ObjectClass().Behaviour(LxBehaviourClose)))
            CallPlugin([&] { close(ToLx(this)); });
    }
    mEvents.Clear();
    mMenus.Clear();
    InstalledHandlers().clear();
    mWindow = nullptr;
    ThrowPendingException();
}

ControlLink::ControlLink(RectControl& control, QWidget& widget, QWidget* mouseSource)
    : QObject(&widget)
    , mControl(&control)
    , mWidget(&widget)
{
    setObjectName(QStringLiteral("lxControlLink"));
    if (!mouseSource)
        return;
    mouseSource->setMouseTracking(true);
    mouseSource->installEventFilter(this);
    // A scrolling widget (an edit field) gets the mouse in its viewport, over the text.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(mouseSource)) {
        area->viewport()->setMouseTracking(true);
        area->viewport()->installEventFilter(this);
    }
}

RectControl* ControlLink::ControlOf(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (auto* link = widget->findChild<ControlLink*>(QStringLiteral("lxControlLink"), Qt::FindDirectChildrenOnly))
            return link->mControl.Get();
    }
    return nullptr;
}

bool ControlLink::eventFilter(QObject* watched, QEvent* event)
{
    if (!mControl->IsOpen())
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove && !dynamic_cast<PluginControlWidget*>(mWidget)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // Hover only: a press in progress belongs to the control's own handling.
        if (mouse->buttons() == Qt::NoButton) {
            const QPoint local = static_cast<QWidget*>(watched)->mapTo(mWidget, mouse->position().toPoint());
            Ref<RectControl> control = mControl;
            Dispatch([&] { control->Event_MouseMove(local.x(), local.y()); });
        }
    } else if (event->type() == QEvent::Leave && watched == mWidget) {
        Ref<RectControl> control = mControl;
        Dispatch([&] { control->Event_MouseExit(); });
    }
    return QObject::eventFilter(watched, event);
}

}
