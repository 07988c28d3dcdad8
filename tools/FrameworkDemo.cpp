// A window with every control and menu of the framework, to look at and try
// by hand: buttons, a slider, labels, a styled read-only text field with a
// link, canvases drawing resource pictures (one through its mask), the
// built-in separator, and File, Edit and Help menus with an About window.

#include <lxframework/AppLife.h>
#include <lxframework/Canvas.h>
#include <lxframework/EditField.h>
#include <lxframework/Functions.h>
#include <lxframework/Runtime.h>
#include <lxframework/Slider.h>
#include <lxframework/StaticText.h>
#include <lxframework/Window.h>

using namespace lx;

namespace {

constexpr int IconPicture = 171;
constexpr int IconMaskPicture = 170;
constexpr int StarsPicture = 168;
constexpr int OpenHandCursor = 168;

template <class T> Ref<T> Item(const char* name, const char* text, const char* shortcut = "", bool enabled = true)
{
    Ref<T> item = New<T>();
    SetProperties(
        *item, { { "Name", name }, { "AutoEnable", enabled }, { "Text", text }, { "KeyboardShortcut", shortcut } });
    return item;
}

Ref<MenuBar> DemoMenuBar()
{
    Ref<MenuBar> bar = New<MenuBar>();
    Ref<MenuItem> file = Item<MenuItem>("FileMenu", "File");
    file->Append(Item<MenuItem>("FileClose", "Close", "Cmd+W"));
    file->Append(Item<MenuItem>("FileSeparator", "-"));
    file->Append(Item<QuitMenuItem>("FileQuit", "Quit", "Cmd+Q"));
    Ref<MenuItem> edit = Item<MenuItem>("EditMenu", "Edit", "", false);
    edit->Append(Item<MenuItem>("EditUndo", "Undo", "Cmd+Z", false));
    edit->Append(Item<MenuItem>("EditSeparator", "-"));
    edit->Append(Item<MenuItem>("EditCut", "Cut", "Cmd+X", false));
    edit->Append(Item<MenuItem>("EditCopy", "Copy", "Cmd+C", false));
    edit->Append(Item<MenuItem>("EditPaste", "Paste", "Cmd+V", false));
    Ref<MenuItem> help = Item<MenuItem>("HelpMenu", "Help");
    help->Append(Item<AppleMenuItem>("HelpAbout", "About the Demo"));
    bar->Append(file);
    bar->Append(edit);
    bar->Append(help);
    return bar;
}

Ref<Picture> Resource(int number) { return getAppObject()->ResourceFork()->GetPicture(number); }

class AboutDemoWindow : public Window {
public:
    void Layout() override
    {
        SetProperties(*this,
            { { "Width", 300 }, { "Height", 400 }, { "Resizeable", false }, { "Placement", 2 },
                { "MaximizeButton", false }, { "Title", "About" } });
    }
    void CreateControls() override
    {
        Ref<RectControl> icon = New("Canvas");
        AddControl("AppIconCanvas", icon);
        SetProperties(*icon, { { "Left", 84 }, { "Top", 14 }, { "Width", 128 }, { "Height", 128 } });
        icon->InstallInstanceEventHandler("Paint", [](Graphics& g) {
            Ref<Picture> picture = Resource(IconPicture);
            Ref<Picture> mask = Resource(IconMaskPicture);
            if (!picture || !mask)
                return;
            picture->Mask()->Graphics()->DrawPicture(mask.Get(), 0, 0);
            g.DrawPicture(picture.Get(), 0, 0, g.Width(), g.Height(), 0, 0, picture->Width(), picture->Height());
        });
        Ref<RectControl> name = New("StaticText");
        AddControl("StatAppName", name);
        SetProperties(*name,
            { { "Left", 0 }, { "Top", 150 }, { "Width", 300 }, { "Height", 20 }, { "Text", "Framework Demo" },
                { "TextAlign", 1 }, { "TextSize", 14 }, { "Bold", true } });
        Ref<RectControl> version = New("StaticText");
        AddControl("StatAppVersion", version);
        Ref<Application> app = getAppObject();
        SetProperties(*version,
            { { "Left", 0 }, { "Top", 174 }, { "Width", 300 }, { "Height", 16 },
                { "Text",
                    "Version " + Str(app->MajorVersion()) + "." + Str(app->MinorVersion()) + "."
                        + Str(app->BugVersion()) },
                { "TextAlign", 1 }, { "TextFont", "SmallSystem" } });
        Ref<RectControl> copyright = New("StaticText");
        AddControl("StatAppCopyright", copyright);
        SetProperties(*copyright,
            { { "Left", 0 }, { "Top", 360 }, { "Width", 300 }, { "Height", 30 },
                { "Text", "First line" + Chr(13) + "second line after a carriage return" }, { "MultiLine", true },
                { "TextAlign", 1 }, { "TextSize", 10 } });
    }
    void AddMenuHandlers() override
    {
        AddMenuHandler("FileClose", [this] {
            Close();
            return false;
        });
    }
};

Ref<Window> AboutDemo()
{
    if (Ref<Window> open = RuntimeImplicitInstance("AboutDemoWindow.AboutDemoWindow"))
        return open;
    Ref<Window> window = New<AboutDemoWindow>();
    RuntimeRegisterImplicitInstance(window);
    window->Constructor();
    return window;
}

class DemoWindow : public Window {
public:
    void Layout() override
    {
        SetMenuBar(DemoMenuBar());
        SetProperties(*this,
            { { "Width", 670 }, { "Height", 512 }, { "Resizeable", false }, { "MaximizeButton", false },
                { "HasBackColor", true }, { "BackColor", Color { 0xD4D0C8 } }, { "Title", "" } });
    }

