#pragma once

#include <lxframework/Object.h>
#include <lxframework/Ref.h>

#include <memory>
#include <string>
#include <string_view>

class QCursor;

namespace lx {

// A mouse cursor: a system shape or a picture with its hot spot. The identity
// names where it came from ("Arrow", "FingerPointer", "resource 168").
class MouseCursor : public Object {
public:
    MouseCursor();
    ~MouseCursor() override;

    static Ref<MouseCursor> New(const QCursor& cursor, std::string_view identity);

    const QCursor& Shape() const { return *mShape; }
    const std::string& Identity() const { return mIdentity; }

private:
    std::unique_ptr<QCursor> mShape;
    std::string mIdentity;
};

// The standard arrow.
Ref<MouseCursor> ArrowCursor();

namespace System::Cursors {
    // The pointing hand of links.
    Ref<MouseCursor> FingerPointer();
}

}
