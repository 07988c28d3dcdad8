#pragma once

#include "globe/CellIndex.h"
#include "globe/GlobeBitMaker.h"
#include "globe/PuzzleTrimesh.h"

#include <lxframework/Picture.h>

#include <array>

namespace globe {

// Builds, once, all the geometry of the puzzle: for each of the 27 cells one
// earth-surface mesh and one inner-walls mesh, each a PuzzleTrimesh that knows
// its cell, and the four globe materials they are drawn with. The module holds
// them until the game's finalisation calls Release.
namespace GlobeBitCreation {

    using PuzzleMeshes = std::array<lx::Ref<PuzzleTrimesh>, CellCount>;

    // The module's data is never destroyed by the C++ runtime at exit (LX3D may
    // be gone by then); Release drops it while the plug-in is still loaded.

    // Entry i is cell i's surface mesh (GlobeBits) or walls mesh (BoxBits);
    // nil until Create. Entry 13 holds an empty mesh with index 13.
    extern PuzzleMeshes& GlobeBits;
    extern PuzzleMeshes& BoxBits;

    // Materials (LX3D Material objects); nil until Create.
    extern ObjectRef& GlobeSurface; // the earth map: every outer surface but the poles
    extern ObjectRef& NorthPoleSurface; // the north cap picture: cell 16's surface
    extern ObjectRef& SouthPoleSurface; // the south cap picture: cell 10's surface
    extern ObjectRef& GlobeInterior; // the ring picture: every walls mesh

    // The materials, then the surface meshes, then the walls meshes. An
    // exception (NilObjectException when the earth map is missing) leaves at
    // once; what was not yet built stays nil.
    void Create();
    void CreateSurfaceMaterial();
    void CreateInteriorMaterial();
    void CreateMeshes();
    void CreateBoxes();
    // A new PuzzleTrimesh for cell index, filled from the maker's current state,
    // stored in GlobeBits or BoxBits. An index outside 0 to 26 raises OutOfBoundsException.
    void AddTM(GlobeBitMaker& maker, int32_t index);
    void AddTMBox(GlobeBitMaker& maker, int32_t index);

    // Drops the module's references, in the order the game's finalisation
    // needs: GlobeBits, GlobeSurface, GlobeInterior, NorthPoleSurface,
    // SouthPoleSurface, BoxBits. Must run while LX3D is still loaded.
    void Release();

    struct PolarCaps {
        lx::Ref<lx::Picture> North;
        lx::Ref<lx::Picture> South;
    };
    constexpr int32_t RingPictureSide = 256;

    // The two 128 x 128 azimuthal cap pictures of an equirectangular map
    // (north at the top). Reads stay inside the map; a map of no size raises
    // NilObjectException.
    PolarCaps MakePolarCaps(lx::Picture& map);
    // The 256 x 256 picture of concentric rings drawn on the inner walls.
    lx::Ref<lx::Picture> MakeRingPicture();

    // Where CreateSurfaceMaterial gets the earth map, which the game hands
    // over at start-up; none reads as a missing map. Returns the previous accessor.
    using EarthMapAccessor = lx::Ref<lx::Picture> (*)();
    EarthMapAccessor SetEarthMapAccessor(EarthMapAccessor accessor);

}

}
