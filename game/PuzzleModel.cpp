// The puzzle: 27 pieces on the cells of a 3 x 3 x 3 grid, the centre one the
// invisible empty slot. A piece's place is its group's position; every move
// swaps the places of the slot and one face neighbour.

#include "MainWindow.h"
#include "WaitCursorOff.h"

#include "globe/GlobeBitCreation.h"
#include "globe/PuzzleGroup3D.h"

#include <lxframework/Framework.h>
#include <lxframework/Functions.h>
#include <lxframework/Runtime.h>

#include <cmath>

namespace game {

namespace {

    constexpr int32_t CellsPerAxis = 3;
    constexpr double CellSize = 128.0;
    // Face neighbours are one cell apart along one axis; the band allows for
    // nothing but is the test as designed.
    constexpr double NeighbourMinimum = 127.0;
    constexpr double NeighbourMaximum = 129.0;
    constexpr int32_t SlideSteps = 4;
    constexpr int32_t ScrambleAttempts = 1000;
    constexpr double FullSize = 100.0;

    int32_t CellIndex(int32_t x, int32_t y, int32_t z) { return 9 * x + 3 * y + z; }

    struct Place {
        double x = 0;
        double y = 0;
        double z = 0;
    };

    Place PlaceOf(lx::Object* piece)
    {
        ObjectRef position = Element3D::Position(piece);
        return { Vector3D::X(position.Get()), Vector3D::Y(position.Get()), Vector3D::Z(position.Get()) };
    }

    void MoveTo(lx::Object* piece, Place place)
    {
        ObjectRef position = Element3D::Position(piece);
        Vector3D::SetX(position.Get(), place.x);
        Vector3D::SetY(position.Get(), place.y);
        Vector3D::SetZ(position.Get(), place.z);
    }

    double Distance(Place a, Place b) { return std::abs(a.x - b.x) + std::abs(a.y - b.y) + std::abs(a.z - b.z); }

}

void MainWindow::CreateCubes()
{
    globe::GlobeBitCreation::Create();
    ObjectRef objects = Lx3DSpace::Objects(View3D1().Get());
    for (int32_t x = 0; x < CellsPerAxis; ++x) {
        for (int32_t y = 0; y < CellsPerAxis; ++y) {
            for (int32_t z = 0; z < CellsPerAxis; ++z) {
                const int32_t i = CellIndex(x, y, z);
                lx::Ref<globe::PuzzleGroup3D> piece = lx::New<globe::PuzzleGroup3D>();
                piece->Constructor(i);
                Group3D::Append(piece.Get(), globe::GlobeBitCreation::GlobeBits[i].Get());
                Group3D::Append(piece.Get(), globe::GlobeBitCreation::BoxBits[i].Get());
                myCubes[i] = piece;
                Group3D::Append(objects.Get(), piece.Get());
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
    for (int32_t x = 0; x < CellsPerAxis; ++x) {
        for (int32_t y = 0; y < CellsPerAxis; ++y) {
            for (int32_t z = 0; z < CellsPerAxis; ++z)
                MoveTo(Piece(CellIndex(x, y, z)), { CellSize * (x - 1), CellSize * (y - 1), CellSize * (z - 1) });
        }
    }
    Lx3DSpace::Update(View3D1().Get());
}

bool MainWindow::IsPositionRestored()
{
    for (int32_t x = -1; x <= 1; ++x) {
        for (int32_t y = -1; y <= 1; ++y) {
            for (int32_t z = -1; z <= 1; ++z) {
                ObjectRef position = Element3D::Position(Piece(CellIndex(x, y, z) + SlotIndex));
                if (Vector3D::X(position.Get()) != CellSize * x || Vector3D::Y(position.Get()) != CellSize * y
                    || Vector3D::Z(position.Get()) != CellSize * z)
                    return false;
            }
        }
    }
    return true;
}

void MainWindow::ScaleCubes(double percent)
{
    for (int32_t i = 0; i < PieceCount; ++i) {
        lx::Object* piece = Piece(i);
        for (int32_t c = 0; c < Group3D::Count(piece); ++c)
            Element3D::SetScale(Group3D::Item(piece, c).Get(), percent / FullSize);
    }
}

bool MainWindow::IsFaceNeighbour(lx::Object* piece) const
{
    const double distance = Distance(PlaceOf(Piece(SlotIndex)), PlaceOf(piece));
    return distance >= NeighbourMinimum && distance <= NeighbourMaximum;
}

void MainWindow::Scramble(int32_t count)
{
    WaitCursorOff waitCursorOff;
    lx::Object* slot = Piece(SlotIndex);
    for (int32_t n = 1; n <= count; ++n) {
        lx::Object* piece = Piece(lx::ToInteger(lx::Rnd() * PieceCount));
        const Place slotPlace = PlaceOf(slot);
        if (IsFaceNeighbour(piece)) {
            Vector3D::Copy(Element3D::Position(slot).Get(), Element3D::Position(piece).Get());
            MoveTo(piece, slotPlace);
        }
        lx::RuntimeYield();
    }
}

void MainWindow::Scramble() { Scramble(ScrambleAttempts); }

void MainWindow::Slide(lx::Object* piece)
{
    lx::Object* slot = Piece(SlotIndex);
    const Place from = PlaceOf(piece);
    const Place to = PlaceOf(slot);
    const Place step { (to.x - from.x) / SlideSteps, (to.y - from.y) / SlideSteps, (to.z - from.z) / SlideSteps };

    // The slot is invisible, so it takes the piece's place at once.
    Vector3D::Copy(Element3D::Position(slot).Get(), Element3D::Position(piece).Get());
    lx::Ref<lx::RectControl> view = View3D1();
    for (int32_t i = 0; i < SlideSteps; ++i) {
        const Place at = PlaceOf(piece);
        MoveTo(piece, { at.x + step.x, at.y + step.y, at.z + step.z });
        Lx3DSpace::Update(view.Get());
        lx::RuntimeYield();
    }
    CheckStatus();
}

void MainWindow::RestoreCube()
{
    PositionCubesInDefaultPositions();
    Lx3DSpace::Update(View3D1().Get());
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
        Lx3DSpace::Update(View3D1().Get());
    }
}

ObjectRef MainWindow::FindObjectCorrected(lx::Object* view, int32_t X, int32_t Y)
{
    return Lx3DSpace::FindObject(view, X + XclickCorrection, Y + YclickCorrection);
}

lx::Object* MainWindow::Piece(int32_t index) const
{
    lx::Object* piece = myCubes.at(index).Get();
    if (!piece)
        lx::Throw<lx::NilObjectException>("piece " + lx::Str(index));
    return piece;
}

}
