#include "AboutTestSupport.h"
#include "PictureImage.h"

#include <about/AboutWinSetup.h>

#include <lxframework/Canvas.h>
#include <lxframework/Functions.h>
#include <lxframework/StaticText.h>

#include <QTextBlock>
#include <QTextCharFormat>

#include <gtest/gtest.h>

using namespace lx;
using about::AboutWindow;
using about::EditfieldWithLinks;

namespace {

// What Help > About does: the window, then Show.
Ref<AboutWindow> ChooseAbout()
{
    Ref<AboutWindow> about = AboutWindow::Instance();
    about->Show();
    return about;
}

// A stand-in for the main window: its File > Close quits the application.
class QuittingWindow : public Window {
public:
    void AddMenuHandlers() override
    {
        AddMenuHandler("FileClose", [] {
            Quit(0);
            return false;
        });
    }
};

struct AboutBoxTest : ::testing::Test {
    void SetUp() override { SetUpAboutBox(); }
    void TearDown() override
    {
        if (Ref<Window> open = RuntimeImplicitInstance(AboutWindow::ClassName))
            open->Close();
        ProcessEvents();
    }

    static Ref<EditfieldWithLinks> Credits(const AboutWindow& about)
    {
        return Cast<EditfieldWithLinks>(about.ControlByName("EditAppCredits"));
    }
    static std::string Label(const AboutWindow& about, const char* name)
    {
        return Cast<StaticText>(about.ControlByName(name))->Text();
    }
    static std::string LinkText(const EditfieldWithLinks& field, std::size_t link)
    {
        const QString text = QString::fromStdString(field.Text());
        return text.mid(field.LinkStart[link], field.LinkEnd[link] - field.LinkStart[link]).toStdString();
    }
};

// One run of characters of the same color and weight.
struct StyleRun {
    int start = 0;
    int end = 0;
    QColor color;
    bool bold = false;
};

std::vector<StyleRun> Runs(const EditfieldWithLinks& field)
{
    std::vector<StyleRun> runs;
    QTextDocument& document = *static_cast<QTextEdit*>(WidgetOf(field))->document();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            const StyleRun run { fragment.fragment().position(),
                fragment.fragment().position() + fragment.fragment().length(), format.foreground().color(),
                format.fontWeight() == QFont::Bold };
            if (!runs.empty() && runs.back().end == run.start && runs.back().color == run.color
                && runs.back().bold == run.bold)
                runs.back().end = run.end;
            else
                runs.push_back(run);
        }
    }
    return runs;
}

// The point at the middle of link `link`, after scrolling it into view.
QPoint LinkPoint(EditfieldWithLinks& field, std::size_t link)
{
    auto* edit = static_cast<QTextEdit*>(WidgetOf(field));
    QTextCursor cursor(edit->document());
    cursor.setPosition(field.LinkStart[link]);
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
    return CharacterCentre(field, (field.LinkStart[link] + field.LinkEnd[link]) / 2);
}

}

TEST(AppVersion, FinalReleasesShowTheThreeNumbersAndEarlierStagesTheirLetter)
{
    using about::AboutWinSetup::VersionText;
    struct Row {
        const char* name;
        int32_t stage;
        const char* expected;
    };
    for (const Row& row : { Row { "development", 0, "Version  1.0.2 d3" }, Row { "alpha", 1, "Version  1.0.2 a3" },
             Row { "beta", 2, "Version  1.0.2 b3" }, Row { "final", 3, "Version  1.0.2" },
             Row { "unknown stage", 7, "Version  1.0.2" } }) {
        EXPECT_EQ(VersionText({ .Major = 1, .Minor = 0, .Bug = 2, .Stage = row.stage, .NonRelease = 3 }), row.expected)
            << row.name;
    }
}

