// Executing a transform command: copies, replacement by scaled copies, or
// the objects moved in place, each with its one undo step.

#include "cad/edit/BreakIDs.h"
#include "cad/states/QV_80TrasformaOggetti.h"
#include "cad/program/ShellServices.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/DuplicateObject.h"
#include "core/entities/Frame2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/entities/PolylineConversions.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/UndoRedo.h"
#include "core/model/WorkMonitor.h"

#include <memory>
#include <string>
#include <vector>

namespace {

TQV_01Cmp2D* DocumentOf(const TObject2D& object) { return dynamic_cast<TQV_01Cmp2D*>(object.Owner()); }

bool IsCircleOrArc(const TObject2D& object)
{
    return dynamic_cast<const TCerchio2D*>(&object) || dynamic_cast<const TArco2D*>(&object);
}

// Adds to the drawing the copy of the object as it is shown now (model and
// pending transform), on the object's layer; -1 when its kind cannot be
// copied. A circle or arc becomes a polyline when asked (a non-uniform
// scale would not keep it round), a frame when asked (a rotated or mirrored
// copy must not stay an axis-parallel frame).
int32_t AddTransformedCopy(TObject2D& object, bool circlesAsPolylines, bool framesAsPolylines)
{
    TQV_01Cmp2D* document = DocumentOf(object);
    if (!document)
        return -1;
    std::unique_ptr<TPolyline2D> polyline;
    if (circlesAsPolylines && IsCircleOrArc(object))
        polyline = CurveToLayerPolyline(static_cast<TOutline2D&>(object));
    else if (auto* frame = dynamic_cast<TFrame2D*>(&object); frame && framesAsPolylines)
        polyline = FrameOutlineToPolyline(*frame);
    return DuplicateObjectTransformed(*document, polyline ? *polyline : object, object.Layer());
}

void Record(TUndoKind kind, const std::vector<int32_t>& ids)
{
    if (ids.empty())
        return;
    if (TUndoRedo* journal = UndoJournal())
        journal->AddUndo(kind, ids);
}

void ReportSkipped(int skipped)
{
    if (skipped > 0)
        WorkMonitor().ShowStatusMessage(
            LangFormat(LangText(LangKeys::String::TransformSkipped), {std::to_string(skipped)}));
}

// Copy mode: copy j of each object carries the matrix applied j times.
// Only copies actually made are recorded, so the step's IDs always name
// objects of the drawing.
int CopyObjects(TQV_80TransformObjectsParam& param, bool uniform, std::vector<int32_t>& ids)
{
    const TMatrix4 matrix = param.Matrix;
    const int32_t copies = param.Copies < 1 ? 1 : param.Copies;
    const bool circlesAsPolylines = param.Kind() == TTransformKind::Scale && !uniform;
    const bool framesAsPolylines =
        param.Kind() == TTransformKind::Rotate || param.Kind() == TTransformKind::Mirror;
    int skipped = 0;
    try {
        for (TObject2D* object : param.Objects()) {
            TMatrix4 m = matrix;
            bool copied = true;
            for (int32_t j = 1; j <= copies && copied; ++j) {
                object->SetTransform(m);
                const int32_t id = AddTransformedCopy(*object, circlesAsPolylines, framesAsPolylines);
                if (id < 0)
                    copied = false;
                else
                    ids.push_back(id);
                m.Multiply(m, matrix);
            }
            object->SetTransform(IdentityMatrix4());
            if (!copied)
                ++skipped;
        }
    } catch (...) {
        // The copies made so far still get their undo step, and no object
        // keeps its preview.
        for (TObject2D* object : param.Objects())
            object->SetTransform(IdentityMatrix4());
        try {
            Record(TUndoKind::TransformCopies, ids);
        } catch (...) {
        }
        throw;
    }
    Record(TUndoKind::TransformCopies, ids);
    return skipped;
}

// Non-uniform scale in move mode: each object gives way to its scaled copy.
// An object that cannot be copied stays as it was and in the drawing.
int ReplaceObjects(TQV_80TransformObjectsParam& param, std::vector<int32_t>& ids)
{
    std::vector<TObject2D*> replaced;
    int skipped = 0;
    for (TObject2D* object : param.Objects()) {
        // The matrix itself, not whatever the last preview left: a typed or
        // entered point executes without a preview of its own.
        object->SetTransform(param.Matrix);
        int32_t id = -1;
        try {
            id = AddTransformedCopy(*object, true, false);
        } catch (...) {
            object->SetTransform(IdentityMatrix4());
            throw;
        }
        object->SetTransform(IdentityMatrix4());
        if (id < 0) {
            ++skipped;
            continue;
        }
        ids.push_back(object->ID());
        ids.push_back(id);
        replaced.push_back(object);
    }
    for (TObject2D* object : replaced)
        param.RemoveObject(object);
    Record(TUndoKind::ScaleReplace, ids);
    for (TObject2D* object : replaced)
        if (TQV_01Cmp2D* document = DocumentOf(*object))
            document->DeleteObject(object->ID());
    return skipped;
}

void MoveObjects(TQV_80TransformObjectsParam& param, std::vector<int32_t>& ids)
{
    for (TObject2D* object : param.Objects()) {
        ids.push_back(object->ID());
        object->SetTransform(IdentityMatrix4());
    }
    Record(TUndoKind::Transform, ids);
    for (TObject2D* object : param.Objects()) {
        object->SetTransform(param.Matrix);
        object->ApplyTransform();
    }
}

} // namespace

void ExecuteTransform(TQV_80TransformObjectsParam& param)
{
    std::vector<int32_t>& ids = BreakIDs();
    ids.clear();
    TShellServices& shell = ShellServices();
    const bool uniform = shell.UniformScaleSwitch();
    int skipped = 0;
    if (shell.CopySwitch())
        skipped = CopyObjects(param, uniform, ids);
    else if (param.Kind() == TTransformKind::Scale && !uniform)
        skipped = ReplaceObjects(param, ids);
    else
        MoveObjects(param, ids);
    ReportSkipped(skipped);
}
