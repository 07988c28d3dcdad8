#include "AboutTestSupport.h"

#include <lxframework/Functions.h>

#include <gtest/gtest.h>

using namespace lx;
using about::EditfieldWithLinks;
using Weight = EditfieldWithLinks::Weight;

namespace {

// A window with one link field the size and place of the About box's credits.
class LinkFieldWindow : public Window {
public:
    void Layout() override { SetProperties(*this, { { "Width", 300 }, { "Height", 200 } }); }
    void CreateControls() override
    {
        AddControl("Field", New(EditfieldWithLinks::ClassName));
        SetProperties(*ControlByName("Field"),
            { { "Left", -1 }, { "Top", 10 }, { "Width", 302 }, { "Height", 139 }, { "Border", true },
                { "MultiLine", true }, { "ScrollBarVertical", true }, { "ReadOnly", true }, { "Styled", true } });
    }
};

struct LinkFieldTest : ::testing::Test {
    void SetUp() override
    {
        SetUpAboutBox();
        if (FindClass("LinkFieldWindow") == nullptr)
            RegisterClass<LinkFieldWindow>("LinkFieldWindow", "Window");
        window = New<LinkFieldWindow>();
        window->Constructor();
        field = Cast<EditfieldWithLinks>(window->ControlByName("Field"));
    }
    void TearDown() override
    {
        window->Close();
        ProcessEvents();
    }

    void ListenForLinks()
    {
        field->InstallInstanceEventHandler("LinkClicked", [this](std::string target) { clicked.push_back(target); });
    }

    // The targets reported by a click at the point.
    std::vector<std::string> ClickAt(QPoint point)
    {
        clicked.clear();
        test::MousePress(*field, point);
        test::MouseRelease(*field, point);
        return clicked;
    }
    std::vector<std::string> ClickOn(int offset) { return ClickAt(CharacterCentre(*field, offset)); }

    std::string CursorAt(QPoint point)
    {
        test::MouseMove(*field, point);
        return test::ApplicationCursorIdentity();
    }

    Ref<LinkFieldWindow> window;
    Ref<EditfieldWithLinks> field;
    std::vector<std::string> clicked;
};

using Targets = std::vector<std::string>;

}

TEST_F(LinkFieldTest, ALinkCoversItsCharactersFromStartUpToButNotIncludingItsEnd)
{
    ListenForLinks();
    field->AddText("Go to ", Weight::Plain); // offsets 0 to 5
    field->AddLink("abc", "first"); // 6 to 8
    field->AddLink("def", "second"); // 9 to 11, adjacent to the first
    field->AddText(" end", Weight::Plain);
    EXPECT_EQ(field->LinkStart, (std::vector<int32_t> { 6, 9 }));
    EXPECT_EQ(field->LinkEnd, (std::vector<int32_t> { 9, 12 }));

    EXPECT_EQ(ClickOn(5), Targets {});
    EXPECT_EQ(ClickOn(6), Targets { "first" });
    EXPECT_EQ(ClickOn(8), Targets { "first" });
    EXPECT_EQ(ClickOn(9), Targets { "second" });
    EXPECT_EQ(ClickOn(11), Targets { "second" });
    EXPECT_EQ(ClickOn(12), Targets {});
}

TEST_F(LinkFieldTest, ALinkWithoutTargetReportsItsOwnText)
{
    ListenForLinks();
    field->AddText("Visit ", Weight::Plain);
    field->AddLink("https://example.org/", "");
    EXPECT_EQ(ClickOn(8), Targets { "https://example.org/" });
}

