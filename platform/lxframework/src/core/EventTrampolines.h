#pragma once

#include "Declaration.h"

#include <lxframework/Event.h>

namespace lx {

// The index in EventSignatures of a declared event's shape, or -1.
int EventSignatureOf(const Declaration& declaration);

// A trampoline of the event's signature that stands for this event alone, or
// null (with a debug-log line) when all of them are taken.
LxFunction AssignTrampoline(const EventDefinition& event);

// The application's handler that a trampoline calls for this object: the
// class's or the installed one, as the event lookup finds it; null for none.
const EventHandler* ApplicationHandler(const Object& instance, const EventDefinition& event);

}
