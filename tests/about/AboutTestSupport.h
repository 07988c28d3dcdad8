#pragma once

#include "App.h"

#include <about/AboutWindow.h>
#include <about/EditfieldWithLinks.h>

#include "TestHooks.h"

#include <lxframework/Framework.h>
#include <lxframework/Runtime.h>

#include <QApplication>
#include <QTextCursor>
#include <QTextEdit>

#include <string>
#include <vector>

// The About box's classes and the game's application object, for the
// cursor and the version.
inline void SetUpAboutBox()
{
    game::RegisterAboutClasses();
    if (lx::getAppObject())
        return;
    const lx::Class* app = lx::FindClass("App");
    if (!app || app->ClassKind() == lx::Class::Kind::Stub)
        lx::RegisterClass<class game::App>("App", "Application");
    lx::RuntimeRegisterAppObject(lx::New<class game::App>());
}

// Lets queued events run (paints, deferred deletes).
inline void ProcessEvents()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The centre of the character at `offset`, in the field's own coordinates.
inline QPoint CharacterCentre(const lx::EditField& field, int offset)
{
    auto* edit = static_cast<QTextEdit*>(field.Widget());
    QTextCursor cursor(edit->document());
    cursor.setPosition(offset);
    const QRect before = edit->cursorRect(cursor);
    cursor.setPosition(offset + 1);
    const QRect after = edit->cursorRect(cursor);
    const QPoint inViewport((before.left() + after.left()) / 2, before.center().y());
    return edit->viewport()->mapTo(edit, inViewport);
}

// Collects the addresses handed to ShowURL while it lives.
class ShownURLs {
public:
    ShownURLs()
    {
        lx::test::CaptureShownURLs([this](std::string_view url) { Addresses.emplace_back(url); });
    }
    ~ShownURLs() { lx::test::CaptureShownURLs(nullptr); }
    std::vector<std::string> Addresses;
};
