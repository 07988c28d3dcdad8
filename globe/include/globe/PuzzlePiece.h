#pragma once

#include <cstdint>

namespace lx {
class Object;
}

namespace globe {

// What every scene element of a puzzle piece tells: the cell index of the
// piece's home cell. A picked element may be of any class, so callers find the
// interface with AsPuzzlePiece and treat a miss as "no piece".
class PuzzlePiece {
public:
    virtual int32_t Index() const = 0;

protected:
    ~PuzzlePiece() = default;
};

// The element's piece interface, or null for nil and for every element that
// is no piece (the star backdrop, a plain Object3D).
PuzzlePiece* AsPuzzlePiece(lx::Object* element);

// Registers PuzzleTrimesh, PuzzleObject3d and PuzzleGroup3D over the plug-in's
// classes. Start-up calls it after the runtime is ready and before any piece
// is made; later calls do nothing.
void RegisterPuzzleClasses();

}
