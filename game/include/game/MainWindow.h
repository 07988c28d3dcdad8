#pragma once

// The game's window: the 3D view of the globe on the left, and a side panel
// with Scramble and Restore, a size slider and a help text.

#include "bindings/Lx3D.h"
#include "globe/CellIndex.h"

#include <lxframework/Slider.h>
#include <lxframework/Window.h>

#include <array>
#include <cstdint>

namespace game {

using bindings::ObjectRef;

class MainWindow : public lx::Window {
public:
    // The pieces (PuzzleGroup3D), indexed by home cell; the piece of the
    // centre cell is the invisible empty slot.
    std::array<ObjectRef, globe::CellCount> myCubes;
    int32_t LastX = 0;
    int32_t LastY = 0;
    bool OfficialGame = false;
    ObjectRef SkyBackDropPic;
    int32_t XclickCorrection = 0;
    int32_t YclickCorrection = 0;
    double CamRadius = 0;
    bool ignoredrag = false;
    bool QuesaInstalled = false;

    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;
    void Event_Open() override;
    void Event_Close() override;
    void Event_Paint(lx::Graphics&) override { }
    virtual bool FileClose_Action();

    // Control events.
    virtual void View3D1_MouseDrag(int32_t X, int32_t Y);
    virtual bool View3D1_MouseDown(int32_t X, int32_t Y);
    virtual void View3D1_MouseMove(int32_t X, int32_t Y);
    virtual void View3D1_Open();
    virtual void View3D1_MouseUp(int32_t X, int32_t Y);
    virtual void butScramble_Action();
    virtual void butScramble_Open() { }
    virtual void butRestore_Action();
    virtual void butRestore_Open() { }
    virtual void SliderSize_ValueChanged();
    virtual void StaticText3_Open();

    // The scene: camera, backdrop and headlight, and the orbit of all three.
    void InitCamBackdropAndLight();
    void MoveCamera(int32_t dx, int32_t dy);

    // The puzzle.
    void CreateCubes();
    void PositionCubesInDefaultPositions();
    bool IsPositionRestored();
    void ScaleCubes(double percent);
    void Scramble(int32_t count);
    void Scramble();
    void RestoreCube();
    void CheckStatus();
    ObjectRef FindObjectCorrected(const ObjectRef& view, int32_t X, int32_t Y);

    // The controls, found by name.
    lx::Ref<lx::RectControl> View3D1() const;
    lx::Ref<lx::RectControl> butRestore() const;
    lx::Ref<lx::Slider> SliderSize() const;

private:
    void CreateControls0();
    const ObjectRef& Piece(int32_t index) const;
    bool IsFaceNeighbour(const ObjectRef& piece) const;
    void Slide(const ObjectRef& piece);
    // The piece under the view-local point, or nil.
    ObjectRef ClickedPiece(int32_t X, int32_t Y);
    void ChooseCursor(int32_t X, int32_t Y);
};

}
