#pragma once
// The parameters of one machining operation: its tool record, cutter
// compensation, lead-in and lead-out, Z levels and depth passes, roughing
// and finishing passes, pocket, drilling, 3D, laser and lathe settings,
// holding tabs, the labels of a letters operation, the retract height, and
// (in the base TParamTrasforma) the step-and-repeat layout. One record
// serves every operation kind; several fields mean something else in some
// kinds (noted at the field). Operation kinds: 0 placeholder of old
// documents, 1 contour, 2 pocket, 3 drilling, 4 rotary axis, 5 3D parallel,
// 6 reserved, 7 lathe finishing, 8 laser engraving, 9 laser cut,
// 10 placeholder while reading, 11 lathe roughing, 12 letters, 13 laser
// pocket.
//
// Stored record, little-endian, in this order (version gates compare the
// document's 6-character signature as plain strings):
//  1. the tool record, document form;
//  2. int32 CompSide, double CompOffset, byte LayerPriority;
//  3. ("QV-001" on) int32 LeadInKind, double LeadInLength, int32 LeadOutKind,
//     double LeadOutLength, byte LeadAtMidSegment, byte MakeTabs; in "QV-001"
//     and "QV-002" ten obsolete bytes follow;
//  4. ("QV-001" on) the holding-tab list (cam/params/ListaTab.h);
//  5. doubles ZRapid, ZTop, ZDepth, ZStep, StockXY, int32 RoughCount, double
//     RoughSize, int32 FinishCount, double FinishSize, int32 PassCount,
//     double PassDepth, int32 HasRemainder, double RemainderDepth, bytes
//     DepthOrder, OffsetMethod, double StepOverPercent, byte SpiralInOut,
//     double Angle, int32 PocketType, int32 CycleType;
//  6. byte ArcMask, 7 zero bytes, doubles ArcMaskDiameter, ArcMaskTolerance;
//  7. int16 CutRules, int32 PocketEntry (both read as 0 before "QV-001");
//  8. uint16 flags: bit 0 KeepToolDown, 1 RoughPass3D, 2 LatheEntryOn,
//     3 LatheExitOn, 4 LatheHomeOn, 5 EmitG41G42, 6 FinishFace, 7 the
//     operation's switched-off mark, 8 RetractOn;
//  9. doubles MarginX, MarginY, ZBottom, Resolution;
// 10. singles LatheHome X, Z;
// 11. kind 12 only: the label record of Labels;
// 12. single RetractZ (before "QV-3.6": RetractOn false, RetractZ = ZRapid);
// 13. 28 reserved bytes;
// 14. (after "QV-003") byte XformOn; when set int32 StepCountX, StepCountY,
//     doubles StepX, StepY.

#include "cam/params/ListaTab.h"
#include "cam/tools/DatiUtBase.h"

#include <cstdint>
#include <memory>
#include <string_view>

class TEtichetta;
class TStream;

// The step-and-repeat layout of an operation's toolpath.
class TParamTrasforma {
public:
    virtual ~TParamTrasforma() = default;

    int32_t StepCountX = 1; // copies along X
    int32_t StepCountY = 1;
    double StepX = 0.0;     // distance between copies along X
    double StepY = 0.0;
    uint8_t XformOn = 0;

protected:
    TParamTrasforma() = default;
    // The step-and-repeat record (item 14).
    void LoadTransformFromStream(TStream& stream);
    void SaveTransformToStream(TStream& stream) const;
};

// A point of the lathe pages: X and Z.
struct TLathePoint {
    double X = 0.0;
    double Z = 0.0;
};

class TParametriOperazione : public TParamTrasforma {
public:
    // The creation values; OpKind := kind; ToolData := a tool record of the
    // kind's machine (none for kind 10); the kind's tool library made current
    // with its first tool taken (SelectToolLibrary (kind, true)).
    explicit TParametriOperazione(int kind);
    // Removes the tab markers from the drawing and frees the tabs.
    ~TParametriOperazione() override;
    TParametriOperazione(const TParametriOperazione&) = delete;
    TParametriOperazione& operator=(const TParametriOperazione&) = delete;

    // ToolData := a new tool record for the kind: mill for kinds 0 to 6 and
    // 12, lathe for 7 and 11, laser for 8, 9 and 13, none for 10.
    void CreateToolData(int kind);
    // Makes a new library of the kind's machine the current tool library,
    // bound to the tool window's list and page of that machine, and loads the
    // library file of the settings ("ToolsLib", "LatheLib", "LaserLib"); a
    // file that does not exist is looked for under its name in the tools
    // folder, and the setting takes that name. Mill kinds 1, 2, 3, 5, 12 and
    // laser kinds 8, 9, 13 always take their first tool onto the page; the
    // lathe kinds 7 and 11 take it only with takeFirstTool, and then copy it
    // into ToolData. Other kinds: nothing.
    void SelectToolLibrary(int kind, bool takeFirstTool);

