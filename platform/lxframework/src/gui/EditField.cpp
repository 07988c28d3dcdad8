#include "ControlWidgets.h"
#include "GuiInternal.h"

#include <lxframework/EditField.h>

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextLayout>

#include <algorithm>

namespace lx {

namespace {

    // Hands the viewport's presses to the field's MouseDown before the text
    // edit sees them; True from the handler keeps them from the edit.
    class PressFilter : public QObject {
    public:
        PressFilter(EditField& field, QTextEdit& edit)
            : QObject(&edit)
            , mField(&field)
            , mEdit(&edit)
        {
        }

        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() != QEvent::MouseButtonPress || !mField->IsOpen())
                return QObject::eventFilter(watched, event);
            auto* mouse = static_cast<QMouseEvent*>(event);
            NotePress(mouse->button(), mouse->modifiers());
            const QPoint local = mEdit->viewport()->mapTo(mEdit, mouse->position().toPoint());
            Ref<RectControl> keep(mField);
            bool handled = false;
            Dispatch([&] { handled = mField->Event_MouseDown(local.x(), local.y()); });
            return handled;
        }

    private:
        EditField* mField = nullptr;
        QTextEdit* mEdit = nullptr;
    };

    struct LineHit {
        QTextBlock block;
        QTextLine line;
    };

    // The laid-out line at document height y, the nearest one above or below
    // the text, or none for an empty document.
    LineHit LineAt(QTextDocument& document, qreal y, bool& belowText)
    {
        belowText = false;
        LineHit first;
        LineHit last;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QRectF blockRect = document.documentLayout()->blockBoundingRect(block);
            QTextLayout* layout = block.layout();
            for (int i = 0; layout && i < layout->lineCount(); ++i) {
                QTextLine line = layout->lineAt(i);
                const qreal top = blockRect.top() + line.y();
                if (!first.line.isValid())
                    first = { block, line };
                last = { block, line };
                if (y < top && first.block == block && i == 0)
                    return first;
                if (y >= top && y < top + line.height())
                    return { block, line };
            }
        }
        belowText = last.line.isValid();
        return last;
    }

    QTextEdit* Edit(const EditField& field) { return static_cast<QTextEdit*>(WidgetOf(field)); }

}

EditField::EditField() { mEvents.Declare<bool(int32_t, int32_t)>("MouseDown"); }

QWidget* CreateEditFieldWidget(EditField& field, QWidget* parent)
{
    auto* edit = new QTextEdit(parent);
    edit->setAcceptRichText(false);
    edit->setFont(ControlFont(field));
    edit->viewport()->setMouseTracking(true);
    edit->viewport()->installEventFilter(new PressFilter(field, *edit));
    return edit;
}

void EditField::ApplyFont()
{
    if (QTextEdit* edit = Edit(*this)) {
        edit->setFont(ControlFont(*this));
        edit->document()->setDefaultFont(ControlFont(*this));
    }
}

std::string EditField::Text() const { return FromQString(Edit(*this)->toPlainText()); }

void EditField::SetText(std::string_view text) { Edit(*this)->setPlainText(ToQString(text)); }

int32_t EditField::SelStart() const { return Edit(*this)->textCursor().selectionStart(); }

void EditField::SetSelStart(int32_t start)
{
    QTextCursor cursor = Edit(*this)->textCursor();
    const int end = Edit(*this)->document()->characterCount() - 1;
    cursor.setPosition(std::clamp(start, 0, end));
    Edit(*this)->setTextCursor(cursor);
}

int32_t EditField::SelLength() const
{
    const QTextCursor cursor = Edit(*this)->textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void EditField::SetSelLength(int32_t length)
{
    QTextCursor cursor = Edit(*this)->textCursor();
    const int start = cursor.selectionStart();
    const int end = Edit(*this)->document()->characterCount() - 1;
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + std::max(length, 0), start, end), QTextCursor::KeepAnchor);
    Edit(*this)->setTextCursor(cursor);
}

std::string EditField::SelText() const { return FromQString(Edit(*this)->textCursor().selectedText()); }

void EditField::SetSelText(std::string_view text)
{
    // The cursor edits the document directly, so a read-only field takes it too.
    QTextCursor cursor = Edit(*this)->textCursor();
    cursor.insertText(ToQString(text));
    Edit(*this)->setTextCursor(cursor);
}

