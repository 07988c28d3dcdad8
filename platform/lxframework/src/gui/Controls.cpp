#include "ControlWidgets.h"
#include "GuiInternal.h"
#include "PictureImage.h"
#include "PortImage.h"

#include <lxframework/Canvas.h>
#include <lxframework/Class.h>
#include <lxframework/EditField.h>
#include <lxframework/Picture.h>
#include <lxframework/PushButton.h>
#include <lxframework/Slider.h>
#include <lxframework/StaticText.h>
#include <lxframework/Window.h>

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

namespace lx {

namespace {

    constexpr int AlignLeft = 0;
    constexpr int AlignCentre = 1;
    constexpr int AlignRight = 2;

    Qt::Alignment TextAlignment(int32_t align)
    {
        switch (align) {
        case AlignCentre:
            return Qt::AlignHCenter | Qt::AlignTop;
        case AlignRight:
            return Qt::AlignRight | Qt::AlignTop;
        case AlignLeft:
        default:
            return Qt::AlignLeft | Qt::AlignTop;
        }
    }

    // Runs a control's event with the control kept alive throughout.
    template <class Body> void Raise(RectControl& control, Body body)
    {
        if (!control.IsOpen())
            return;
        Ref<RectControl> keep(&control);
        Dispatch([&] { body(); });
    }

    class CanvasWidget : public QWidget {
    public:
        CanvasWidget(Canvas& canvas, QWidget* parent)
            : QWidget(parent)
            , mCanvas(&canvas)
        {
        }

    protected:
        // Draws through a picture of the canvas's size, so the application's
        // Graphics works as on any picture; it is detached when the paint ends.
        void paintEvent(QPaintEvent*) override
        {
            Ref<Picture> surface = Picture::New(width(), height());
            if (!surface)
                return;
            if (mCanvas->EraseBackground()) {
                QImage background(size(), QImage::Format_RGB32);
                Window* window = mCanvas->ControlWindow();
                background.fill(window ? BackgroundOf(*window) : palette().color(QPalette::Window));
                ImageToPort(background, surface->World(), QPoint(0, 0));
            }
            Ref<Graphics> graphics = surface->Graphics();
            Ref<RectControl> keep(mCanvas);
            if (mCanvas->IsOpen())
                Dispatch([&] { mCanvas->Event_Paint(*graphics); });
            QPainter painter(this);
            painter.drawImage(0, 0, ToImage(*surface));
        }

    private:
        Canvas* mCanvas = nullptr;
    };

    QWidget* CreatePushButtonWidget(PushButton& control, QWidget* parent)
    {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, button,
            [&control] { Raise(control, [&control] { control.Events().Raise("Action"); }); });
        return button;
    }

    QWidget* CreateSliderWidget(Slider& control, QWidget* parent)
    {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        QObject::connect(slider, &QSlider::valueChanged, slider,
            [&control] { Raise(control, [&control] { control.Events().Raise("ValueChanged"); }); });
        return slider;
    }

    QWidget* CreateStaticTextWidget(StaticText& control, QWidget* parent)
    {
        auto* label = new QLabel(parent);
        label->setAlignment(TextAlignment(AlignLeft));
        label->setTextFormat(Qt::PlainText);
        label->setFont(ControlFont(control));
        return label;
    }

    // Any other control, and a plug-in's, which draws itself.
    QWidget* CreatePlainWidget(RectControl& control, QWidget* parent)
    {
        const Class& cls = control.ObjectClass();
        if (cls.ClassKind() == Class::Kind::PluginControl || cls.Behaviour(LxBehaviourRedraw))
            return new PluginControlWidget(control, parent);
        return new QWidget(parent);
    }

}

