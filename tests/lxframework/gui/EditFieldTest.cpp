#include "GuiTestSupport.h"

#include <lxframework/EditField.h>
#include <lxframework/Functions.h>

#include <gtest/gtest.h>

using namespace lx;

namespace {

class FieldWindow : public Window {
public:
    void Layout() override { SetProperties(*this, { { "Width", 300 }, { "Height", 200 } }); }
    void CreateControls() override
    {
        Ref<RectControl> field = New("EditField");
        AddControl("Field", field);
        SetProperties(*field,
            { { "Left", -1 }, { "Top", 10 }, { "Width", 302 }, { "Height", 139 }, { "Border", true },
                { "MultiLine", true }, { "ReadOnly", true }, { "Styled", true }, { "TextSize", 0 },
                { "BackColor", Color { 0xFFFFF0 } } });
    }
};

struct FieldFixture : ::testing::Test {
    void SetUp() override
    {
        window = OpenWindow<FieldWindow>("FieldWindow");
        field = Cast<EditField>(RuntimeWindowControlByName(window.Get(), "Field"));
    }
    void TearDown() override { window->Close(); }

    // The link field's AddText: append, restyle the new range, deselect, scroll up.
    void AddText(const std::string& text, bool bold, Color color = Color { 0 })
    {
        const int32_t start = Len(field->Text());
        field->SetSelStart(start);
        field->SetSelText(text);
        field->SetSelStart(start);
        field->SetSelLength(Len(text));
        field->SetSelTextColor(color);
        field->SetSelBold(bold);
        field->SetSelLength(0);
        field->SetSelStart(0);
        field->SetScrollPosition(0);
    }

    Ref<FieldWindow> window;
    Ref<EditField> field;
};

}

TEST_F(FieldFixture, SelTextEditsAReadOnlyField)
{
    field->SetSelText("Terra");
    field->SetSelStart(Len(field->Text()));
    field->SetSelText("slide");
    EXPECT_EQ(field->Text(), "Terraslide");
    field->SetSelStart(0);
    field->SetSelLength(5);
    EXPECT_EQ(field->SelText(), "Terra");
    field->SetSelText("");
    EXPECT_EQ(field->Text(), "slide");
    // A length past the end selects up to the end.
    field->SetSelStart(1);
    field->SetSelLength(50);
    EXPECT_EQ(field->SelText(), "lide");
    EXPECT_EQ(field->SelStart(), 1);
    EXPECT_EQ(field->SelLength(), 4);
}

TEST_F(FieldFixture, OffsetsCountALineEndAsOneCharacter)
{
    AddText("ab", false);
    AddText(std::string(EndOfLine) + "cd", false);
    AddText("\r\nef", false);
    EXPECT_EQ(field->Text(), "ab\ncd\nef");
    EXPECT_EQ(Len(field->Text()), 8);
    field->SetSelStart(3);
    field->SetSelLength(2);
    EXPECT_EQ(field->SelText(), "cd");
}

TEST_F(FieldFixture, AppendsKeepEachRunsOwnStyle)
{
    AddText("plain ", false);
    AddText("bold ", true);
    AddText("link", false, Color { 0x0000FF });
    AddText(" after", false);
    EXPECT_NE(FormatAt(*field, 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(*field, 6).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(*field, 11).foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(FormatAt(*field, 16).foreground().color(), QColor(0, 0, 0));
    EXPECT_NE(FormatAt(*field, 16).fontWeight(), QFont::Bold);
    EXPECT_EQ(WidgetOf(*field)->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xF0));
    EXPECT_EQ(field->SelStart(), 0);
    EXPECT_EQ(field->SelLength(), 0);
}

TEST_F(FieldFixture, CharPosAtXYCountsFromOneOnTheText)
{
    AddText("Hello", false);
    AddText(std::string(EndOfLine) + "World", false);
    // A paragraph the field wraps by itself: its later lines count on from its first.
    AddText(std::string(EndOfLine)
            + "Clicking and dragging on either the surrounding space or on pieces that cannot move "
              "rotates the whole puzzle",
        false);
    const int paragraph = 12;
    const int nearEnd = Len(field->Text()) - 2;
    ASSERT_GT(CharacterCentre(*field, nearEnd).y(), CharacterCentre(*field, paragraph).y()) << "the paragraph wraps";
    for (int offset : { 0, 2, 4, 6, 10, paragraph, nearEnd - 6, nearEnd }) {
        const QPoint point = CharacterCentre(*field, offset);
        EXPECT_EQ(field->CharPosAtXY(point.x(), point.y()), offset + 1) << "character " << offset;
    }
}

TEST_F(FieldFixture, CharPosAtXYPastTheTextGivesLineBreaksAndTheEnd)
{
    AddText("Hello", false);
    // Above the only line: the character under the point.
    EXPECT_EQ(field->CharPosAtXY(CharacterCentre(*field, 1).x(), 1), 2);
    AddText(std::string(EndOfLine) + "World", false);
    const QPoint firstLine = CharacterCentre(*field, 0);
    // Past the end of the first line: its line break, offset 5.
    EXPECT_EQ(field->CharPosAtXY(250, firstLine.y()), 6);
    // Below the text: Len(Text) + 1.
    EXPECT_EQ(field->CharPosAtXY(firstLine.x(), 130), Len(field->Text()) + 1);
    // Left of the first line: its first character.
    EXPECT_EQ(field->CharPosAtXY(0, firstLine.y()), 1);
}

TEST_F(FieldFixture, MouseDownSeesControlLocalPointsAndFalseLetsTheFieldHandleThePress)
{
    AddText("Hello", false);
    std::vector<int> positions;
    field->InstallInstanceEventHandler("MouseDown", [&](int32_t x, int32_t y) {
        positions.push_back(field->CharPosAtXY(x, y));
        return false;
    });
    const QPoint point = CharacterCentre(*field, 3);
    test::MousePress(*field, point);
    test::MouseRelease(*field, point);
    EXPECT_EQ(positions, std::vector<int> { 4 });
    EXPECT_EQ(field->SelStart(), 3);
}

TEST_F(FieldFixture, MouseMoveOverTheTextReachesTheFieldInControlCoordinates)
{
    AddText("Hello", false);
    std::vector<int> positions;
    field->InstallInstanceEventHandler(
        "MouseMove", [&](int32_t x, int32_t y) { positions.push_back(field->CharPosAtXY(x, y)); });
    test::MouseMove(*field, CharacterCentre(*field, 1));
    test::MouseMove(*field, CharacterCentre(*field, 4));
    EXPECT_EQ(positions, (std::vector<int> { 2, 5 }));
}
