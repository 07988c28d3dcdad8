#include "globe/PuzzlePiece.h"

#include "globe/PuzzleGroup3D.h"
#include "globe/PuzzleObject3d.h"
#include "globe/PuzzleTrimesh.h"

#include <lxframework/Runtime.h>

namespace globe {

PuzzlePiece* AsPuzzlePiece(lx::Object* element) { return dynamic_cast<PuzzlePiece*>(element); }

void RegisterPuzzleClasses()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    lx::RuntimeInit();
    lx::RegisterClass<PuzzleTrimesh>("PuzzleTrimesh", "Trimesh");
    lx::RegisterClass<PuzzleObject3d>("PuzzleObject3d", "Object3D");
    lx::RegisterClass<PuzzleGroup3D>("PuzzleGroup3D", "Group3D");
}

}
