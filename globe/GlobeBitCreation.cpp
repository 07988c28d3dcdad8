#include "globe/GlobeBitCreation.h"

#include "globe/GlobeBitMaker.h"

#include <lxframework/Exceptions.h>
#include <lxframework/Functions.h>
#include <lxframework/Graphics.h>
#include <lxframework/RGBSurface.h>
#include <lxframework/Runtime.h>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

namespace globe::GlobeBitCreation {

PuzzleMeshes& GlobeBits = *new PuzzleMeshes;
PuzzleMeshes& BoxBits = *new PuzzleMeshes;
ObjectRef& GlobeSurface = *new ObjectRef;
ObjectRef& NorthPoleSurface = *new ObjectRef;
ObjectRef& SouthPoleSurface = *new ObjectRef;
ObjectRef& GlobeInterior = *new ObjectRef;

namespace {

    EarthMapAccessor gEarthMap = nullptr;

    // The cap pictures' literals: the full turn is a little larger than 2 pi,
    // and the rows are stretched by 1.02 so the caps reach past the pole
    // pieces' edges (the pole meshes' UVs divide by the same factor).
    constexpr double CapFullTurn = 6.2831853072;
    constexpr double CapHalfTurn = 3.141592654;
    constexpr double CapStretch = 1.02;
    constexpr double CapScale = 128.0;
    constexpr double CapRadiusScale = 1.5;

    struct RingFill {
        lx::Color color {};
        int32_t inset = 0;
    };

    ObjectRef NewMaterial(lx::Picture* texture)
    {
        ObjectRef material = bindings::NewObjectOfClass("Material");
        bindings::Material::SetTexture(material, lx::Ref<lx::Picture>(texture));
        return material;
    }

    lx::Ref<lx::Picture> NewPicture(int32_t width, int32_t height)
    {
        lx::Ref<lx::Picture> picture = lx::Picture::New(width, height, lx::Picture::DefaultDepth);
        if (!picture)
            lx::Throw<lx::NilObjectException>("a picture of that size cannot be made");
        return picture;
    }

    int32_t PixelIndex(double coordinate, int32_t size) { return std::clamp(lx::ToInteger(coordinate), 0, size - 1); }

    // The quarter turns that carry a kind's prototype from one stop to the
    // next ('Y' a Yaw, 'P' a Pitch, applied in the order written), and the
    // cell it then occupies.
    struct Stop {
        std::string_view turns;
        int32_t cell = 0;
    };

    struct KindSequence {
        void (GlobeBitMaker::*surfaceBuilder)() = nullptr;
        void (GlobeBitMaker::*wallsBuilder)() = nullptr;
        std::vector<Stop> stops;
    };

    const KindSequence CornerSequence { &GlobeBitMaker::CreateCornerPieceMesh, &GlobeBitMaker::CreateCornerPieceBox,
        { { "", 26 }, { "Y", 24 }, { "Y", 6 }, { "Y", 8 }, { "PY", 20 }, { "Y", 18 }, { "Y", 0 }, { "Y", 2 } } };
    const KindSequence SideSequence { &GlobeBitMaker::CreateSidePieceMesh, &GlobeBitMaker::CreateSidePieceBox,
        { { "", 17 }, { "Y", 25 }, { "Y", 15 }, { "Y", 7 }, { "PY", 23 }, { "Y", 21 }, { "Y", 3 }, { "Y", 5 },
            { "PY", 11 }, { "Y", 19 }, { "Y", 9 }, { "Y", 1 } } };
    const KindSequence FrontSequence { &GlobeBitMaker::CreateFrontPieceMesh, &GlobeBitMaker::CreateFrontPieceBox,
        { { "", 14 }, { "Y", 22 }, { "Y", 12 }, { "Y", 4 } } };
    // The pole prototype is built around (0, 0, 1) but only stored once turned.
    const KindSequence PoleSequence { &GlobeBitMaker::CreatePolePieceMesh, &GlobeBitMaker::CreatePolePieceBox,
        { { "P", 10 }, { "PP", 16 } } };

    enum class Part { Surface, Walls };

    void RunSequences(Part part)
    {
        for (const KindSequence* kind : { &CornerSequence, &SideSequence, &FrontSequence, &PoleSequence }) {
            GlobeBitMaker maker;
            (maker.*(part == Part::Surface ? kind->surfaceBuilder : kind->wallsBuilder))();
            for (const Stop& stop : kind->stops) {
                for (char turn : stop.turns) {
                    if (turn == 'Y')
                        maker.Yaw();
                    else
                        maker.Pitch();
                }
                if (part == Part::Surface)
                    AddTM(maker, stop.cell);
                else
                    AddTMBox(maker, stop.cell);
            }
        }
    }

    // The centre cell has no geometry, only its own empty mesh.
    void StoreCentre(PuzzleMeshes& meshes)
    {
        lx::Ref<PuzzleTrimesh> centre = lx::New<PuzzleTrimesh>();
        if (!centre)
            lx::Throw<lx::NilObjectException>("no PuzzleTrimesh could be made");
        centre->Constructor(CentreCell);
        meshes[CentreCell] = centre;
    }

