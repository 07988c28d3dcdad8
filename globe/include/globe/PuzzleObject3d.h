#pragma once

#include "globe/PuzzlePiece.h"

#include <lxframework/PluginObject.h>

namespace globe {

// A piece drawn from a loaded model, over Object3D. The game makes none of
// its pieces this way; the class exists so that such a piece would answer
// its home cell like the others.
class PuzzleObject3d : public lx::PluginObject, public PuzzlePiece {
public:
    void Constructor(int32_t index) { mIndex = index; }
    int32_t Index() const override { return mIndex; }

private:
    int32_t mIndex = 0;
};

}
