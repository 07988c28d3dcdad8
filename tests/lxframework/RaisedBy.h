#pragma once

// Which of the framework's exceptions a call raised, for the tests of every
// layer that raises them through the host.

#include <lxframework/Exceptions.h>

#include <string>

// The kind of exception a call raised, or "" when it raised none.
template <class F> std::string RaisedBy(F call)
{
    try {
        call();
    } catch (const lx::Exception& exception) {
        if (exception.Is<lx::OutOfBoundsException>())
            return "OutOfBoundsException";
        if (exception.Is<lx::NilObjectException>())
            return "NilObjectException";
        if (exception.Is<lx::IllegalCastException>())
            return "IllegalCastException";
        return "other";
    }
    return "";
}
