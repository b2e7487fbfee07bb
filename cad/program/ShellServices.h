#pragma once
// What the CAD side uses of the application shell (main window and tool
// window). The main window implements it and installs it at start-up with
// SetShellServices; tests install a recording fake. Until one is installed
// a silent default answers: every call does nothing, texts are empty,
// switches off, no open-geometry panel.
//
// The status-bar message is not here: it is WorkMonitor().ShowStatusMessage
// (core/WorkMonitor.h), which the main window implements too.

#include "cad/program/CADEvents.h"
#include "cad/program/QV_00CADPrgParam.h"
#include "core/geometry/Points.h"

#include <cstdint>
#include <string>
#include <vector>

class TQV_00CADProg;
class TQV_00Prog;
class TQV_00State;

// What the last File/Open opened; the numbers are stored values.
enum class TOpenedFileKind : uint8_t {
    None = 0, // nothing opened yet
    Document = 1,
    DXF = 2,
    BMP = 3,
    JPEG = 4,
    SVG = 5,
    STL = 6,
    Failed = 7, // the open failed
};

struct TOpenedFile {
    std::string FileName; // full name
    TOpenedFileKind Kind = TOpenedFileKind::None;
};

// The text fields of the tool window that the CAD commands read or write.
enum class TToolWinText {
    TransDx,      // txtTransDx
    TransDy,      // txtTransDy
    TransRepeat,  // txtTransRepeat, an integer, initially "1"
    RotateAngle,  // txtRotateAngle
    RotateRepeat, // txtRotateRepeat
    ScaleX,       // txtScaleX
    ScaleY,       // txtScaleY
    ScaleRepeat,  // txtScaleRepeat
    OffsetDist,   // txtOffsetDist, initially "1"
    MCLayer,      // lblMCLayer: result of move and copy to layer
    InfoExplode,  // stxInfoEsplode: explode summary
    NumPtAlong,   // txtNumPtAlong: points along a chain, an integer, initially "3"
    HoleDia,      // txtHoleDia: hole radius of the points along, initially "1"
    ChainLength,  // txtLength: length of the chain of the points along
    PtDistance,   // txtBtPoints: distance between the points along
    Chain3DInfo,  // lbl3dChainInfo: the boundary chain of a 3D operation
};

// The check boxes and radio buttons read by the commands.
enum class TToolWinCheck {
    ScaleUniform, // rbtScaleUniform
    OffsetMove,   // rbtOffsetMove: the offset replaces the picked entity
    AlPoints,     // chkAlPoints: points along make point entities
    AlHoles,      // chkAlHoles: points along make circles
};

// The control groups of the tool window that chain picking focuses.
enum class TToolWinGroup {
    Chains,      // the chain group of the operation pages
    ChainPoints, // the drilling-point group
};

// The item lists read by the commands.
enum class TToolWinIndex {
    MirrorAxis, // gprMirrorAxis: 0 axis by two points, 1 to 3 fixed axes
    LayerTo,    // cboLayerTo: item index = target layer 0..255
};

// The pages of the tool window that the CAD commands show.
enum class TToolWinTab { Translate, Rotate, Scale, Mirror, Explode, OpenR };

// The open-geometry side panel as the interaction program reaches it.
class TOpenGeoPicker {
public:
    virtual ~TOpenGeoPicker() = default;
    // True while the panel waits for a click in the view.
    virtual bool WaitsForViewClick() const = 0;
    virtual void StopWaitingForViewClick() = 0;
    // Moves the placement origin to the point (drawing units).
    virtual void ShiftOrigin(const TPoint2D& point) = 0;
    // Applies the placement.
    virtual void Apply() = 0;
};

class TShellServices {
public:
    virtual ~TShellServices() = default;

    // Main window.
    // Shows the current layer on the layer button and its colour.
    virtual void CurrLayerInfo() = 0;
    virtual void CurrLayerCol(uint32_t color) = 0;
    // The end-of-command handler: restores the ortho switch, hides the tool
    // window after transform and offset commands, refreshes the properties
    // panel, switches object snap off. A nested end names the nested class
    // while the program is still suspended.
    virtual void QV_PrgEndOperation(TQV_00CADProg& sender, TCADStateClass operation, TQV_00CADPrgParam* param) = 0;
    // Shows the state's prompt in the status bar.
    virtual void QV_PrgDescriptionChanged(TQV_00State& state) = 0;
    // The live coordinates of the cursor.
    virtual void GraphicViewMouseMove2D(
        const TShiftState& shift, double worldX, double worldY, int32_t x, int32_t y) = 0;
    // The current open-geometry panel, or null.
    virtual TOpenGeoPicker* OpenGeoPanel() = 0;
    virtual TOpenedFile OpenedFile() const = 0;
    // The grid switches of the main window. The grid button (sbtGridOnOff)
    // pressed or released.
    virtual void SetGridButtonDown(bool /*down*/) {}
    // Grid snap on or off: the menu items mnuSnap2Grid and mnuSBSnap2Grid
    // checked or not, and the snap button (sbtSnap) showing its image for
    // that state (the base image, plus 6 while on).
    virtual void ShowSnapToGrid(bool /*on*/) {}

    // Tool window.
    // Does nothing while the tool window is visible; otherwise shows the
    // pages (the tab strip only for more than one), captioned by the
    // language text of captionKey in section "frmToolWin".
    virtual void ShowPages(const std::vector<TToolWinTab>& tabs, const std::string& captionKey, int32_t clientWidth,
                           int32_t clientHeight) = 0;
    virtual std::string ToolWinText(TToolWinText field) const = 0;
    virtual void SetToolWinText(TToolWinText field, const std::string& text) = 0;
    virtual bool ToolWinChecked(TToolWinCheck check) const = 0;
    // Checks or clears a check box or radio button. The default ignores it.
    virtual void SetToolWinChecked(TToolWinCheck /*check*/, bool /*checked*/) {}
    virtual int32_t ToolWinItemIndex(TToolWinIndex list) const = 0;
    // Selects an item of the list (the mirror command resets its axis
    // choice to "by two points"). The default ignores it.
    virtual void SetToolWinItemIndex(TToolWinIndex /*list*/, int32_t /*index*/) {}
    // Gives the group the keyboard focus. The default ignores it.
    virtual void FocusToolWinGroup(TToolWinGroup /*group*/) {}
    // Set by the Copy buttons of the transform pages, cleared by Move.
    virtual bool CopySwitch() const = 0;
    // Set by rbtScaleUniform, cleared by rbtScaleXy.
    virtual bool UniformScaleSwitch() const = 0;
};

// The installed shell, or the silent default.
TShellServices& ShellServices();
// Installs the shell every later call goes to and returns the one installed
// before (null for the default). Not owned. Null restores the default.
TShellServices* SetShellServices(TShellServices* shell);

// Wires the program to the shell's handlers: OnEndOperation,
// OnDescriptionChanged and, when the program has a view, the view's
// OnMouseMove2D. The shell must outlive the wiring.
void ConnectShell(TQV_00Prog& prg, TShellServices& shell);
