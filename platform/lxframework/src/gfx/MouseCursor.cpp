#include "CursorShape.h"

#include <lxframework/Runtime.h>

namespace lx {

MouseCursor::MouseCursor()
    : mQt(std::make_unique<QtSide>())
{
}

MouseCursor::~MouseCursor() = default;

Ref<MouseCursor> MouseCursor::QtSide::New(const QCursor& shape, std::string_view identity)
{
    Ref<MouseCursor> result = lx::New<MouseCursor>();
    result->mQt->shape = shape;
    result->mIdentity = identity;
    return result;
}

Ref<MouseCursor> ArrowCursor() { return NewMouseCursor(QCursor(Qt::ArrowCursor), "Arrow"); }

}
