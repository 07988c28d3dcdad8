#pragma once

namespace bindings {

// A point or direction in the scene: what a Vector3D holds, as plain values.
struct Point {
    double X = 0;
    double Y = 0;
    double Z = 0;
};

}