    void CreateControls() override
    {
        Ref<RectControl> stars = New("Canvas");
        AddControl("Stars", stars);
        SetProperties(*stars, { { "Left", 0 }, { "Top", 0 }, { "Width", 512 }, { "Height", 512 } });
        stars->InstallInstanceEventHandler("Paint", [](Graphics& g) {
            if (Ref<Picture> picture = Resource(StarsPicture))
                g.DrawPicture(picture.Get(), 0, 0);
            g.ForeColor = RGB(40, 90, 200);
            g.FillOval(156, 156, 200, 200);
        });
        stars->SetMouseCursor(getAppObject()->ResourceFork()->getCursor(OpenHandCursor));

        Ref<RectControl> scramble = New("PushButton");
        AddControl("butScramble", scramble);
        SetProperties(*scramble,
            { { "Left", 529 }, { "Top", 19 }, { "Width", 128 }, { "Height", 20 }, { "Caption", "Scramble" },
                { "TextSize", 12 } });
        Ref<RectControl> restore = New("PushButton");
        AddControl("butRestore", restore);
        SetProperties(*restore,
            { { "Left", 529 }, { "Top", 57 }, { "Width", 128 }, { "Height", 20 }, { "Caption", "Restore" },
                { "Enabled", false } });
        scramble->InstallInstanceEventHandler("Action", [this] {
            RuntimeWindowControlByName(this, "butRestore")->SetEnabled(true);
            SetTitle("Scrambled " + Str(ToInteger(Rnd() * 27.0)));
        });
        restore->InstallInstanceEventHandler("Action", [this] {
            RuntimeWindowControlByName(this, "butRestore")->SetEnabled(false);
            SetTitle("Framework Demo");
        });

        Ref<RectControl> slider = New("Slider");
        AddControl("SliderSize", slider);
        SetProperties(*slider,
            { { "Left", 529 }, { "Top", 103 }, { "Width", 128 }, { "Height", 26 }, { "Value", 90 }, { "Minimum", 25 },
                { "Maximum", 100 }, { "LineStep", 1 }, { "PageStep", 20 }, { "LiveScroll", true } });
        slider->InstallInstanceEventHandler("ValueChanged", [this] {
            auto slider = Cast<Slider>(RuntimeWindowControlByName(this, "SliderSize"));
            Cast<StaticText>(RuntimeWindowControlByName(this, "SizeLabel"))->SetText("Size " + Str(slider->Value()));
        });
        Ref<RectControl> sizeLabel = New("StaticText");
        AddControl("SizeLabel", sizeLabel);
        SetProperties(*sizeLabel,
            { { "Left", 529 }, { "Top", 132 }, { "Width", 128 }, { "Height", 16 }, { "Text", "Size 90" },
                { "TextFont", "SmallSystem" }, { "TextAlign", 1 } });

        Ref<RectControl> separator = New("Separator");
        AddControl("Separator1", separator);
        SetProperties(*separator, { { "Left", 512 }, { "Top", 0 }, { "Width", 4 }, { "Height", 512 } });

        Ref<RectControl> help = New("StaticText");
        AddControl("StaticText3", help);
        SetProperties(*help,
            { { "Left", 524 }, { "Top", 160 }, { "Width", 138 }, { "Height", 150 }, { "MultiLine", true },
                { "TextSize", 11 } });
        help->InstallInstanceEventHandler("Open", [this] {
            Cast<StaticText>(RuntimeWindowControlByName(this, "StaticText3"))
                ->SetText("Drag a piece next to the gap to slide it into the gap." + std::string(EndOfLine)
                    + std::string(EndOfLine) + "Hold Control, or use the right button, to turn the globe.");
        });

        Ref<RectControl> credits = New("EditField");
        AddControl("Credits", credits);
        SetProperties(*credits,
            { { "Left", 524 }, { "Top", 320 }, { "Width", 138 }, { "Height", 180 }, { "MultiLine", true },
                { "ReadOnly", true }, { "Styled", true }, { "ScrollBarVertical", true }, { "TextSize", 0 } });
    }