    void Store(PuzzleMeshes& meshes, GlobeBitMaker& maker, int32_t index)
    {
        if (index < 0 || index >= CellCount)
            lx::Throw<lx::OutOfBoundsException>("no cell " + lx::Str(index));
        lx::Ref<PuzzleTrimesh> tm = lx::New<PuzzleTrimesh>();
        if (tm)
            tm->Constructor(index);
        maker.GetTrimesh(tm.Get());
        meshes[index] = tm;
    }

    void ReleaseAll(PuzzleMeshes& meshes)
    {
        for (auto& mesh : meshes)
            mesh.Reset();
    }

}

void Create()
{
    CreateSurfaceMaterial();
    CreateInteriorMaterial();
    CreateMeshes();
    CreateBoxes();
}

void CreateSurfaceMaterial()
{
    lx::Ref<lx::Picture> map = gEarthMap ? gEarthMap() : nullptr;
    GlobeSurface = NewMaterial(map.Get());
    if (!map)
        lx::Throw<lx::NilObjectException>("the earth map is missing");
    PolarCaps caps = MakePolarCaps(*map);
    NorthPoleSurface = NewMaterial(caps.North.Get());
    SouthPoleSurface = NewMaterial(caps.South.Get());
}

void CreateInteriorMaterial() { GlobeInterior = NewMaterial(MakeRingPicture().Get()); }

void CreateMeshes()
{
    RunSequences(Part::Surface);
    StoreCentre(GlobeBits);
}

void CreateBoxes()
{
    RunSequences(Part::Walls);
    StoreCentre(BoxBits);
}

void AddTM(GlobeBitMaker& maker, int32_t index) { Store(GlobeBits, maker, index); }

void AddTMBox(GlobeBitMaker& maker, int32_t index) { Store(BoxBits, maker, index); }

void Release()
{
    ReleaseAll(GlobeBits);
    GlobeSurface.Reset();
    GlobeInterior.Reset();
    NorthPoleSurface.Reset();
    SouthPoleSurface.Reset();
    ReleaseAll(BoxBits);
}

// Each cap is an azimuthal picture of its polar region: the angle about the
// cap's centre picks the map's column (0 straight up, 0.25 to the right), the
// distance from the centre picks, through the arcsine, the row counted from
// the map's top edge (north) or bottom edge (south). Pixels are read from a
// 32-bit working copy, whatever the map's own format.
PolarCaps MakePolarCaps(lx::Picture& map)
{
    const int32_t width = map.Width();
    const int32_t height = map.Height();
    if (width <= 0 || height <= 0)
        lx::Throw<lx::NilObjectException>("the map has no pixels");
    lx::Ref<lx::Picture> copy = NewPicture(width, height);
    copy->Graphics()->DrawPicture(&map, 0, 0);
    lx::Ref<lx::RGBSurface> source = copy->RGBSurface();

    const int32_t side = lx::ToInteger(CapScale);
    PolarCaps caps { NewPicture(side, side), NewPicture(side, side) };
    lx::Ref<lx::RGBSurface> north = caps.North->RGBSurface();
    lx::Ref<lx::RGBSurface> south = caps.South->RGBSurface();
    const double centre = (CapScale - 1) / 2;
    for (int32_t x = 0; x < side; ++x) {
        for (int32_t y = 0; y < side; ++y) {
            const double dx = x - centre;
            const double dy = y - centre;
            double angle = std::atan2(dx, -dy) / CapFullTurn;
            if (angle < 0)
                angle = angle + 1;
            const double radius = std::sqrt(dx * dx + dy * dy);
            const double rows = std::asin(radius / (CapScale * CapRadiusScale)) / CapHalfTurn * height * CapStretch;
            // Truncated toward zero and kept inside the map: next to the seam and
            // the poles the products land on the map's far edge.
            const int32_t column = PixelIndex(angle * width, width);
            north->SetPixel(x, y, source->Pixel(column, PixelIndex(rows, height)));
            south->SetPixel(x, y, source->Pixel(column, PixelIndex(height - rows, height)));
        }
    }
    return caps;
}

// Concentric discs: a dark rim, a pale one-pixel ring, rings from light to
// deep orange, and a red-orange core. The walls sample the picture on its
// vertical centre line by distance from the globe's centre.
lx::Ref<lx::Picture> MakeRingPicture()
{
    constexpr int32_t FirstRing = 17;
    constexpr int32_t LastRing = 63;
    const RingFill Rim { lx::RGB(106, 52, 17), 0 };
    const RingFill PaleRing { lx::RGB(255, 200, 105), 16 };
    const RingFill Core { lx::RGB(224, 64, 0), 74 };

    lx::Ref<lx::Picture> picture = NewPicture(RingPictureSide, RingPictureSide);
    lx::Ref<lx::Graphics> graphics = picture->Graphics();
    auto fill = [&](const RingFill& ring) {
        graphics->ForeColor = ring.color;
        graphics->FillOval(ring.inset, ring.inset, RingPictureSide - 2 * ring.inset, RingPictureSide - 2 * ring.inset);
    };
    fill(Rim);
    fill(PaleRing);
    for (int32_t i = FirstRing; i <= LastRing; ++i)
        fill({ lx::RGB(255, 192 - 2 * i, 128 - 2 * i), i });
    fill(Core);
    return picture;
}

EarthMapAccessor SetEarthMapAccessor(EarthMapAccessor accessor) { return std::exchange(gEarthMap, accessor); }

}
