#include "cad/edit/QV2D_Esplode.h"

#include "cad/edit/BreakIDs.h"
#include "cad/scene/ProgramScene.h"
#include "cad/program/QV_00CADProg.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_51WinSelectObjects.h"
#include "cad/program/ShellServices.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Frame2D.h"
#include "core/model/GeoTree.h"
#include "core/geometry/Geometry.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/UndoRedo.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Holds the entity tree's update bracket for its lifetime.
class TTreeUpdate {
public:
    explicit TTreeUpdate(TGeoTree* tree) : m_Tree(tree)
    {
        if (m_Tree)
            m_Tree->BeginUpdate();
    }
    ~TTreeUpdate()
    {
        if (m_Tree)
            m_Tree->EndUpdate();
    }
    TTreeUpdate(const TTreeUpdate&) = delete;
    TTreeUpdate& operator=(const TTreeUpdate&) = delete;

private:
    TGeoTree* m_Tree;
};

TQV_01Cmp2D* DocumentOf(const TObject2D& object) { return dynamic_cast<TQV_01Cmp2D*>(object.Owner()); }

TPoint2D Through(const TMatrix4& m, const TPoint2D& p) { return CartesianPoint2D(m.TransformPoint2D(p)); }

// a applied first, then b.
TMatrix4 Composed(const TMatrix4& a, const TMatrix4& b)
{
    TMatrix4 m;
    m.Multiply(a, b);
    return m;
}

// A mirroring transform turns a counter-clockwise arc clockwise.
bool Mirrors(const TMatrix4& m) { return m.GetElement(0) * m.GetElement(5) - m.GetElement(1) * m.GetElement(4) < 0.0; }

void RecordExplode(std::span<const int32_t> ids)
{
    if (TUndoRedo* journal = UndoJournal())
        journal->AddUndo(TUndoKind::Explode, ids);
}

std::string Counted(int32_t count, std::string_view key)
{
    return std::to_string(count) + " " + LangToolWinText(key);
}

} // namespace

TQV2D_Esplode::TQV2D_Esplode(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    if (auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(Param())) {
        // The selection's highlights name objects that are about to go.
        if (TQVScene* scene = ProgramScene(prg))
            scene->ClearOverlay();
        const std::vector<TObject2D*> objects = selection->Objects();
        TQV_01Cmp2D* document = objects.empty() ? nullptr : DocumentOf(*objects.front());
        TTreeUpdate bracket(document ? document->TreeGeo() : nullptr);
        for (TObject2D* object : objects) {
            if (dynamic_cast<TBitmap2D*>(object))
                continue;
            ExplodeObject(*object);
            ++m_Processed;
        }
        prg.MarkSceneDirty();
    }
    nextState = prg.IdleClass();
    ClearParam();
    ShowSummary();
}

void TQV2D_Esplode::ExplodeObject(TObject2D& object)
{
    TQV_01Cmp2D* document = DocumentOf(object);
    if (!document)
        return;
    if (auto* block = dynamic_cast<TBlock2D*>(&object)) {
        const TMatrix4 placement = block->GetModelTransform();
        ExplodeBlock(*document, *block, placement, true);
    } else if (auto* frame = dynamic_cast<TFrame2D*>(&object)) {
        ExplodeFrame(*document, *frame);
    } else if (auto* polyline = dynamic_cast<TPolyline2D*>(&object)) {
        ExplodePolyline(*document, *polyline);
    }
}

void TQV2D_Esplode::ExplodeBlock(TQV_01Cmp2D& document, TBlock2D& reference, const TMatrix4& placement,
                                 bool outermost)
{
    TSourceBlock2D* source = reference.SourceBlock();
    if (!source || std::find(m_BlockPath.begin(), m_BlockPath.end(), source) != m_BlockPath.end())
        return;
    m_BlockPath.push_back(source);
    {
        TGraphicObjIterator it = source->Objects().GetIterator();
        for (TGraphicObject* o = it.First(); o; o = it.Next())
            if (auto* child = dynamic_cast<TObject2D*>(o))
                ExplodeChild(document, *child, placement);
    }
    m_BlockPath.pop_back();
    if (!outermost)
        return;
    document.DeleteObject(reference.ID());
    // Library blocks stay: the block library is read only at start-up.
    const int32_t sourceID = source->ID();
    if (!source->IsReferenced() && !source->Library() && document.GetSourceBlock(sourceID) == source)
        document.DeleteSourceBlock(sourceID);
}

