#include "cad/edit/QV2D_Break.h"

#include "cad/edit/BreakIDs.h"
#include "cad/edit/EntityEdits.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/scene/ProgramScene.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjects.h"
#include "core/geometry/ArcIntersections.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Line2D.h"
#include "core/entities/PolylineConversions.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/geometry/Tolerance.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace {

// A polyline cut closer than this to the start of its segment is not cut
// by that segment (a fixed length, not a setting).
constexpr double kMinCutGap = 0.001;

// The entity forms the routines work on, in drawing coordinates.
struct TLineForm {
    TVector2D P1, P2;
    int32_t ID = -1;
    uint8_t Layer = 0;
};

struct TArcForm {
    TArcInfo2D Info;
    int32_t ID = -1;
    uint8_t Layer = 0;
};

struct TChainForm {
    std::vector<TVector2D> Points;
    int32_t ID = -1;
    uint8_t Layer = 0;
};

// One cut of the polyline route: the segment (index of its first point),
// the distance from that point, the cut point.
struct TCut {
    int32_t Segment = 0;
    double Distance = 0.0;
    TVector2D Point;
};

std::optional<TLineForm> LineForm(const TLine2D& line)
{
    if (line.Points().Count() < 2)
        return std::nullopt;
    return TLineForm{DrawingPoint(line, 0), DrawingPoint(line, 1), line.ID(), line.Layer()};
}

std::optional<TArcForm> ArcForm(const TArco2D& arc)
{
    // A damaged record without its two angle points is no arc to cut.
    if (arc.Points().Count() < 4)
        return std::nullopt;
    return TArcForm{arc.GetArcInfo(), arc.ID(), arc.Layer()};
}

// The circle as the closed counter-clockwise arc from its angle-0 point
// round to the same point.
std::optional<TArcForm> ClosedArcForm(const TCerchio2D& circle)
{
    if (circle.Points().Count() < 2)
        return std::nullopt;
    TArcInfo2D info;
    info.Centre = DrawingPoint(circle, 0);
    info.Radius = DistanceVector2D(info.Centre, DrawingPoint(circle, 1));
    info.StartPoint = TVector2D{info.Centre.X + info.Radius, info.Centre.Y};
    info.EndPoint = info.StartPoint;
    info.StartAngle = 0.0;
    info.EndAngle = 0.0;
    info.Sweep = kTwoPi;
    return TArcForm{info, circle.ID(), circle.Layer()};
}

// The polyline form of a primitive: a polygon keeps its implied closing
// edge, which would otherwise be lost with the polygon.
std::optional<TChainForm> ChainForm(TPrimitive2D& entity)
{
    TPolylineOf form = PrimitiveToPolyline(entity);
    if (!form.Polyline)
        return std::nullopt;
    TChainForm chain{DrawingPoints(*form.Polyline), entity.ID(), entity.Layer()};
    if (dynamic_cast<const TPolygon2D*>(&entity) && chain.Points.size() >= 3 &&
        !IsSameVector2D(chain.Points.front(), chain.Points.back()))
        chain.Points.push_back(chain.Points.front());
    return chain;
}

TPoint2D ToPoint(const TVector2D& v) { return Point2D(v.X, v.Y); }

