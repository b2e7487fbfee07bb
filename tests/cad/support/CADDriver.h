#pragma once
// Drives the interaction program without a mouse: a fake view with a
// linear pixel mapping, a recording shell, and a driver that moves,
// presses, releases, clicks and types through the same entry points the
// scene widget and the main window use (view messages inside the event
// guard, SendUserEvent, CancelOperation, SetCursorPoint + SendMouseEvent).
//
// Clicks are a move, a button down and a button up at one pixel: drawing
// states act on the down, selections on the up. Esc is what the main window
// does (CancelOperation). World points are turned into the nearest pixel,
// so tests that need exact points use a scale that maps them onto pixels.

#include "cad/scene/CADViewPort.h"
#include "cad/program/QV_00Prog.h"
#include "cad/program/ShellServices.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kbtest {

// world = ((x - OriginX) / Scale, (OriginY - y) / Scale): Y up in the
// drawing is Y down on screen.
class TFakeCADView final : public TCADViewPort {
public:
    std::optional<TPoint3D> ScreenToWorld(int32_t x, int32_t y) const override;
    void RebuildScene(bool recreateStock) override { Rebuilds.push_back(recreateStock); }

    // The pixel nearest to the drawing point.
    TIntPoint PixelOf(const TPoint2D& p) const;

    double Scale = 1.0;
    double OriginX = 500.0;
    double OriginY = 500.0;
    // Pixels under which no drawing point lies (the ray misses the plane).
    std::function<bool(int32_t x, int32_t y)> NoPointAt;
    std::vector<bool> Rebuilds; // the argument of each RebuildScene
};

// Installs itself as the shell for its lifetime and records what the CAD
// side asked of it. The tool-window fields start as the tool window's do.
class TRecordingShell final : public TShellServices {
public:
    struct TEnd {
        TCADStateClass Operation;
        TQV_00CADPrgParam* Param;
        bool WhileSuspended; // the program was still suspended (a nested end)
    };
    struct TMouseMove {
        double WorldX, WorldY;
        int32_t X, Y;
    };
    struct TPages {
        std::vector<TToolWinTab> Tabs;
        std::string CaptionKey;
        int32_t ClientWidth, ClientHeight;
    };

    TRecordingShell();
    ~TRecordingShell() override;
    TRecordingShell(const TRecordingShell&) = delete;
    TRecordingShell& operator=(const TRecordingShell&) = delete;

    void CurrLayerInfo() override { ++LayerInfoShown; }
    void CurrLayerCol(uint32_t color) override { LayerColors.push_back(color); }
    void QV_PrgEndOperation(TQV_00CADProg& sender, TCADStateClass operation, TQV_00CADPrgParam* param) override;
    void QV_PrgDescriptionChanged(TQV_00State& state) override { Prompts.push_back(state.Prompt()); }
    void GraphicViewMouseMove2D(const TShiftState& shift, double worldX, double worldY, int32_t x, int32_t y) override;
    TOpenGeoPicker* OpenGeoPanel() override { return OpenGeo; }
    TOpenedFile OpenedFile() const override { return Opened; }
    void ShowPages(const std::vector<TToolWinTab>& tabs, const std::string& captionKey, int32_t clientWidth,
                   int32_t clientHeight) override;
    std::string ToolWinText(TToolWinText field) const override;
    void SetToolWinText(TToolWinText field, const std::string& text) override { Texts[field] = text; }
    bool ToolWinChecked(TToolWinCheck check) const override;
    int32_t ToolWinItemIndex(TToolWinIndex list) const override;
    void SetToolWinItemIndex(TToolWinIndex list, int32_t index) override { Indexes[list] = index; }
    bool CopySwitch() const override { return Copy; }
    bool UniformScaleSwitch() const override { return UniformScale; }
    void SetGridButtonDown(bool down) override { GridButton.push_back(down); }
    void ShowSnapToGrid(bool on) override { SnapShown.push_back(on); }
    void FocusToolWinGroup(TToolWinGroup group) override { Focused.push_back(group); }

    std::vector<TEnd> Ends;
    std::vector<std::string> Prompts;
    std::vector<TMouseMove> MouseMoves;
    std::vector<TPages> Pages;
    int LayerInfoShown = 0;
    std::vector<uint32_t> LayerColors;
    std::vector<bool> GridButton; // each SetGridButtonDown
    std::vector<bool> SnapShown;  // each ShowSnapToGrid
    std::vector<TToolWinGroup> Focused; // each FocusToolWinGroup

    std::map<TToolWinText, std::string> Texts;
    std::map<TToolWinCheck, bool> Checks;
    std::map<TToolWinIndex, int32_t> Indexes;
    bool Copy = false;
    bool UniformScale = false;
    TOpenGeoPicker* OpenGeo = nullptr;
    TOpenedFile Opened;

private:
    TShellServices* m_Previous;
};

class TCADDriver {
public:
    // The pixel of a drawing point on the driven view.
    using TPixelOf = std::function<TIntPoint(const TPoint2D& p)>;

    // Binds the program to the view and wires the shell's handlers
    // (ConnectShell). All three must outlive the driver.
    TCADDriver(TQV_00Prog& prg, TFakeCADView& view, TRecordingShell& shell);
    // The same on any view (e.g. the scene view itself), with its own
    // drawing-to-pixel mapping for the moves in drawing units.
    TCADDriver(TQV_00Prog& prg, TCADViewPort& view, TPixelOf pixelOf, TRecordingShell& shell);

    // The mouse, in drawing units (nearest pixel) or in pixels. While a
    // button is held, moves carry it in their shift state.
    void MoveTo(const TPoint2D& p);
    void MovePixel(int32_t x, int32_t y);
    void Down(TMouseButton button = TMouseButton::Left);
    void Up(TMouseButton button = TMouseButton::Left);
    // Move, down, up.
    void Click(const TPoint2D& p, TMouseButton button = TMouseButton::Left);
    void ClickPixel(int32_t x, int32_t y, TMouseButton button = TMouseButton::Left);
    // Move, down, up, double click, up: as the window system delivers a
    // double click.
    void DoubleClick(const TPoint2D& p, TMouseButton button = TMouseButton::Left);
    // Press at from, move to to, release there.
    void Drag(const TPoint2D& from, const TPoint2D& to);

    // Keys of the view (virtual key codes).
    void KeyDown(int16_t key);
    void KeyUp(int16_t key);
    // The view repainted itself.
    void Repaint();

    // The main window's keys: Enter accepts, Esc cancels and stops.
    void Enter();
    void Esc();
    void User(TCADUserEvent code);
    // A point typed in the coordinate dialog: taken like a left click there.
    void TypePoint(const TPoint2D& p);

    // A tool-window edit changed by the user: its text is stored and the
    // user event of its change handler is sent (translation 6, rotation 4,
    // scale 5; none for the others).
    void EditToolWin(TToolWinText field, const std::string& text);
    // The mirror-axis choice (user event 8).
    void ChooseMirrorAxis(int32_t index);
    // The OK buttons of the transform, offset and layer pages (accept).
    void ToolWinOk() { User(TCADUserEvent::Accept); }

    TShiftState Shift; // modifiers added to every message

private:
    void Send(TViewMessageKind kind, int16_t key = 0);
    TShiftState HeldShift() const;

    TQV_00Prog& m_Prg;
    TCADViewPort& m_View;
    TPixelOf m_PixelOf;
    TRecordingShell& m_Shell;
    int32_t m_X = 0;
    int32_t m_Y = 0;
    bool m_LeftHeld = false;
    bool m_RightHeld = false;
    bool m_MiddleHeld = false;
};

} // namespace kbtest
