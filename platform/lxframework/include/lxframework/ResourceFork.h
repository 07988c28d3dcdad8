#pragma once

#include <lxframework/MouseCursor.h>
#include <lxframework/Object.h>
#include <lxframework/Picture.h>
#include <lxframework/Ref.h>

namespace lx {

// The application's pictures and cursors by resource number, embedded in the
// program from resources/ and listed by its manifest. A number the manifest
// does not list, or a file that does not load, gives nil.
class ResourceFork : public Object {
public:
    Ref<Picture> GetPicture(int32_t number) const;
    // A new cursor on every call.
    Ref<MouseCursor> getCursor(int32_t number) const;
};

}
