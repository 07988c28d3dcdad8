#include "TestHooks.h"
#include "ControlWidgets.h"

#include <QApplication>
#include <QMouseEvent>

namespace lx {

void SeedRnd(uint64_t seed);

namespace test {

    namespace {
        void SendMouse(RectControl& control, QEvent::Type type, QPoint point, Qt::MouseButton button,
            Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
        {
            QWidget* widget = WidgetOf(control);
            if (!widget)
                return;
            // An edit field takes the mouse in its viewport.
            QWidget* target = widget->childAt(point);
            if (!target || target->objectName() == QLatin1String("qt_scrollarea_vcontainer"))
                target = widget;
            const QPointF local = target->mapFrom(widget, point);
            QMouseEvent event(type, local, target->mapToGlobal(local), button, buttons, modifiers);
            QApplication::sendEvent(target, &event);
        }
    }

    Ref<Window> FindWindow(std::string_view name)
    {
        for (const Ref<Window>& window : RuntimeWindowList()) {
            if (window->Title() == name || window->ObjectClass().Name() == name)
                return window;
        }
        return nullptr;
    }

    void SeedRnd(uint64_t seed) { lx::SeedRnd(seed); }

    void ChooseMenuItem(Window& window, std::string_view itemName)
    {
        Ref<Window> keep(&window);
        Dispatch([&] { window.DispatchMenu(itemName); });
    }

    void MousePress(RectControl& control, QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
    {
        SendMouse(control, QEvent::MouseButtonPress, point, button, button, modifiers);
    }

    void MouseMove(RectControl& control, QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
    {
        SendMouse(control, QEvent::MouseMove, point, Qt::NoButton, buttons, modifiers);
    }

    void MouseRelease(RectControl& control, QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
    {
        SendMouse(control, QEvent::MouseButtonRelease, point, button, Qt::NoButton, modifiers);
    }

    int PresentCount(const RectControl& control)
    {
        auto* widget = dynamic_cast<PluginControlWidget*>(WidgetOf(control));
        return widget ? widget->PresentCount() : 0;
    }

    QImage PresentedFrame(const RectControl& control)
    {
        auto* widget = dynamic_cast<PluginControlWidget*>(WidgetOf(control));
        return widget ? widget->Shown() : QImage();
    }

}

}