// Each place takes the remaining point nearest to the point placed before
// it, the first place the one nearest to start; on equal distances the
// later point of the list wins.
void SortPointsFromStart(const TVector2D& start, std::vector<TVector2D>& points)
{
    TVector2D previous = start;
    for (size_t placed = 0; placed < points.size(); ++placed) {
        size_t best = placed;
        double bestDistance = DistanceVector2D(previous, points[placed]);
        for (size_t i = placed + 1; i < points.size(); ++i) {
            const double d = DistanceVector2D(previous, points[i]);
            if (d <= bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        std::swap(points[placed], points[best]);
        previous = points[placed];
    }
}

// The counter-clockwise sweep from the arc's start to the point, in
// [0, 2 pi); a point at the start point sweeps 0, never a full turn.
double SweepFromStart(const TArcInfo2D& arc, const TVector2D& p)
{
    if (DistanceVector2D(arc.StartPoint, p) <= SystemTol())
        return 0.0;
    double d = AngleOf2PointsSigned(arc.Centre, p) - arc.StartAngle;
    while (d < 0.0)
        d += kTwoPi;
    while (d >= kTwoPi)
        d -= kTwoPi;
    return d;
}

// By sweep from the arc's start; ties go to the later point of the list.
void SortPointsAlongArc(const TArcInfo2D& arc, std::vector<TVector2D>& points)
{
    for (size_t placed = 0; placed < points.size(); ++placed) {
        size_t best = placed;
        double bestSweep = SweepFromStart(arc, points[placed]);
        for (size_t i = placed + 1; i < points.size(); ++i) {
            const double s = SweepFromStart(arc, points[i]);
            if (s <= bestSweep) {
                best = i;
                bestSweep = s;
            }
        }
        std::swap(points[placed], points[best]);
    }
}

// Adds the pieces of one break to the document. Until Finish records the
// step, a failure takes the pieces added so far out of the drawing again.
class TBreakJob {
public:
    explicit TBreakJob(TQV_01Cmp2D& document) : m_Document(document) {}
    ~TBreakJob()
    {
        if (m_Finished)
            return;
        for (int32_t id : m_Pieces) {
            try {
                m_Document.DeleteObject(id);
            } catch (...) {
            }
        }
    }
    TBreakJob(const TBreakJob&) = delete;
    TBreakJob& operator=(const TBreakJob&) = delete;

    void Mark(const TVector2D& x) { m_Crossings.push_back(x); }
    std::vector<TVector2D> TakeCrossings() { return std::move(m_Crossings); }

    void AddLinePiece(const TVector2D& a, const TVector2D& b, uint8_t layer)
    {
        if (DistanceVector2D(a, b) > SystemTol())
            Add(layer, std::make_unique<TLine2D>(-1, ToPoint(a), ToPoint(b)));
    }

    // The arc cut at the points (each on the arc), counter-clockwise from
    // its start: one piece up to each point in turn, then one to its end.
    // A point at the current start cuts nothing; so does the end when the
    // last cut reached it, while a closed arc that nothing cut gives one
    // piece of a full turn.
    void AddArcPieces(const TArcForm& arc, std::vector<TVector2D> points)
    {
        SortPointsAlongArc(arc.Info, points);
        double startAngle = arc.Info.StartAngle;
        TVector2D startPoint = arc.Info.StartPoint;
        bool made = false;
        const auto piece = [&](const TVector2D& x, bool last) {
            const double a = AngleOf2PointsSigned(arc.Info.Centre, x);
            if (!IsDifferentValue(ArcSweep(1, startAngle, a), 0.0))
                return;
            if (DistanceVector2D(startPoint, x) <= SystemTol() && !(last && !made))
                return;
            Add(arc.Layer, std::make_unique<TArco2D>(-1, ToPoint(arc.Info.Centre), ToPoint(arc.Info.StartPoint),
                                                     startAngle, a));
            made = true;
            startAngle = a;
            startPoint = x;
        };
        for (const TVector2D& x : points)
            piece(x, false);
        piece(arc.Info.EndPoint, true);
    }

    void AddChainPiece(const std::vector<TVector2D>& points, uint8_t layer)
    {
        if (points.size() < 2)
            return;
        std::vector<TPoint2D> stored;
        stored.reserve(points.size());
        for (const TVector2D& p : points)
            stored.push_back(ToPoint(p));
        Add(layer, std::make_unique<TPolyline2D>(-1, stored));
    }

    // Records the step (the two entities, then the pieces) and deletes the
    // two entities.
    void Finish(int32_t firstID, int32_t secondID)
    {
        std::vector<int32_t>& ids = BreakIDs();
        ids.clear();
        ids.push_back(firstID);
        ids.push_back(secondID);
        ids.insert(ids.end(), m_Pieces.begin(), m_Pieces.end());
        RecordEditStep(TUndoKind::Break, ids);
        m_Finished = true;
        m_Document.DeleteObject(firstID);
        m_Document.DeleteObject(secondID);
    }

private:
    template <class T> void Add(uint8_t layer, std::unique_ptr<T> piece)
    {
        m_Pieces.push_back(m_Document.AddObjectOnLayer(-1, layer, std::move(piece))->ID());
    }

    TQV_01Cmp2D& m_Document;
    std::vector<int32_t> m_Pieces;
    std::vector<TVector2D> m_Crossings;
    bool m_Finished = false;
};

bool BreakLineLine(TBreakJob& job, const TLineForm& l1, const TLineForm& l2)
{
    const std::optional<TVector2D> x = IntersectSegments(l1.P1, l1.P2, l2.P1, l2.P2);
    if (!x)
        return false;
    job.AddLinePiece(l1.P1, *x, l1.Layer);
    job.AddLinePiece(*x, l1.P2, l1.Layer);
    job.AddLinePiece(l2.P1, *x, l2.Layer);
    job.AddLinePiece(*x, l2.P2, l2.Layer);
    job.Mark(*x);
    job.Finish(l1.ID, l2.ID);
    return true;
}

bool BreakLineArc(TBreakJob& job, const TLineForm& line, const TArcForm& arc)
{
    std::vector<TVector2D> points;
    IntersectLineWithArc(line.P1, line.P2, arc.Info, true, points);
    if (points.empty())
        return false;
    std::vector<TVector2D> along = points;
    SortPointsFromStart(line.P1, along);
    TVector2D current = line.P1;
    for (const TVector2D& x : along) {
        job.AddLinePiece(current, x, line.Layer);
        current = x;
    }
    job.AddLinePiece(current, line.P2, line.Layer);
    job.AddArcPieces(arc, points);
    for (const TVector2D& x : points)
        job.Mark(x);
    job.Finish(line.ID, arc.ID);
    return true;
}

bool BreakArcArc(TBreakJob& job, const TArcForm& a1, const TArcForm& a2)
{
    std::vector<TVector2D> points;
    IntersectCircles(a1.Info, a2.Info, true, points);
    if (points.empty())
        return false;
    job.AddArcPieces(a1, points);
    job.AddArcPieces(a2, points);
    for (const TVector2D& x : points)
        job.Mark(x);
    job.Finish(a1.ID, a2.ID);
    return true;
}

// Splits the chain at its cuts (sorted by segment, then distance).
void SplitChainAtCuts(TBreakJob& job, const TChainForm& chain, const std::vector<TCut>& cuts)
{
    const std::vector<TVector2D>& q = chain.Points;
    std::vector<TVector2D> piece{q.front()};
    bool startsAtCut = false;
    size_t next = 0;
    for (size_t i = 1; i < q.size(); ++i) {
        while (next < cuts.size() && cuts[next].Segment == static_cast<int32_t>(i - 1)) {
            const TCut& cut = cuts[next++];
            // Within the gap of the segment's start, or of the cut before
            // (two crossings found at one point), the point is cut already.
            if (cut.Distance <= kMinCutGap || DistanceVector2D(cut.Point, piece.back()) <= kMinCutGap)
                continue;
            piece.push_back(cut.Point);
            job.AddChainPiece(piece, chain.Layer);
            piece.assign(1, cut.Point);
            startsAtCut = true;
        }
        // A cut at the segment's end already stands for its end point.
        if (!(startsAtCut && piece.size() == 1 && DistanceVector2D(q[i], piece.back()) <= kMinCutGap))
            piece.push_back(q[i]);
    }
    job.AddChainPiece(piece, chain.Layer);
}

bool BreakChains(TBreakJob& job, const TChainForm& q1, const TChainForm& q2)
{
    std::vector<TCut> cuts1, cuts2;
    for (size_t s = 0; s + 1 < q1.Points.size(); ++s) {
        for (size_t t = 0; t + 1 < q2.Points.size(); ++t) {
            const std::optional<TVector2D> x =
                IntersectSegments(q1.Points[s], q1.Points[s + 1], q2.Points[t], q2.Points[t + 1]);
            if (!x)
                continue;
            cuts1.push_back({static_cast<int32_t>(s), DistanceVector2D(q1.Points[s], *x), *x});
            cuts2.push_back({static_cast<int32_t>(t), DistanceVector2D(q2.Points[t], *x), *x});
            job.Mark(*x);
        }
    }
    if (cuts1.empty())
        return false;
    const auto order = [](const TCut& a, const TCut& b) {
        return a.Segment != b.Segment ? a.Segment < b.Segment : a.Distance < b.Distance;
    };
    std::stable_sort(cuts1.begin(), cuts1.end(), order);
    std::stable_sort(cuts2.begin(), cuts2.end(), order);
    SplitChainAtCuts(job, q1, cuts1);
    SplitChainAtCuts(job, q2, cuts2);
    job.Finish(q1.ID, q2.ID);
    return true;
}

// The first entity on the polyline route against the second's polyline
// form; nothing when the second has none.
bool BreakAsChains(TBreakJob& job, const std::optional<TChainForm>& first, TObject2D& second)
{
    auto* primitive = dynamic_cast<TPrimitive2D*>(&second);
    if (!first || !primitive)
        return false;
    const std::optional<TChainForm> other = ChainForm(*primitive);
    return other && BreakChains(job, *first, *other);
}

// The second entity as a line, an arc or a circle's closed arc.
struct TSecondForm {
    std::optional<TLineForm> Line;
    std::optional<TArcForm> Arc;
    bool Valid() const { return Line || Arc; }
};

TSecondForm SecondForm(TObject2D& second)
{
    TSecondForm form;
    if (const auto* line = dynamic_cast<const TLine2D*>(&second))
        form.Line = LineForm(*line);
    else if (const auto* arc = dynamic_cast<const TArco2D*>(&second))
        form.Arc = ArcForm(*arc);
    else if (const auto* circle = dynamic_cast<const TCerchio2D*>(&second))
        form.Arc = ClosedArcForm(*circle);
    return form;
}

bool IsLineArcOrCircle(const TObject2D& object)
{
    return dynamic_cast<const TLine2D*>(&object) || dynamic_cast<const TArco2D*>(&object) ||
           dynamic_cast<const TCerchio2D*>(&object);
}

// A line, an arc or a circle as the first entity.
bool BreakRound(TBreakJob& job, const std::optional<TLineForm>& line, const std::optional<TArcForm>& arc,
                TObject2D& second, TOutline2D* firstOutline)
{
    if (!IsLineArcOrCircle(second)) {
        std::optional<TChainForm> chain;
        if (line)
            chain = TChainForm{{line->P1, line->P2}, line->ID, line->Layer};
        else if (arc && firstOutline)
            chain = TChainForm{DrawingPoints(*CurveToLayerPolyline(*firstOutline)), arc->ID, arc->Layer};
        return BreakAsChains(job, chain, second);
    }
    const TSecondForm other = SecondForm(second);
    if (!other.Valid())
        return false;
    if (line)
        return other.Line ? BreakLineLine(job, *line, *other.Line) : BreakLineArc(job, *line, *other.Arc);
    if (!arc)
        return false;
    // A line paired with an arc is always handled line first.
    return other.Line ? BreakLineArc(job, *other.Line, *arc) : BreakArcArc(job, *arc, *other.Arc);
}

void MarkBreakPoints(TQV_00CADProg& prg, const std::vector<TVector2D>& crossings)
{
    TQVScene* scene = ProgramScene(prg);
    if (!scene)
        return;
    const double r = 5.0 * scene->PixelSize();
    for (const TVector2D& x : crossings) {
        TEllipse2D mark(-1, Point2D(-r, -r), Point2D(r, r));
        mark.SetTransform(TMatrix4::CreateTranslation(x.X, x.Y, 0.0));
        mark.DrawSelected();
    }
}

} // namespace

std::vector<TVector2D> BreakObjects(TQV_01Cmp2D& document, TObject2D& first, TObject2D& second)
{
    if (&first == &second)
        return {};
    TBreakJob job(document);
    bool broken = false;
    if (auto* line = dynamic_cast<TLine2D*>(&first)) {
        const std::optional<TLineForm> form = LineForm(*line);
        broken = form && BreakRound(job, form, std::nullopt, second, nullptr);
    } else if (auto* frame = dynamic_cast<TFrame2D*>(&first)) {
        const std::optional<TChainForm> chain =
            TChainForm{DrawingPoints(*FrameToPolyline(*frame)), frame->ID(), frame->Layer()};
        broken = BreakAsChains(job, chain, second);
    } else if (auto* arc = dynamic_cast<TArco2D*>(&first)) {
        const std::optional<TArcForm> form = ArcForm(*arc);
        broken = form && BreakRound(job, std::nullopt, form, second, arc);
    } else if (auto* circle = dynamic_cast<TCerchio2D*>(&first)) {
        const std::optional<TArcForm> form = ClosedArcForm(*circle);
        broken = form && BreakRound(job, std::nullopt, form, second, circle);
    } else if (auto* polyline = dynamic_cast<TPolyline2D*>(&first)) {
        broken = BreakAsChains(job, ChainForm(*polyline), second);
    } else if (auto* curve = dynamic_cast<TCurve2D*>(&first)) {
        const std::optional<TChainForm> chain =
            TChainForm{DrawingPoints(*CurveToLayerPolyline(*curve)), curve->ID(), curve->Layer()};
        broken = BreakAsChains(job, chain, second);
    }
    return broken ? job.TakeCrossings() : std::vector<TVector2D>{};
}

TQV2D_Break::TQV2D_Break(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    nextState = prg.IdleClass();
    // The highlights name the objects that the break may delete.
    ClearEditOverlay(prg);
    auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(Param());
    std::vector<TObject2D*> objects;
    if (selection)
        objects = selection->Objects();
    if (objects.size() >= 2) {
        const int32_t firstID = objects[0]->ID();
        const int32_t secondID = objects[1]->ID();
        TQV_01Cmp2D* document = OwnerDocument(*objects[0]);
        // The selection goes before its objects may.
        ClearParam();
        TObject2D* first = document ? document->GetObject(firstID) : nullptr;
        TObject2D* second = document ? document->GetObject(secondID) : nullptr;
        if (first && second)
            MarkBreakPoints(prg, BreakObjects(*document, *first, *second));
    }
    ClearParam();
}

void StartBreakCommand(TQV_00Prog& prg, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    if (TInfoEditModel* panel = InfoEditPanel())
        panel->SetCommandPage(InfoEditPage::Break);
    prg.UsaSnap = false;
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, StateClassOf<TQV2D_Break>());
    param->OnSelected = std::move(onSelected);
    prg.StartOperation(StateClassOf<TQV_50Seleziona2Ogg>(), std::move(param));
}
