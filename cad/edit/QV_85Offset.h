#pragma once
// The offset command: a parallel copy of one picked entity at a distance
// (cad/EntityOffset.h says how each kind is offset), previewed while the
// user edits the distance or flips the side in the tool window's offset
// page, and added to the drawing on OK, beside the picked entity (copy) or
// in its place (move: rbtOffsetMove checked).
//
// The command is three states:
// 1. the one-object selection TQV_50Seleziona1Ogg, started by the main
//    window with a TQV_50SelectObjectsParam (aperture 5) whose after-state
//    is TQV_85OffsetSelObj (StartOffsetCommand does the CAD side of it);
// 2. TQV_85OffsetSelObj (constructor only): the selection gives way to a
//    TQV_85OffsetParam on the picked entity, which becomes
//    CurrentOffsetParam() and shows the first preview; it names itself as
//    the running command;
// 3. TQV_85OffsetTrasforma: waits for the user events OK (commit) and
//    cancel (nothing added); both end the command, which then reports
//    TQV_85OffsetTrasforma as its class (the main window hides the tool
//    window). The tool window's distance edit and flip button act on the
//    running command through OffsetDistanceChanged and OffsetSideFlipped.
//
// Commit: every result is made pickable and added to the document with the
// next free ID on the document's current layer, the IDs collected in
// BreakIDs(). Copy mode records undo kind 17 with the new IDs. Move mode
// records undo kind 16 with the new IDs and then the picked entity's, and
// deletes the picked entity. When the offset gives no result (another kind
// of entity, an outline shrunk away), nothing is added, deleted or
// recorded: the picked entity stays where it is and no empty undo step is
// left behind.

#include "cad/program/QV_00State.h"
#include "cad/states/QV_50SelectObjectsParam.h"

#include <cstdint>
#include <memory>
#include <string_view>

class TObject2D;
class TQV_01Cmp2D;

class TQV_85OffsetParam : public TQV_00CommonParam {
public:
    // No after-state, no entity; the distance is the number in the offset
    // page's distance edit (0 when it holds none); not flipped, not
    // committing.
    explicit TQV_85OffsetParam(TQV_00CADProg& prg);
    // Clears CurrentOffsetParam() when it names this parameter.
    ~TQV_85OffsetParam() override;

    // The picked entity; null when none was set or it is no longer in its
    // document (the offset then does nothing).
    TObject2D* Entity() const;
    // The entity to offset (not owned); it must belong to a document for
    // the commit to add anything.
    void SetEntity(TObject2D* entity);

    double Distance() const { return m_Distance; }
    bool Flipped() const { return m_Flipped != 0; }
    bool Committing() const { return m_Committing != 0; }

    // Nothing without an entity; otherwise the program's view is rebuilt
    // (which clears the last preview) and every result goes to Emit.
    void Update();
    // Preview: draws the object into the view's selection group and frees
    // it. Committing: pickable, added to the document on its current layer
    // with the next free ID, the ID appended to BreakIDs().
    void Emit(std::unique_ptr<TObject2D> object);
    void ToggleSide();
    void SetDistance(double value);
    // The commit (see the header comment); then the view is rebuilt.
    void Apply();

    TQV_00CADProg& Program() const { return m_Program; }
    // The entity's document as set; null for an entity outside one.
    TQV_01Cmp2D* Document() const { return m_Document; }

private:
    TQV_00CADProg& m_Program;
    TObject2D* m_Entity = nullptr;
    int32_t m_EntityID = -1;
    TQV_01Cmp2D* m_Document = nullptr;
    double m_Distance = 0.0;
    uint8_t m_Flipped = 0;
    uint8_t m_Committing = 0;
};

class TQV_85OffsetSelObj : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_85OffsetSelObj";
    // Takes a TQV_50SelectObjectsParam (anything else raises
    // ECADSysException "TQV_85OffsetSelObj: Invalid param", which aborts
    // the command); an empty selection ends the command.
    TQV_85OffsetSelObj(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

class TQV_85OffsetTrasforma : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_85OffsetTrasforma";
    // Takes a TQV_85OffsetParam (else "TQV_85OffsetTrasforma: Invalid
    // param").
    TQV_85OffsetTrasforma(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    // User events only: OK commits, cancel discards; both repaint the
    // document's views, free the parameter and end the command.
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;
    // The preview goes with the scene rebuild at the end; then the
    // parameter is freed.
    void StopHook() override;
};

// The parameter of the offset command that runs, or null.
TQV_85OffsetParam* CurrentOffsetParam();
void SetCurrentOffsetParam(TQV_85OffsetParam* param);

// What the main window's Offset command does on the CAD side: the current
// offset parameter cleared, object snap off, and the one-object selection
// started (aperture 5, after-state TQV_85OffsetSelObj, onSelected as its
// selection callback). Panel and tool-window page are the main window's.
// Returns what StartOperation returns.
bool StartOffsetCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);

// The change handler of the distance edit: the number of the text becomes
// the running command's distance (and the preview follows). Nothing while
// no offset command runs, or for a text that is empty, "." or not a number.
void OffsetDistanceChanged(std::string_view text);
// The flip button: the running command's side is flipped.
void OffsetSideFlipped();
