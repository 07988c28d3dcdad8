#pragma once

// A host for the plug-in's wrappers: it answers the resolver with functions
// that record their calls and read their answers from the test's settings.

#include <lxframework/plugin.h>

#include <set>
#include <string>
#include <vector>

struct FakeHost {
    double version = 2007.03;
    bool inRuntime = true;
    std::set<std::string> withheld; // services the resolver answers null for
    std::vector<std::string> calls;
    LxClassHandle* classHandle = nullptr;

    void Reset() { *this = FakeHost {}; }
};

FakeHost& Host();
LxFunction FakeResolve(const char* name);