TEST_F(AboutBoxTest, AboutOpensAFixedWindowWithoutMinimiseButtonAndItsLabels)
{
    std::vector<std::string> log;
    DebugLogSink previous = SetDebugLogSink([&](std::string_view line) { log.emplace_back(line); });
    Ref<AboutWindow> about = ChooseAbout();
    SetDebugLogSink(std::move(previous));
    for (const std::string& line : log)
        EXPECT_EQ(line.find("no property"), std::string::npos) << line;

    ASSERT_TRUE(about->IsOpen());
    EXPECT_TRUE(WidgetOf(*about)->isVisible());
    EXPECT_EQ(about->Title(), "");
    // The name a window system puts where the title is empty.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Terraslide"));
    EXPECT_EQ(ContentOf(*about)->minimumSize(), QSize(300, 400));
    EXPECT_EQ(ContentOf(*about)->maximumSize(), QSize(300, 400));
    EXPECT_FALSE(WidgetOf(*about)->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(WidgetOf(*about)->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(WidgetOf(*about)->windowFlags().testFlag(Qt::WindowCloseButtonHint));

    EXPECT_EQ(Label(*about, "StatAppName"), "Terraslide");
    EXPECT_EQ(Label(*about, "StatAppVersion"), "Version  1.0.0");
    // The version in the small system font at its own size.
    EXPECT_EQ(WidgetOf(*about->ControlByName("StatAppVersion"))->font().pixelSize(), 10);
    const std::string copyright = Label(*about, "StatAppCopyright");
    // The label breaks its lines at the carriage return.
    EXPECT_EQ(std::count(copyright.begin(), copyright.end(), '\n'), 1);
    EXPECT_NE(copyright.find("NASA Visible Earth"), std::string::npos);
}

TEST_F(AboutBoxTest, EveryShowTakesTheMinimiseButtonAwayAgainAndKeepsTheWindowOpen)
{
    Ref<AboutWindow> about = ChooseAbout();
    SetProperties(*about, { { "MinimizeButton", true } });
    ASSERT_TRUE(WidgetOf(*about)->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    about->Show();
    EXPECT_FALSE(WidgetOf(*about)->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(WidgetOf(*about)->isVisible());
}

TEST_F(AboutBoxTest, AboutBringsAMinimisedAboutWindowBackUp)
{
    Ref<AboutWindow> about = ChooseAbout();
    WidgetOf(*about)->showMinimized();
    ProcessEvents();
    ASSERT_TRUE(WidgetOf(*about)->isMinimized());
    ChooseAbout();
    ProcessEvents();
    EXPECT_FALSE(WidgetOf(*about)->isMinimized());
    EXPECT_TRUE(WidgetOf(*about)->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), WidgetOf(*about));
}

TEST_F(AboutBoxTest, TheCreditsHaveTheirHeadersInBoldBlackAndThreeBlueLinks)
{
    Ref<EditfieldWithLinks> credits = Credits(*ChooseAbout());
    const std::string text = credits->Text();
    for (const char* header :
        { "Programming:\n", "\n\nProduct Page: \n", "\n\nMain Website:: \n", "\n\nDevelopment Tools:\n" })
        EXPECT_NE(text.find(header), std::string::npos) << header;
    EXPECT_EQ(text.rfind("Programming:\n    ", 0), 0u);

    std::vector<StyleRun> blue;
    for (const StyleRun& run : Runs(*credits)) {
        if (run.color == QColor(0, 0, 255))
            blue.push_back(run);
        else
            EXPECT_EQ(run.color, QColor(0, 0, 0));
    }
    ASSERT_EQ(blue.size(), 3u);
    for (std::size_t i = 0; i < blue.size(); ++i) {
        EXPECT_EQ(blue[i].start, credits->LinkStart[i]);
        EXPECT_EQ(blue[i].end, credits->LinkEnd[i]);
        EXPECT_FALSE(blue[i].bold);
    }
    // The credits end with the third link.
    EXPECT_EQ(credits->LinkEnd.back(), Len(text));
    const StyleRun first = Runs(*credits).front();
    EXPECT_TRUE(first.bold);
    EXPECT_EQ(first.end, Len("Programming:"));

    EXPECT_EQ(credits->SelStart(), 0);
    EXPECT_EQ(credits->SelLength(), 0);
    EXPECT_EQ(credits->ScrollPosition(), 0);
    EXPECT_TRUE(static_cast<QTextEdit*>(WidgetOf(*credits))->isReadOnly());
}

TEST_F(AboutBoxTest, AboutTwiceGivesOneWindowWithItsLabelsSetAgainAndTheCreditsOnce)
{
    Ref<AboutWindow> first = ChooseAbout();
    const int32_t length = Len(Credits(*first)->Text());
    Cast<StaticText>(first->ControlByName("StatAppName"))->SetText("changed");

    Ref<AboutWindow> second = ChooseAbout();
    EXPECT_EQ(second, first);
    EXPECT_EQ(Label(*second, "StatAppName"), "Terraslide");
    EXPECT_EQ(Len(Credits(*second)->Text()), length);
    EXPECT_EQ(Credits(*second)->LinkStart.size(), 3u);
    int aboutWindows = 0;
    for (const Ref<Window>& window : RuntimeWindowList())
        aboutWindows += window->ObjectClass().Name() == AboutWindow::ClassName;
    EXPECT_EQ(aboutWindows, 1);

    first->Close();
    EXPECT_FALSE(RuntimeImplicitInstance(AboutWindow::ClassName));
    Ref<AboutWindow> reopened = ChooseAbout();
    EXPECT_NE(reopened, first);
    EXPECT_EQ(Len(Credits(*reopened)->Text()), length);
    EXPECT_EQ(Credits(*reopened)->LinkStart.size(), 3u);
}

TEST_F(AboutBoxTest, EachLinkOpensItsTargetOnceAndAClickPastTheTextNothing)
{
    Ref<EditfieldWithLinks> credits = Credits(*ChooseAbout());
    ASSERT_EQ(credits->LinkTarget.size(), 3u);
    EXPECT_EQ(credits->LinkTarget[0], LinkText(*credits, 0));
    EXPECT_EQ(credits->LinkTarget[1], LinkText(*credits, 1));
    EXPECT_NE(credits->LinkTarget[2], LinkText(*credits, 2));

    for (std::size_t link = 0; link < 3; ++link) {
        ShownURLs shown;
        const QPoint point = LinkPoint(*credits, link);
        test::MousePress(*credits, point);
        test::MouseRelease(*credits, point);
        EXPECT_EQ(shown.Addresses, std::vector<std::string> { credits->LinkTarget[link] }) << "link " << link;

        shown.Addresses.clear();
        const QPoint pastTheLine(WidgetOf(*credits)->width() - 30, point.y());
        test::MousePress(*credits, pastTheLine);
        test::MouseRelease(*credits, pastTheLine);
        EXPECT_TRUE(shown.Addresses.empty()) << "right of link " << link;
    }
}

TEST_F(AboutBoxTest, TheFingerShowsOverALinkAndGoesWhenTheWindowCloses)
{
    Ref<AboutWindow> about = ChooseAbout();
    Ref<EditfieldWithLinks> credits = Credits(*about);
    const QPoint onLink = LinkPoint(*credits, 0);
    test::MouseMove(*credits, onLink);
    EXPECT_EQ(test::ApplicationCursorIdentity(), "FingerPointer");
    test::MouseMove(*credits, onLink + QPoint(0, 80));
    EXPECT_EQ(test::ApplicationCursorIdentity(), "");
    test::MouseMove(*credits, onLink);
    about->Close();
    EXPECT_EQ(test::ApplicationCursorIdentity(), "");
}

TEST_F(AboutBoxTest, FileCloseInTheAboutWindowClosesOnlyIt)
{
    if (!FindClass("QuittingWindow"))
        RegisterClass<QuittingWindow>("QuittingWindow", "Window");
    Ref<QuittingWindow> main = New<QuittingWindow>();
    main->Constructor();
    for (const char* command : { "FileClose", "FileCloseWindow" }) {
        Ref<AboutWindow> about = ChooseAbout();
        test::ChooseMenuItem(*about, command);
        EXPECT_FALSE(about->IsOpen()) << command;
        EXPECT_TRUE(main->IsOpen()) << command;
        EXPECT_FALSE(test::QuitRequested()) << command;
    }
    main->Close();
}

TEST_F(AboutBoxTest, SelectAllInTheCreditsSelectsTheWholeText)
{
    Ref<AboutWindow> about = ChooseAbout();
    Ref<EditfieldWithLinks> credits = Credits(*about);
    ProcessEvents();
    WidgetOf(*credits)->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), WidgetOf(*credits));
    test::ChooseMenuItem(*about, "EditSelectAll");
    EXPECT_EQ(credits->SelStart(), 0);
    EXPECT_EQ(credits->SelLength(), Len(credits->Text()));
}

TEST_F(AboutBoxTest, TheIconFillsTheCanvasAndIsTransparentWhereTheMaskIsWhite)
{
    Ref<AboutWindow> about = ChooseAbout();
    Ref<Canvas> canvas = Cast<Canvas>(about->ControlByName("AppIconCanvas"));
    const QImage shot = WidgetOf(*canvas)->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(128, 128));
    const QImage icon = ToImage(*about::AboutWinSetup::AppIcon());
    const QImage mask = ToImage(*about::AboutWinSetup::AppIconMask());
    ASSERT_EQ(icon.size(), QSize(128, 128));
    const QRgb background = BackgroundOf(*about).rgb();
    // Either side of the globe's left and top edges, where a mask out of place shows first.
    int left = 0;
    while (left < 64 && qRed(mask.pixel(left, 64)) != 0)
        ++left;
    int top = 0;
    while (top < 64 && qRed(mask.pixel(64, top)) != 0)
        ++top;
    ASSERT_GT(left, 0);
    ASSERT_GT(top, 0);
    for (QPoint point : { QPoint(2, 2), QPoint(125, 3), QPoint(4, 124), QPoint(64, 64), QPoint(40, 70),
             QPoint(left - 1, 64), QPoint(left, 64), QPoint(64, top - 1), QPoint(64, top) }) {
        const bool opaque = qRed(mask.pixel(point)) == 0;
        EXPECT_EQ(shot.pixel(point), opaque ? icon.pixel(point) : background)
            << point.x() << "," << point.y() << (opaque ? " in the globe" : " outside the globe");
    }
}

TEST_F(AboutBoxTest, WithoutAnIconFromTheGameTheCanvasStaysBlank)
{
    about::AboutWinSetup::SetAppIconAccessors(nullptr, nullptr);
    Ref<AboutWindow> about = ChooseAbout();
    Ref<Canvas> canvas = Cast<Canvas>(about->ControlByName("AppIconCanvas"));
    const QImage shot = WidgetOf(*canvas)->grab().toImage();
    about::AboutWinSetup::SetAppIconAccessors(&game::GlobeIcon, &game::GlobeMask);
    const QRgb background = BackgroundOf(*about).rgb();
    for (QPoint point : { QPoint(2, 2), QPoint(64, 64), QPoint(40, 70) })
        EXPECT_EQ(shot.pixel(point), background) << point.x() << "," << point.y();
}
