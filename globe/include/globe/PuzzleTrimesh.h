#pragma once

#include "globe/PuzzlePiece.h"

#include <lxframework/PluginObject.h>

namespace globe {

// One mesh of a piece (its share of the earth's surface or its inner walls),
// an application subclass of LX3D's Trimesh that knows its home cell.
class PuzzleTrimesh : public lx::PluginObject, public PuzzlePiece {
public:
    void Constructor(int32_t index) { mIndex = index; }
    int32_t Index() const override { return mIndex; }

private:
    int32_t mIndex = 0;
};

}
