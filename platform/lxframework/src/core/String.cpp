#include <lxframework/Runtime.h>
#include <lxframework/String.h>

namespace lx {

Ref<String> NewString(std::string_view bytes)
{
    Ref<String> string = New<String>();
    string->mBytes = bytes;
    return string;
}

}
