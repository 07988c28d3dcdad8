#pragma once

// Helpers that reach the Qt widgets behind the framework's controls, shared
// by the tests of the framework and of the game's windows.

#include "Widgets.h"

#include <lxframework/EditField.h>

#include <QApplication>
#include <QPoint>
#include <QRect>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

// Lets queued events run (paints, deferred deletes, posted calls).
inline void ProcessEvents()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The centre of the character at `offset`, in the field's own coordinates.
inline QPoint CharacterCentre(const lx::EditField& field, int offset)
{
    auto* edit = static_cast<QTextEdit*>(lx::WidgetOf(field));
    QTextCursor cursor(edit->document());
    cursor.setPosition(offset);
    const QRect before = edit->cursorRect(cursor);
    cursor.setPosition(offset + 1);
    const QRect after = edit->cursorRect(cursor);
    const QPoint inViewport((before.left() + after.left()) / 2, before.center().y());
    return edit->viewport()->mapTo(edit, inViewport);
}

// The format of the character at `offset`.
inline QTextCharFormat FormatAt(const lx::EditField& field, int offset)
{
    QTextCursor cursor(static_cast<QTextEdit*>(lx::WidgetOf(field))->document());
    cursor.setPosition(offset + 1);
    return cursor.charFormat();
}