void EditField::SetSelTextColor(Color color)
{
    QTextCharFormat format;
    format.setForeground(QColor(QRgb(color.rgb)));
    Edit(*this)->textCursor().mergeCharFormat(format);
}

void EditField::SetSelBold(bool bold)
{
    QTextCharFormat format;
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    Edit(*this)->textCursor().mergeCharFormat(format);
}

void EditField::SetScrollPosition(int32_t line)
{
    QTextDocument& document = *Edit(*this)->document();
    int remaining = std::max(line, 0);
    qreal y = 0;
    for (QTextBlock block = document.begin(); block.isValid() && remaining > 0; block = block.next()) {
        QTextLayout* layout = block.layout();
        const int lines = layout ? layout->lineCount() : 1;
        const QRectF blockRect = document.documentLayout()->blockBoundingRect(block);
        if (remaining < lines && layout) {
            y = blockRect.top() + layout->lineAt(remaining).y();
            remaining = 0;
            break;
        }
        remaining -= lines;
        y = blockRect.bottom();
    }
    Edit(*this)->verticalScrollBar()->setValue(static_cast<int>(y));
}

int32_t EditField::ScrollPosition() const
{
    const int offset = Edit(*this)->verticalScrollBar()->value();
    QTextDocument& document = *Edit(*this)->document();
    int line = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QRectF blockRect = document.documentLayout()->blockBoundingRect(block);
        QTextLayout* layout = block.layout();
        for (int i = 0; layout && i < layout->lineCount(); ++i, ++line) {
            if (blockRect.top() + layout->lineAt(i).y() + layout->lineAt(i).height() > offset)
                return line;
        }
    }
    return line;
}

int32_t EditField::CharPosAtXY(int32_t x, int32_t y) const
{
    QTextEdit& edit = *Edit(*this);
    // Control-local to document coordinates: through the frame to the
    // viewport, then past the scrolled-off part.
    const QPoint inViewport = edit.viewport()->mapFrom(&edit, QPoint(x, y));
    const QPointF inDocument(
        inViewport.x() + edit.horizontalScrollBar()->value(), inViewport.y() + edit.verticalScrollBar()->value());
    QTextDocument& document = *edit.document();
    const int32_t length = document.characterCount() - 1;
    bool belowText = false;
    LineHit hit = LineAt(document, inDocument.y(), belowText);
    if (!hit.line.isValid() || belowText)
        return length + 1;
    const QRectF blockRect = document.documentLayout()->blockBoundingRect(hit.block);
    const qreal lineX = inDocument.x() - blockRect.left();
    const int lineEnd = hit.line.textStart() + hit.line.textLength();
    int offset = 0;
    if (lineX >= hit.line.x() + hit.line.naturalTextWidth())
        offset = std::min(lineEnd, hit.block.length() - 1);
    else if (lineX <= hit.line.x())
        offset = hit.line.textStart();
    else
        offset = hit.line.xToCursor(lineX, QTextLine::CursorOnCharacter);
    return hit.block.position() + offset + 1;
}

bool EditField::ApplySetting(const Setting& setting)
{
    QTextEdit& edit = *Edit(*this);
    const std::string& name = setting.Name;
    if (name == "Text")
        SetText(SettingText(setting.Value));
    else if (name == "ReadOnly")
        edit.setReadOnly(SettingBoolean(setting.Value));
    else if (name == "Border")
        edit.setFrameShape(SettingBoolean(setting.Value) ? QFrame::StyledPanel : QFrame::NoFrame);
    else if (name == "MultiLine")
        edit.setLineWrapMode(SettingBoolean(setting.Value) ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    else if (name == "ScrollBarVertical")
        edit.setVerticalScrollBarPolicy(SettingBoolean(setting.Value) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    else if (name == "ScrollBarHorizontal")
        edit.setHorizontalScrollBarPolicy(
            SettingBoolean(setting.Value) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    else if (name == "TextColor")
        edit.setTextColor(QColor(QRgb(SettingColor(setting.Value).rgb)));
    else if (name == "BackColor") {
        QPalette palette = edit.palette();
        palette.setColor(QPalette::Base, QColor(QRgb(SettingColor(setting.Value).rgb)));
        edit.setPalette(palette);
    } else if (name == "Alignment")
        edit.setAlignment(Qt::AlignLeft);
    else if (name == "Styled" || name == "Password" || name == "LimitText" || name == "Format" || name == "Mask")
        return true;
    else
        return RectControl::ApplySetting(setting);
    return true;
}

}
