#pragma once

#include "globe/PuzzlePiece.h"

#include <lxframework/PluginObject.h>

namespace globe {

// A piece itself: a Group3D holding the two meshes of its home cell.
class PuzzleGroup3D : public lx::PluginObject, public PuzzlePiece {
public:
    void Constructor(int32_t index) { mIndex = index; }
    int32_t Index() const override { return mIndex; }

private:
    int32_t mIndex = 0;
};

}
