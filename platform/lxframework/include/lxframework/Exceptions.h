#pragma once

#include <lxframework/Object.h>
#include <lxframework/Ref.h>

#include <exception>
#include <string>
#include <string_view>

namespace lx {

// The framework's exception classes. They are framework objects like any
// other (counted, creatable by name, so a plug-in can make and raise them);
// C++ code meets them wrapped in lx::Exception.
class RuntimeException : public Object {
public:
    std::string Message;
};

class NilObjectException : public RuntimeException { };
class OutOfBoundsException : public RuntimeException { };
class IllegalCastException : public RuntimeException { };

// Calling through an entry point whose binding name matched no member.
class UnboundEntryPointException : public RuntimeException { };

// What the framework throws in C++: the raised exception object.
class Exception : public std::exception {
public:
    explicit Exception(Ref<Object> object);
    const Ref<Object>& ExceptionObject() const { return mObject; }
    template <class T> bool Is() const { return dynamic_cast<T*>(mObject.Get()) != nullptr; }
    const char* what() const noexcept override { return mWhat.c_str(); }

private:
    Ref<Object> mObject;
    std::string mWhat;
};

// Makes an exception object of class T with the message and throws it.
template <class T> [[noreturn]] void Throw(std::string_view message);

// The pending exception: what a plug-in raised (or what a callback from a
// plug-in let escape), kept until control is back in the framework's own frame.
// The first raise wins; a later one is dropped while one is pending.
void RaisePending(Ref<Object> exception);
bool HasPendingException();
Ref<Object> TakePendingException();
// Throws the pending exception, if there is one, as lx::Exception.
void ThrowPendingException();

// Inside a catch block where a C++ exception must go no further (into a
// plug-in, or out of one): makes the exception in flight the pending one, the
// framework's own as it is and any other a RuntimeException with its message.
void RaiseCurrentException() noexcept;

// Runs a call into plug-in code. A plug-in reports errors by raising them, so
// a C++ exception that leaves it anyway (an allocation that failed, say) is
// kept as the pending exception and the call gives its zero value: the caller
// then meets it as one the plug-in raised.
template <class Body> auto CallPlugin(Body&& body) noexcept -> decltype(body())
{
    try {
        return body();
    } catch (...) {
        RaiseCurrentException();
        return decltype(body())();
    }
}

}
