#pragma once

#include <lxframework/MouseCursor.h>

#include <QCursor>

#include <string_view>

namespace lx {

struct MouseCursor::QtSide {
    QCursor shape;

    // Members of MouseCursor, so they may make one and read its shape.
    static Ref<MouseCursor> New(const QCursor& shape, std::string_view identity);
    static const QCursor& Shape(const MouseCursor& cursor) { return cursor.mQt->shape; }
};

// A cursor of that shape; the identity names where it came from.
inline Ref<MouseCursor> NewMouseCursor(const QCursor& shape, std::string_view identity)
{
    return MouseCursor::QtSide::New(shape, identity);
}

inline const QCursor& CursorShape(const MouseCursor& cursor) { return MouseCursor::QtSide::Shape(cursor); }

}
