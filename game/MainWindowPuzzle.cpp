// The puzzle: 27 pieces on the cells of a 3 x 3 x 3 grid, the centre one the
// invisible empty slot. A piece's place is its group's position; every move
// swaps the places of the slot and one face neighbour.

#include "game/MainWindow.h"
#include "game/WaitCursorOff.h"

#include "globe/GlobeBitCreation.h"
#include "globe/PuzzleGroup3D.h"

#include <lxframework/AppLife.h>
#include <lxframework/Functions.h>
#include <lxframework/Runtime.h>

#include <cmath>

namespace game {

using namespace bindings;

namespace {

    // Face neighbours are one cell apart along one axis; the band allows for
    // nothing but is the test as designed.
    constexpr double NeighbourMinimum = globe::CellSize - 1.0;
    constexpr double NeighbourMaximum = globe::CellSize + 1.0;
    constexpr int32_t SlideSteps = 4;
    constexpr int32_t ScrambleAttempts = 1000;
    constexpr double FullSize = 100.0;
    constexpr int32_t SlotIndex = globe::CentreCell;

    Point PlaceOf(const ObjectRef& piece) { return ReadVector(Element3D::Position(piece)); }

    void MoveTo(const ObjectRef& piece, const Point& place) { WriteVector(Element3D::Position(piece), place); }

    double Distance(const Point& a, const Point& b)
    {
        const Point d = a - b;
        return std::abs(d.X) + std::abs(d.Y) + std::abs(d.Z);
    }

}

void MainWindow::CreateCubes()
{
    globe::GlobeBitCreation::Create();
    ObjectRef objects = Lx3DSpace::Objects(View3D1());
    for (int32_t x = globe::FirstCoordinate; x <= globe::LastCoordinate; ++x) {
        for (int32_t y = globe::FirstCoordinate; y <= globe::LastCoordinate; ++y) {
            for (int32_t z = globe::FirstCoordinate; z <= globe::LastCoordinate; ++z) {
                const int32_t i = globe::CellIndex({ x, y, z });
                lx::Ref<globe::PuzzleGroup3D> piece = lx::New<globe::PuzzleGroup3D>();
                piece->Constructor(i);
                Group3D::Append(piece, globe::GlobeBitCreation::GlobeBits[i]);
                Group3D::Append(piece, globe::GlobeBitCreation::BoxBits[i]);
                myCubes[i] = piece;
                Group3D::Append(objects, piece);
                lx::RuntimeYield();
            }
            lx::RuntimeYield();
        }
        lx::RuntimeYield();
    }
    SetBooleanField(Piece(SlotIndex), "Visible", false);
}

void MainWindow::PositionCubesInDefaultPositions()
{
    for (int32_t i = 0; i < globe::CellCount; ++i)
        MoveTo(Piece(i), globe::HomePosition(i));
    Lx3DSpace::Update(View3D1());
}

bool MainWindow::IsPositionRestored()
{
    for (int32_t i = 0; i < globe::CellCount; ++i) {
        if (PlaceOf(Piece(i)) != globe::HomePosition(i))
            return false;
    }
    return true;
}

void MainWindow::ScaleCubes(double percent)
{
    for (int32_t i = 0; i < globe::CellCount; ++i) {
        const ObjectRef& piece = Piece(i);
        for (int32_t c = 0; c < Group3D::Count(piece); ++c)
            Element3D::SetScale(Group3D::Item(piece, c), percent / FullSize);
    }
}

bool MainWindow::IsFaceNeighbour(const ObjectRef& piece) const
{
    const double distance = Distance(PlaceOf(Piece(SlotIndex)), PlaceOf(piece));
    return distance >= NeighbourMinimum && distance <= NeighbourMaximum;
}

void MainWindow::Scramble(int32_t count)
{
    WaitCursorOff waitCursorOff;
    const ObjectRef& slot = Piece(SlotIndex);
    for (int32_t n = 1; n <= count; ++n) {
        const ObjectRef& piece = Piece(lx::ToInteger(lx::Rnd() * globe::CellCount));
        const Point slotPlace = PlaceOf(slot);
        if (IsFaceNeighbour(piece)) {
            Vector3D::Copy(Element3D::Position(slot), Element3D::Position(piece));
            MoveTo(piece, slotPlace);
        }
        lx::RuntimeYield();
    }
}

void MainWindow::Scramble() { Scramble(ScrambleAttempts); }

void MainWindow::Slide(const ObjectRef& piece)
{
    const ObjectRef& slot = Piece(SlotIndex);
    const Point from = PlaceOf(piece);
    const Point to = PlaceOf(slot);
    const Point step = (to - from) / SlideSteps;

    // The slot is invisible, so it takes the piece's place at once.
    Vector3D::Copy(Element3D::Position(slot), Element3D::Position(piece));
    lx::Ref<lx::RectControl> view = View3D1();
    for (int32_t i = 0; i < SlideSteps; ++i) {
        MoveTo(piece, PlaceOf(piece) + step);
        Lx3DSpace::Update(view);
        lx::RuntimeYield();
    }
    CheckStatus();
}

void MainWindow::RestoreCube()
{
    PositionCubesInDefaultPositions();
    Lx3DSpace::Update(View3D1());
}

void MainWindow::CheckStatus()
{
    if (!IsPositionRestored()) {
        butRestore()->SetEnabled(true);
        return;
    }
    butRestore()->SetEnabled(false);
    if (OfficialGame) {
        ScaleCubes(FullSize);
        Lx3DSpace::Update(View3D1());
    }
}

ObjectRef MainWindow::FindObjectCorrected(const ObjectRef& view, int32_t X, int32_t Y)
{
    return Lx3DSpace::FindObject(view, X + XclickCorrection, Y + YclickCorrection);
}

const ObjectRef& MainWindow::Piece(int32_t index) const
{
    const ObjectRef& piece = myCubes.at(index);
    if (!piece)
        lx::Throw<lx::NilObjectException>("piece " + lx::Str(index));
    return piece;
}

}