QWidget* CreateControlWidget(RectControl& control, QWidget* parent)
{
    if (auto* button = dynamic_cast<PushButton*>(&control))
        return CreatePushButtonWidget(*button, parent);
    if (auto* slider = dynamic_cast<Slider*>(&control))
        return CreateSliderWidget(*slider, parent);
    if (auto* label = dynamic_cast<StaticText*>(&control))
        return CreateStaticTextWidget(*label, parent);
    if (auto* field = dynamic_cast<EditField*>(&control))
        return CreateEditFieldWidget(*field, parent);
    if (auto* canvas = dynamic_cast<Canvas*>(&control))
        return new CanvasWidget(*canvas, parent);
    return CreatePlainWidget(control, parent);
}

PushButton::PushButton() { mEvents.Declare<void()>("Action"); }

void PushButton::ApplyFont()
{
    if (QWidget* widget = WidgetOf(*this))
        widget->setFont(ControlFont(*this));
}

bool PushButton::ApplySetting(const Setting& setting)
{
    auto* button = static_cast<QPushButton*>(WidgetOf(*this));
    if (setting.Name == "Caption")
        button->setText(ToQString(SettingText(setting.Value)));
    else if (setting.Name == "Default")
        button->setDefault(SettingBoolean(setting.Value));
    else if (setting.Name == "Cancel")
        return true;
    else
        return RectControl::ApplySetting(setting);
    return true;
}

Slider::Slider() { mEvents.Declare<void()>("ValueChanged"); }

int32_t Slider::Value() const { return static_cast<QSlider*>(WidgetOf(*this))->value(); }

void Slider::SetValue(int32_t value) { static_cast<QSlider*>(WidgetOf(*this))->setValue(value); }

bool Slider::AppliesEarly(std::string_view name) const { return name == "Minimum" || name == "Maximum"; }

bool Slider::ApplySetting(const Setting& setting)
{
    auto* slider = static_cast<QSlider*>(WidgetOf(*this));
    const int32_t number = SettingInteger(setting.Value);
    if (setting.Name == "Minimum")
        slider->setMinimum(number);
    else if (setting.Name == "Maximum")
        slider->setMaximum(number);
    else if (setting.Name == "Value")
        slider->setValue(number);
    else if (setting.Name == "LineStep")
        slider->setSingleStep(number);
    else if (setting.Name == "PageStep")
        slider->setPageStep(number);
    else if (setting.Name == "LiveScroll")
        slider->setTracking(SettingBoolean(setting.Value));
    else if (RectControl::ApplySetting(setting))
        slider->setOrientation(BoundsOf(*this).width() >= BoundsOf(*this).height() ? Qt::Horizontal : Qt::Vertical);
    else
        return false;
    return true;
}

StaticText::StaticText() = default;

void StaticText::SetText(std::string_view text) { static_cast<QLabel*>(WidgetOf(*this))->setText(ToQString(text)); }

std::string StaticText::Text() const { return FromQString(static_cast<QLabel*>(WidgetOf(*this))->text()); }

void StaticText::ApplyFont()
{
    if (QWidget* widget = WidgetOf(*this))
        widget->setFont(ControlFont(*this));
}

bool StaticText::ApplySetting(const Setting& setting)
{
    auto* label = static_cast<QLabel*>(WidgetOf(*this));
    if (setting.Name == "Text")
        SetText(SettingText(setting.Value));
    else if (setting.Name == "MultiLine")
        label->setWordWrap(SettingBoolean(setting.Value));
    else if (setting.Name == "TextAlign")
        label->setAlignment(TextAlignment(SettingInteger(setting.Value)));
    else if (setting.Name == "TextColor") {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(QRgb(SettingColor(setting.Value).rgb)));
        label->setPalette(palette);
    } else
        return RectControl::ApplySetting(setting);
    return true;
}

Canvas::Canvas() { mEvents.Declare<void(Graphics&)>("Paint"); }

bool Canvas::ApplySetting(const Setting& setting)
{
    if (setting.Name == "EraseBackground")
        mEraseBackground = SettingBoolean(setting.Value);
    else
        return RectControl::ApplySetting(setting);
    return true;
}

}
