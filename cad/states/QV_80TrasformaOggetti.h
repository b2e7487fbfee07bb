#pragma once
// The transform commands: translate, rotate, scale and mirror the selected
// objects, moving them or adding transformed copies.
//
// A command is three states: a selection (cad/QV_50SelectObjects.h) whose
// after-state is one of the four starters, the starter (constructor only),
// and TQV_80TrasformaOggetti, which takes the base point and the second
// point and executes the transform.
//
// Starters: they take a TQV_50SelectObjectsParam (anything else raises
// ECADSysException "<name>: Invalid param", which aborts the command). An
// empty selection ends the command at once. Otherwise the selection gives
// way to the kind's transform parameter (cad/QV_80TransformObjectsParam.h),
// which becomes CurrentTransformParam(); the starter names itself as the
// running command (the main window hides the tool window when one of them
// ends), shows the kind's page of the tool window and reads the repeat
// count.
//
// TQV_80TrasformaOggetti (parameter: a TQV_80TransformObjectsParam, else
// "TQV_80: Invalid param"):
// - first left press: the base point (snapped); the second point then
//   follows the mouse (snapped, squared against the base point in
//   orthogonal mode) and the objects show the transform as a preview
//   through their pending transform; the second left press executes it.
// - typed values (user events 6 translation, 4 angle, 5 scale factors, each
//   for its own kind) set the transform from the tool-window fields as they
//   are: a text that is not a number counts as 0; orthogonal mode does not
//   apply. In uniform scale mode the X factor serves both axes.
// - user event 8 (mirror only): the mirror axis of the tool window about
//   the drawing origin (item 1 negates Y, 2 X, 3 both; 0 none).
// - accept executes the transform as it stands; cancel, Escape and a stop
//   of the command leave every object as it was.
// Executing: see ExecuteTransform. The command then goes on to the
// parameter's after-state, or ends.

#include "cad/program/QV_00State.h"
#include "cad/states/QV_80TransformObjectsParam.h"

#include <string_view>

class TQV_80TrasformaOggetti : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV_80TrasformaOggetti";
    // Clears the overlay and draws the objects' box into the view's
    // selection group; prompt slot 8.
    TQV_80TrasformaOggetti(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
    bool HandleEvent(const TCADEvent& event, TCADStateClass& nextState) override;
    // The objects lose their preview, then the parameter goes.
    void StopHook() override;

private:
    TQV_80TransformObjectsParam& TransformParam() const;
    // The mouse's second point: orthogonal mode, then ComputeMatrix.
    void ApplyPoint(const TPoint2D& p);
    // The objects show the matrix; the overlay shows them and the rubber
    // line.
    void ShowPreview();
    void ResetPreview();
    // Executes the transform; the after-state, or the end of the command.
    TCADStateClass Finish();
    void TypedTranslation();
    void TypedAngle();
    void TypedScale();
    void ChosenMirrorAxis();
};

// What the four starters share (constructor only).
class TQV_80TransformStarter : public TQV_00State {
protected:
    TQV_80TransformStarter(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState,
                           std::string_view stateName, TCADStateClass self, TTransformKind kind);
};

class TQV_81TraslaSelectedObjects : public TQV_80TransformStarter {
public:
    static constexpr std::string_view ClassName = "TQV_81TraslaSelectedObjects";
    TQV_81TraslaSelectedObjects(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

class TQV_82RuotaSelectedObjects : public TQV_80TransformStarter {
public:
    static constexpr std::string_view ClassName = "TQV_82RuotaSelectedObjects";
    TQV_82RuotaSelectedObjects(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

class TQV_84ScalaSelectedObjects : public TQV_80TransformStarter {
public:
    static constexpr std::string_view ClassName = "TQV_84ScalaSelectedObjects";
    TQV_84ScalaSelectedObjects(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

class TQV_83SpecchiaSelectedObjects : public TQV_80TransformStarter {
public:
    static constexpr std::string_view ClassName = "TQV_83SpecchiaSelectedObjects";
    TQV_83SpecchiaSelectedObjects(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// True for the class of one of the four starters (the main window hides
// the tool window when such a command ends).
bool IsTransformStarter(TCADStateClass operation);

// Executes the transform of the parameter on its objects, in order, with
// one undo step; the object IDs of the step are left in BreakIDs().
// - Copy switch on: Copies copies of each object (1 when below 1), copy j
//   carrying the matrix applied j times; a circle or arc under a non-uniform
//   scale, and a frame under a rotation or mirror, is copied as a polyline.
//   Undo kind 13 lists the copies made, object by object.
// - Copy switch off, scale, uniform switch off: each object is replaced by
//   its transformed copy (circles and arcs as polylines) and deleted. Undo
//   kind 15 lists the pairs (object, copy).
// - Otherwise: undo kind 14 records the objects, which then take the matrix
//   into their model transform.
// Objects of a kind that cannot be copied (text, bitmap, block, insert,
// container, 3D objects) are left as they were in the first two modes, the
// step records only the objects handled, and the status bar says how many
// were left; no step is recorded when nothing was copied or replaced.
// Every object's preview is dropped. Without an undo journal nothing is
// recorded.
void ExecuteTransform(TQV_80TransformObjectsParam& param);