    void Event_Open() override
    {
        SetTitle("Framework Demo");
        auto credits = Cast<EditField>(RuntimeWindowControlByName(this, "Credits"));
        AddText(*credits, "Credits" + std::string(EndOfLine), true, Color { 0 });
        AddText(*credits, "Pictures from the application's resources. ", false, Color { 0 });
        AddText(*credits, "https://example.org", false, Color { 0x0000FF });
        AddText(*credits, std::string(EndOfLine) + "Plain text after the link.", false, Color { 0 });
    }

    void Event_Close() override { Quit(0); }

    void AddMenuHandlers() override
    {
        AddMenuHandler("FileClose", [] {
            Quit(0);
            return false;
        });
    }

private:
    static void AddText(EditField& field, const std::string& text, bool bold, Color color)
    {
        const int32_t start = Len(field.Text());
        field.SetSelStart(start);
        field.SetSelText(text);
        field.SetSelStart(start);
        field.SetSelLength(Len(text));
        field.SetSelTextColor(color);
        field.SetSelBold(bold);
        field.SetSelLength(0);
        field.SetSelStart(0);
        field.SetScrollPosition(0);
    }
};

class DemoApp : public Application {
public:
    bool OpenAbout = false;
    void Event_Open() override
    {
        Ref<DemoWindow> window = New<DemoWindow>();
        window->Constructor();
        window->Show();
        if (OpenAbout)
            AboutDemo()->Show();
    }
};

}

// "--about" opens the About window at start as well.
int main(int argc, char** argv)
{
    RuntimeInit();
    RegisterClass<DemoApp>("DemoApp", "Application");
    RegisterClass<DemoWindow>("DemoWindow", "Window");
    RegisterClass<AboutDemoWindow>("AboutDemoWindow.AboutDemoWindow", "Window");
    int status = 0;
    try {
        RuntimeInitExternalClasses();
        Ref<DemoApp> app = New<DemoApp>();
        app->OpenAbout = argc > 1 && std::string_view(argv[1]) == "--about";
        app->MenuBar = DemoMenuBar();
        RuntimeRegisterAppObject(app);
        app->AddMenuHandler("HelpAbout", [] {
            AboutDemo()->Show();
            return false;
        });
        RuntimeRun();
    } catch (const Exception& exception) {
        RuntimeUnhandledException(exception);
    }
    status = RuntimeExit();
    return status;
}