TEST_F(LinkFieldTest, RightOfALineEndAndBelowTheTextNoLinkIsHit)
{
    ListenForLinks();
    field->AddText("Line ", Weight::Plain);
    field->AddLink("one", "");
    field->AddText(std::string(EndOfLine) + "then ", Weight::Plain);
    // The text ends with a link, so "one past the last character" follows it.
    field->AddLink("two", "");
    const int lastLine = CharacterCentre(*field, 11).y();
    const int pastTheEnd = WidgetOf(*field)->width() - 30;

    EXPECT_EQ(ClickOn(6), Targets { "one" });
    EXPECT_EQ(ClickOn(14), Targets { "two" });
    EXPECT_EQ(ClickAt(QPoint(pastTheEnd, CharacterCentre(*field, 0).y())), Targets {});
    EXPECT_EQ(ClickAt(QPoint(pastTheEnd, lastLine)), Targets {});
    EXPECT_EQ(ClickAt(QPoint(CharacterCentre(*field, 14).x(), lastLine + 40)), Targets {});
    EXPECT_EQ(CursorAt(QPoint(pastTheEnd, lastLine)), "");
    EXPECT_EQ(CursorAt(QPoint(CharacterCentre(*field, 14).x(), lastLine + 40)), "");
}

TEST_F(LinkFieldTest, APressOnALinkStillPlacesTheCaret)
{
    ListenForLinks();
    field->AddText("See ", Weight::Plain);
    field->AddLink("here", "target");
    EXPECT_EQ(ClickOn(5), Targets { "target" });
    EXPECT_EQ(field->SelStart(), 5);
}

TEST_F(LinkFieldTest, WithoutAHandlerAClickOnALinkDoesNothing)
{
    field->AddLink("alone", "");
    EXPECT_EQ(ClickOn(1), Targets {});
    EXPECT_TRUE(field->IsOpen());
}

TEST_F(LinkFieldTest, TheFingerShowsOnlyWhileThePointerRestsOnALink)
{
    field->AddText("Plain ", Weight::Plain);
    field->AddLink("link", "");
    EXPECT_EQ(CursorAt(CharacterCentre(*field, 7)), "FingerPointer");
    EXPECT_EQ(CursorAt(CharacterCentre(*field, 2)), "");
    EXPECT_EQ(CursorAt(CharacterCentre(*field, 9)), "FingerPointer");

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(WidgetOf(*field), &leave);
    EXPECT_EQ(test::ApplicationCursorIdentity(), "");
}

TEST_F(LinkFieldTest, ClosingTheWindowResetsTheCursor)
{
    field->AddLink("link", "");
    EXPECT_EQ(CursorAt(CharacterCentre(*field, 1)), "FingerPointer");
    window->Close();
    EXPECT_EQ(test::ApplicationCursorIdentity(), "");
}

TEST_F(LinkFieldTest, AfterEveryAppendNothingIsSelectedAndTheFirstLineShows)
{
    for (int line = 0; line < 30; ++line)
        field->AddText("A line of the credits" + std::string(EndOfLine), Weight::Plain);
    field->SetScrollPosition(12);
    EXPECT_EQ(field->ScrollPosition(), 12);
    field->SetSelStart(40);
    field->SetSelLength(5);
    field->AddLink("last", "");
    EXPECT_EQ(field->SelStart(), 0);
    EXPECT_EQ(field->SelLength(), 0);
    EXPECT_EQ(field->ScrollPosition(), 0);
}

TEST_F(LinkFieldTest, TextRunsAreBlackInTheirWeightAndLinksBluePlain)
{
    field->AddText("Head", Weight::Bold);
    field->AddLink("link", "");
    field->AddText("tail", Weight::Plain);
    EXPECT_EQ(FormatAt(*field, 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(*field, 0).foreground().color(), QColor(0, 0, 0));
    EXPECT_NE(FormatAt(*field, 4).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(*field, 4).foreground().color(), QColor(0, 0, 255));
    EXPECT_NE(FormatAt(*field, 8).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(*field, 8).foreground().color(), QColor(0, 0, 0));
}

TEST_F(LinkFieldTest, SelectAllSelectsTheWholeText)
{
    field->AddText("Programming:" + std::string(EndOfLine), Weight::Bold);
    field->AddLink("https://example.org/", "");
    EXPECT_FALSE(field->EditSelectAll_Action());
    EXPECT_EQ(field->SelStart(), 0);
    EXPECT_EQ(field->SelLength(), Len(field->Text()));
}
