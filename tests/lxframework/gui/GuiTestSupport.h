#pragma once

#include "TestHooks.h"
#include "ViewPlugin.h"
#include "WidgetSupport.h"

#include <lxframework/AppLife.h>
#include <lxframework/Runtime.h>
#include <lxframework/UserMessages.h>
#include <lxframework/Window.h>

#include <QApplication>

#include <string>
#include <vector>

// What the test windows and handlers did, in order.
inline std::vector<std::string>& Journal()
{
    static std::vector<std::string> journal;
    return journal;
}

// Registers the test plug-in and the C++ class T once per process.
template <class T> void RegisterTestClass(const char* name, const char* super = "Window")
{
    viewplugin::Register();
    if (!lx::FindClass(name) || lx::FindClass(name)->ClassKind() == lx::Class::Kind::Stub)
        lx::RegisterClass<T>(name, super);
}

// A new window of class T, constructed (hooks, Open events, shown).
template <class T> lx::Ref<T> OpenWindow(const char* name)
{
    RegisterTestClass<T>(name);
    lx::Ref<T> window = lx::New<T>();
    window->Constructor();
    return window;
}

// Collects message boxes instead of showing them while it lives.
class MessageCapture {
public:
    MessageCapture()
    {
        lx::test::CaptureMessageBoxes([this](std::string_view text) { Messages.emplace_back(text); });
    }
    ~MessageCapture() { lx::test::CaptureMessageBoxes(nullptr); }
    std::vector<std::string> Messages;
};
