#include <lxframework/MouseCursor.h>
#include <lxframework/Runtime.h>

#include <QCursor>

namespace lx {

MouseCursor::MouseCursor()
    : mShape(std::make_unique<QCursor>())
{
}

MouseCursor::~MouseCursor() = default;

Ref<MouseCursor> MouseCursor::New(const QCursor& cursor, std::string_view identity)
{
    Ref<MouseCursor> result = lx::New<MouseCursor>();
    *result->mShape = cursor;
    result->mIdentity = identity;
    return result;
}

Ref<MouseCursor> ArrowCursor() { return MouseCursor::New(QCursor(Qt::ArrowCursor), "Arrow"); }

}