void TQV2D_Esplode::ExplodeChild(TQV_01Cmp2D& document, TObject2D& child, const TMatrix4& placement)
{
    const TMatrix4 m = Composed(child.GetModelTransform(), placement);
    if (auto* nested = dynamic_cast<TBlock2D*>(&child)) {
        ExplodeBlock(document, *nested, m, false);
    } else if (auto* line = dynamic_cast<TLine2D*>(&child); line && line->Points().Count() >= 2) {
        ++m_Lines;
        document.AddObject(-1, std::make_unique<TLine2D>(-1, Through(m, line->Points().Get(0)),
                                                         Through(m, line->Points().Get(1))));
    } else if (auto* circle = dynamic_cast<TCerchio2D*>(&child); circle && circle->Points().Count() >= 2) {
        ++m_Arcs;
        document.AddObject(-1, std::make_unique<TCerchio2D>(-1, Through(m, circle->Points().Get(0)),
                                                            Through(m, circle->Points().Get(1))));
    } else if (auto* arc = dynamic_cast<TArco2D*>(&child); arc && arc->Points().Count() >= 4) {
        ++m_Arcs;
        // The arc as the child shows it (its own transform and direction
        // already in), then the placement; a mirror swaps its ends.
        const TArcGeometry2D g = arc->GetArcGeometry();
        const TPoint2D centre = Through(placement, g.Centre);
        const TPoint2D from = Through(placement, g.StartPoint);
        const TPoint2D to = Through(placement, g.EndPoint);
        double start = std::atan2(from.Y - centre.Y, from.X - centre.X);
        double end = std::atan2(to.Y - centre.Y, to.X - centre.X);
        if (Mirrors(placement))
            std::swap(start, end);
        document.AddObject(-1, std::make_unique<TArco2D>(-1, centre, Through(m, arc->Points().Get(1)), start, end));
    } else if (auto* polyline = dynamic_cast<TPolyline2D*>(&child)) {
        ++m_Polylines;
        std::vector<TPoint2D> points;
        for (const TPoint2D& p : polyline->Points().Points())
            points.push_back(Through(m, p));
        if (dynamic_cast<TPolygon2D*>(polyline) && points.size() > 1)
            points.push_back(points.front());
        document.AddObject(-1, std::make_unique<TPolyline2D>(-1, points));
    } else if (!dynamic_cast<TLine2D*>(&child) && !dynamic_cast<TCerchio2D*>(&child) &&
               !dynamic_cast<TArco2D*>(&child)) {
        // Whatever else the block shows must not vanish with it.
        std::unique_ptr<TGraphicObject> copy = child.Clone();
        if (auto* object = dynamic_cast<TObject2D*>(copy.get())) {
            copy.release();
            std::unique_ptr<TObject2D> owned(object);
            owned->Transform(placement);
            owned->ApplyTransform();
            ++m_Others;
            document.AddObject(-1, std::move(owned));
        }
    }
}

void TQV2D_Esplode::ExplodeFrame(TQV_01Cmp2D& document, TFrame2D& frame)
{
    const TMatrix4 m = frame.GetModelTransform();
    std::vector<TPoint2D> corners;
    {
        TProfilePointsUse use(frame);
        if (!frame.HasProfile() || frame.ProfilePointsCount() < 5)
            return;
        for (const TPoint2D& p : frame.ProfilePoints().Points().first(5))
            corners.push_back(Through(m, p));
    }
    m_Lines += 4;
    std::vector<int32_t>& ids = BreakIDs();
    ids.assign(1, frame.ID());
    for (size_t i = 1; i < corners.size(); ++i)
        ids.push_back(document
                          .AddObjectOnLayer(-1, frame.Layer(), std::make_unique<TLine2D>(-1, corners[i - 1], corners[i]))
                          ->ID());
    RecordExplode(ids);
    document.DeleteObject(frame.ID());
}

void TQV2D_Esplode::ExplodePolyline(TQV_01Cmp2D& document, TPolyline2D& polyline)
{
    const TMatrix4 m = polyline.GetModelTransform();
    std::vector<TPoint2D> points;
    for (const TPoint2D& p : polyline.Points().Points())
        points.push_back(Through(m, p));
    if (points.size() < 2)
        return;
    // A polygon's closing edge is implied by its points.
    if (dynamic_cast<TPolygon2D*>(&polyline) && !IsSamePoint2D(points.front(), points.back()))
        points.push_back(points.front());
    std::vector<int32_t>& ids = BreakIDs();
    ids.assign(1, polyline.ID());
    {
        TTreeUpdate bracket(document.TreeGeo());
        for (size_t i = 1; i < points.size(); ++i) {
            ++m_Lines;
            ids.push_back(
                document.AddObjectOnLayer(-1, polyline.Layer(), std::make_unique<TLine2D>(-1, points[i - 1], points[i]))
                    ->ID());
        }
    }
    RecordExplode(ids);
    document.DeleteObject(polyline.ID());
}

std::string TQV2D_Esplode::SummaryText() const
{
    if (m_Lines <= 0 && m_Arcs <= 0 && m_Polylines <= 0 && m_Others <= 0)
        return LangToolWinText(LangKeys::frmToolWin::ExplodeNothing);
    std::string text = Counted(m_Processed, LangKeys::frmToolWin::ExplodeProcessed) + " ";
    if (m_Lines > 0)
        text += Counted(m_Lines, LangKeys::frmToolWin::ExplodeLines) + " ";
    if (m_Arcs > 0)
        text += Counted(m_Arcs, LangKeys::frmToolWin::ExplodeArcs) + " ";
    if (m_Polylines > 0)
        text += Counted(m_Polylines, LangKeys::frmToolWin::ExplodePolylines);
    if (m_Others > 0)
        text += " " + Counted(m_Others, LangKeys::frmToolWin::ExplodeOthers);
    return text;
}

void TQV2D_Esplode::ShowSummary()
{
    TShellServices& shell = ShellServices();
    shell.SetToolWinText(TToolWinText::InfoExplode, SummaryText());
    shell.ShowPages({TToolWinTab::Explode}, "twExplode", 224, 160);
}

bool StartExplodeCommand(TQV_00CADProg& prg, bool window, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    prg.UsaSnap = false;
    const TCADStateClass after = StateClassOf<TQV2D_Esplode>();
    if (window)
        return prg.StartOperation(StateClassOf<TQV_51WinSelectObjects>(),
                                  std::make_unique<TQV_51WinSelectObjectsParam>(0, 0, nullptr, after));
    auto selection = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, after);
    selection->OnSelected = std::move(onSelected);
    return prg.StartOperation(StateClassOf<TQV_50SelectObjects>(), std::move(selection));
}
