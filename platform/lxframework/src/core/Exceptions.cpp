#include "Internal.h"

#include <lxframework/Class.h>
#include <lxframework/Exceptions.h>
#include <lxframework/Runtime.h>

namespace lx {

namespace {
    thread_local Ref<Object> gPending;

    std::string Describe(const Object* object)
    {
        if (!object)
            return "nil exception";
        std::string text = object->ObjectClass().Name();
        if (const auto* exception = dynamic_cast<const RuntimeException*>(object);
            exception && !exception->Message.empty())
            text += ": " + exception->Message;
        return text;
    }
}

Exception::Exception(Ref<Object> object)
    : mObject(std::move(object))
    , mWhat(Describe(mObject.Get()))
{
}

void RaisePending(Ref<Object> exception)
{
    if (!exception) {
        DebugLog("a nil exception was raised and ignored");
        return;
    }
    if (gPending) {
        DebugLog("dropped " + Describe(exception.Get()) + " raised while " + Describe(gPending.Get()) + " was pending");
        return;
    }
    gPending = std::move(exception);
}

bool HasPendingException() { return static_cast<bool>(gPending); }

Ref<Object> TakePendingException() { return std::move(gPending); }

void ThrowPendingException()
{
    if (gPending)
        throw Exception(TakePendingException());
}

void RaiseCurrentException() noexcept
{
    try {
        try {
            throw;
        } catch (const Exception& exception) {
            RaisePending(exception.ExceptionObject());
        } catch (const std::exception& exception) {
            Throw<RuntimeException>(exception.what());
        } catch (...) {
            Throw<RuntimeException>("unknown C++ exception");
        }
    } catch (const Exception& exception) {
        RaisePending(exception.ExceptionObject());
    } catch (...) {
        DebugLog("an exception could not be kept for the plug-in's caller");
    }
}

}
