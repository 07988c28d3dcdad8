#pragma once

#include <lxframework/Object.h>
#include <lxframework/Ref.h>

#include <memory>
#include <string>
#include <string_view>

namespace lx {

// A mouse cursor: a system shape or a picture with its hot spot. The identity
// names where it came from ("Arrow", "FingerPointer", "resource 168").
class MouseCursor : public Object {
public:
    MouseCursor();
    ~MouseCursor() override;

    const std::string& Identity() const { return mIdentity; }

    // The cursor's shape, defined on the framework's private side so that
    // this header names no toolkit type.
    struct QtSide;

private:
    std::unique_ptr<QtSide> mQt;
    std::string mIdentity;
};

// The standard arrow.
Ref<MouseCursor> ArrowCursor();

namespace System::Cursors {
    // The pointing hand of links.
    Ref<MouseCursor> FingerPointer();
}

}
