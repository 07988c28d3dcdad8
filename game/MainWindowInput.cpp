// The player's input: presses, drags, moves and releases over the 3D view,
// and the side panel's buttons and slider.

#include "game/MainWindow.h"
#include "game/Resources.h"
#include "game/WaitCursorOff.h"

#include "globe/PuzzlePiece.h"

#include <lxframework/Keyboard.h>

namespace game {

using namespace bindings;

ObjectRef MainWindow::ClickedPiece(int32_t X, int32_t Y)
{
    ObjectRef picked = FindObjectCorrected(View3D1(), X, Y);
    // Either mesh of a piece names the piece by its home cell, wherever it stands now.
    if (globe::PuzzlePiece* piece = globe::AsPuzzlePiece(picked.Get()))
        return Piece(piece->Index());
    return nullptr;
}

bool MainWindow::View3D1_MouseDown(int32_t X, int32_t Y)
{
    WaitCursorOff waitCursorOff;
    ignoredrag = false;
    ObjectRef piece = ClickedPiece(X, Y);
    if (piece && !lx::IsContextualClick() && IsFaceNeighbour(piece)) {
        Slide(piece);
        ignoredrag = true;
    } else {
        // Anything but a slide starts an orbit from this point.
        LastX = X;
        LastY = Y;
    }
    return true;
}

void MainWindow::View3D1_MouseDrag(int32_t X, int32_t Y)
{
    if (ignoredrag)
        return;
    lx::Ref<lx::RectControl> view = View3D1();
    view->SetMouseCursor(HandClosedCursor());
    MoveCamera(X - LastX, Y - LastY);
    LastX = X;
    LastY = Y;
    Lx3DSpace::Update(view);
}

void MainWindow::ChooseCursor(int32_t X, int32_t Y)
{
    WaitCursorOff waitCursorOff;
    ObjectRef piece = ClickedPiece(X, Y);
    lx::Ref<lx::RectControl> view = View3D1();
    if (!piece || lx::Keyboard::AsyncControlKey())
        view->SetMouseCursor(HandCursor());
    else if (IsFaceNeighbour(piece))
        view->SetMouseCursor(lx::ArrowCursor());
    else
        view->SetMouseCursor(HandCursor());
}

void MainWindow::View3D1_MouseMove(int32_t X, int32_t Y) { ChooseCursor(X, Y); }

void MainWindow::View3D1_MouseUp(int32_t X, int32_t Y) { ChooseCursor(X, Y); }

void MainWindow::butScramble_Action()
{
    Scramble();
    if (!IsPositionRestored())
        OfficialGame = true;
    ScaleCubes(SliderSize()->Value());
    CheckStatus();
    Lx3DSpace::Update(View3D1());
}

void MainWindow::butRestore_Action()
{
    RestoreCube();
    OfficialGame = false;
    butRestore()->SetEnabled(false);
}

void MainWindow::SliderSize_ValueChanged()
{
    ScaleCubes(SliderSize()->Value());
    Lx3DSpace::Update(View3D1());
}

}