    // The lathe points between their stored copies (LeadInLength and
    // LeadOutLength, MarginX and MarginY, ZBottom and Resolution) and the
    // working copies LatheHome, LatheEntry and LatheExit.
    void LathePointsFromStored();
    void LathePointsToStored();

    // Writes the record for the operation kind; switchedOff goes into bit 7
    // of the flags. A kind-12 record without a label object carries an empty
    // detached label, so that it reads back.
    void SaveToStream(TStream& stream, int kind, bool switchedOff);
    // Reads the record of a document of that version for the kind (which
    // becomes OpKind) into these parameters, whose ToolData must be the
    // kind's record (CreateToolData). Returns the switched-off mark. Any
    // failure raises ECADFileNotValid "LoadFromStream: Invalid stream.";
    // the caller then discards the operation with its parameters.
    bool LoadFromStream(TStream& stream, std::string_view version, int kind);

    std::unique_ptr<TDatiUtBase> ToolData;
    int32_t CompSide = 0; // 0 none, -1 outside, +1 inside
    double CompOffset = 0.0;
    int32_t LeadInKind = 0;  // 0 none, 1 line, 2 arc
    double LeadInLength = 0.0;  // 7, 11: stored home position X
    int32_t LeadOutKind = 0;
    double LeadOutLength = 0.0; // 7, 11: stored home position Z
    uint8_t LeadAtMidSegment = 0; // 8: 1 vector, 0 raster method
    uint8_t ArcMask = 0;
    double ArcMaskDiameter = 0.0;
    double ArcMaskTolerance = 0.0;
    double MarginX = 0.0;    // 7, 11: stored entry vector X
    double MarginY = 0.0;    // 7, 11: stored entry vector Z
    double ZBottom = 0.0;    // 7, 11: stored exit vector X
    double Resolution = 0.0; // 7, 11: stored exit vector Z
    bool RoughPass3D = false;
    double ZRapid = 0.0;     // 8, 9, 13: safe Z
    double ZTop = 0.0;
    double ZDepth = 0.0;     // 9, 13: feed plane
    double ZStep = 0.0;      // 3: peck increment; 5: rough Z increment
    double StockXY = 0.0;    // 3: thread pitch; 7, 11: stock
    int32_t RoughCount = 0;
    double RoughSize = 0.0;  // 8: step along the line
    int32_t FinishCount = 0;
    double FinishSize = 0.0; // 7, 11: finish dimension
    int32_t PassCount = 0;   // 9: number of passes
    double PassDepth = 0.0;
    int32_t HasRemainder = 0;
    double RemainderDepth = 0.0;
    uint8_t DepthOrder = 0;   // 1 chain by chain, 0 level by level; 8: 1 vertical raster
    uint8_t OffsetMethod = 0; // 0 clipping per chain, 1 nested areas, 2 own engine; 9: cut method
    uint8_t LayerPriority = 0; // 8: grey-scale engraving
    int16_t CutRules = 0;     // 0 as generated, 1 nearest start, 2 islands first
    double StepOverPercent = 0.0; // 5: raster step length
    uint8_t SpiralInOut = 0;  // 8: 0 zig-zag, 1 one way
    double Angle = 0.0;       // degrees
    int32_t PocketType = 0;   // 0 parallel passes, else offset rings
    int32_t CycleType = 0;    // drilling cycle 0..2 (code 81 + CycleType)
    uint8_t MakeTabs = 0;
    TListaTab Tabs;
    int32_t PocketEntry = 0;  // 0 none, 1 ramp, 2 helix
    bool KeepToolDown = false; // 8: 1 dots, 0 joined lines
    bool LatheHomeOn = false;
    // The lathe points as the lathe pages edit them; the stored copies are
    // LeadInLength/LeadOutLength (home), MarginX/MarginY (entry) and
    // ZBottom/Resolution (exit). LatheHome is also stored as two singles.
    TLathePoint LatheHome;
    TLathePoint LatheEntry;
    TLathePoint LatheExit;
    bool LatheEntryOn = false;
    bool LatheExitOn = false;
    bool FinishFace = false;
    bool EmitG41G42 = false;
    uint8_t OpKind = 0;
    std::unique_ptr<TEtichetta> Labels; // kind 12
    double RetractZ = 0.0;
    bool RetractOn = false;
};
