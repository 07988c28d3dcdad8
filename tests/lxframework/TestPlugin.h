#pragma once

// A small plug-in written against the C interface only, as a real one would
// be: value fields, accessors with selectors, a constructor chain, an event
// with a handling subclass, and a control with mouse events; and, as a faulty
// one might, members that let C++ exceptions out. It records what it runs so
// tests can see the order.

#include <lxframework/plugin.h>

#include <string>
#include <vector>

namespace testplugin {

struct VectorData {
    float x = 0, y = 0, z = 0;
};

struct ElementData {
    int32_t count = 0;
    uint8_t visible = 0;
    uint8_t flag = 0;
    double weight = 0;
    LxObject* position = nullptr;
};

struct MeshData {
    int32_t triangles = 0;
};

struct SpaceData {
    int32_t fieldOfView = 0;
};

constexpr int32_t DefaultFieldOfView = 60;

extern LxClassRecord VectorRecord;
extern LxClassRecord ElementRecord;
extern LxClassRecord MeshRecord;
extern LxClassRecord FragileRecord;
extern LxControlRecord SpaceRecord;

std::vector<std::string>& Log();

// Registers the records through the framework's resolver (once per process).
void Register();

VectorData& Vector(LxObject* object);
ElementData& Element(LxObject* object);

}
