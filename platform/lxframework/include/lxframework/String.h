#pragma once

#include <lxframework/Object.h>
#include <lxframework/Ref.h>

#include <string>
#include <string_view>

namespace lx {

// The framework's string: immutable bytes (UTF-8 by convention, NULs allowed)
// in a counted object, so a plug-in can hold and read it.
class String : public Object {
public:
    std::string_view Bytes() const { return mBytes; }
    // The bytes followed by a NUL, for plug-ins that want a C string.
    const char* CString() const { return mBytes.c_str(); }

private:
    friend Ref<String> NewString(std::string_view bytes);
    std::string mBytes;
};

Ref<String> NewString(std::string_view bytes);

}
