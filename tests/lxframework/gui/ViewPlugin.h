#pragma once

// A small plug-in control written against the C interface only: it records
// every behaviour slot the framework calls, paints its rectangle in one color
// into the window's port, and answers presses by a mouse-down event of its
// own, as a 3D view does.

#include <lxframework/plugin.h>

#include <cstdint>
#include <string>
#include <vector>

namespace viewplugin {

// Calls as "slot 3 (x,y)", "open", "redraw"...
std::vector<std::string>& Calls();

// Registers the control "TestView" (once per process).
void Register();

// The color the next redraw or Update paints, as &hRRGGBB.
void SetPaintColor(uint32_t rgb);

// Binding name of the view's Update method, which paints and flushes at once.
constexpr const char* UpdateBinding = "TestView.Update";

constexpr int DefaultSide = 64;

}
