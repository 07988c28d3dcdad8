#pragma once

#include <lxframework/Exceptions.h>
#include <lxframework/Object.h>

#include <any>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <typeindex>

namespace lx {

// The framework events of a window, a control or the application, and the
// handlers installed for them by name. A class declares its events with their
// signatures; an application subclass may declare more (or a new event under
// the name of one it consumed). A handler must match the declared signature.
class HostEvents {
public:
    template <class Signature> void Declare(std::string_view name)
    {
        mDeclared.insert_or_assign(std::string(name), std::type_index(typeid(Signature)));
    }
    bool IsDeclared(std::string_view name) const { return mAcceptAll || mDeclared.find(name) != mDeclared.end(); }
    // Takes any handler by any name (and never raises them): for stand-ins.
    void AcceptAll() { mAcceptAll = true; }

    template <class R, class... A> void Install(std::string_view name, std::function<R(A...)> handler)
    {
        if (mAcceptAll)
            return;
        auto declared = mDeclared.find(name);
        if (declared == mDeclared.end())
            Throw<RuntimeException>("no event " + std::string(name));
        if (declared->second != std::type_index(typeid(R(A...))))
            Throw<RuntimeException>("the handler does not fit the event " + std::string(name));
        mHandlers.insert_or_assign(std::string(name), std::move(handler));
    }

    // Calls the installed handler; false when there is none.
    template <class... A> bool Raise(std::string_view name, A... arguments)
    {
        auto* found = Find<void, A...>(name);
        if (!found)
            return false;
        // A copy: the handler may replace itself or close its control.
        auto handler = *found;
        handler(arguments...);
        return true;
    }

    // Calls the installed handler and returns its result, or `otherwise`.
    template <class R, class... A> R RaiseWithResult(std::string_view name, R otherwise, A... arguments)
    {
        auto* found = Find<R, A...>(name);
        if (!found)
            return otherwise;
        auto handler = *found;
        return handler(arguments...);
    }

    // Handlers hold their receivers without a reference; a closing control
    // drops them so none can outlive its window.
    void Clear() { mHandlers.clear(); }

private:
    template <class R, class... A> std::function<R(A...)>* Find(std::string_view name)
    {
        auto found = mHandlers.find(name);
        if (found == mHandlers.end())
            return nullptr;
        return std::any_cast<std::function<R(A...)>>(&found->second);
    }

    std::map<std::string, std::type_index, std::less<>> mDeclared;
    std::map<std::string, std::any, std::less<>> mHandlers;
    bool mAcceptAll = false;
};

// Menu handlers of one receiver, by menu item name. A handler returns True
// when it dealt with the command, which ends its dispatch.
class MenuHandlers {
public:
    void Add(std::string_view itemName, std::function<bool()> handler)
    {
        mHandlers.insert_or_assign(std::string(itemName), std::move(handler));
    }
    // The handler's result; false when there is none.
    bool Invoke(std::string_view itemName)
    {
        auto found = mHandlers.find(itemName);
        if (found == mHandlers.end())
            return false;
        auto handler = found->second;
        return handler();
    }
    void Clear() { mHandlers.clear(); }

private:
    std::map<std::string, std::function<bool()>, std::less<>> mHandlers;
};

}
