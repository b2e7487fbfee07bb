#include "cad/panel/EntityPages.h"

#include "core/entities/Arco2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/entities/Line2D.h"
#include "core/settings/NumberText.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/QVBSpline2D.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace {

namespace LK = LangKeys::String;

constexpr double RadToDeg = 180.0 / std::numbers::pi;
constexpr double DegToRad = std::numbers::pi / 180.0;

// The plane part of an affine transform of row-vector points:
// x' = x A + y C + E, y' = x B + y D + F.
struct TPlaneMap {
    double A = 1.0;
    double B = 0.0;
    double C = 0.0;
    double D = 1.0;
    double E = 0.0;
    double F = 0.0;

    TVector2D Map(const TVector2D& p) const { return {p.X * A + p.Y * C + E, p.X * B + p.Y * D + F}; }
    double Det() const { return A * D - B * C; }

    // None when the map collapses the plane (or is not finite).
    std::optional<TPlaneMap> Inverse() const
    {
        const double det = Det();
        if (det == 0.0 || !std::isfinite(det))
            return std::nullopt;
        TPlaneMap inv{D / det, -B / det, -C / det, A / det, 0.0, 0.0};
        inv.E = -(E * inv.A + F * inv.C);
        inv.F = -(E * inv.B + F * inv.D);
        return inv;
    }

    // True when the map keeps circles round: both axes equally long and
    // perpendicular (a mirror allowed), and not collapsed.
    bool IsSimilarity() const
    {
        const double xx = A * A + B * B;
        const double yy = C * C + D * D;
        const double tol = 1e-9 * (xx + yy);
        return Det() != 0.0 && std::abs(xx - yy) <= tol && std::abs(A * C + B * D) <= tol;
    }
};

// The entity's combined model transform as the pages use it.
struct TEntityFrame {
    bool HasTransform = false;
    TMatrix4 Matrix;
    std::optional<TPlaneMap> Plane; // when the transform is affine

    explicit TEntityFrame(const TObject2D& object) : HasTransform(object.HasTransform())
    {
        if (!HasTransform)
            return;
        // Copied at once: the combined transform may live in the shared
        // scratch matrix.
        Matrix = object.GetModelTransform();
        if (Matrix.IsAffine())
            Plane = TPlaneMap{Matrix.GetElement(0),  Matrix.GetElement(1),  Matrix.GetElement(4),
                              Matrix.GetElement(5),  Matrix.GetElement(12), Matrix.GetElement(13)};
    }

    // The control point as drawn.
    TVector2D ToDrawing(const TPoint2D& p) const
    {
        const TPoint2D q = CartesianPoint2D(p);
        if (!HasTransform)
            return {q.X, q.Y};
        if (Plane)
            return Plane->Map({q.X, q.Y});
        const TPoint2D r = CartesianPoint2D(Matrix.TransformPoint2D(MakePoint2D(q.X, q.Y)));
        return {r.X, r.Y};
    }

    // Circles and arcs are shown as drawn when the transform keeps them
    // round, else in their own coordinates.
    bool CirclesAsDrawn() const { return !HasTransform || (Plane && Plane->IsSimilarity()); }
};

TVector2D Own(const TPoint2D& p)
{
    const TPoint2D q = CartesianPoint2D(p);
    return {q.X, q.Y};
}

double Distance(const TVector2D& a, const TVector2D& b) { return std::hypot(b.X - a.X, b.Y - a.Y); }

TEntityCell ValueCell(double v, bool editable) { return {FormatCoord(v), v, editable}; }

void SetColumns(TEntityPage& page, int32_t gutter)
{
    page.ColumnTitles = {LangText(LK::ColumnX), LangText(LK::ColumnY)};
    page.GutterWidth = gutter;
}

void AddPointRow(TEntityPage& page, std::string_view key, const TVector2D& p, bool editable)
{
    page.RowCaptions.push_back(LangText(key));
    page.Cells.push_back({ValueCell(p.X, editable), ValueCell(p.Y, editable)});
}

void AddValueRow(TEntityPage& page, std::string_view key, double v, bool editable)
{
    page.RowCaptions.push_back(LangText(key));
    page.Cells.push_back({ValueCell(v, editable), TEntityCell{}});
}

void AddCountRow(TEntityPage& page, std::string_view key, int64_t n)
{
    page.RowCaptions.push_back(LangText(key));
    page.Cells.push_back({TEntityCell{std::to_string(n), static_cast<double>(n), false}, TEntityCell{}});
}

void AddApply(TEntityPage& page, uint8_t pageType)
{
    page.PageType = pageType;
    page.Buttons.push_back({LangText(LK::PanelApply), 35, 0, 0, true});
}

// The arc as a page shows it: counter-clockwise from Start to End (radians).
struct TArcView {
    TVector2D Centre;
    double Radius = 0.0;
    double Start = 0.0;
    double End = 0.0;
};

TArcView ViewArc(const TArco2D& arc, const TEntityFrame& frame)
{
    const bool drawn = frame.CirclesAsDrawn();
    const TPointsSet2D& points = arc.Points();
    const auto shown = [&](int i) { return drawn ? frame.ToDrawing(points.Get(i)) : Own(points.Get(i)); };
    TArcView view;
    view.Centre = shown(0);
    view.Radius = Distance(view.Centre, shown(1));
    const TVector2D s = shown(2);
    const TVector2D e = shown(3);
    const double startAngle = std::atan2(s.Y - view.Centre.Y, s.X - view.Centre.X);
    const double endAngle = std::atan2(e.Y - view.Centre.Y, e.X - view.Centre.X);
    // A clockwise record, or a counter-clockwise one drawn through a mirror,
    // runs from its end point counter-clockwise to its start point.
    const bool mirrored = drawn && frame.Plane && frame.Plane->Det() < 0.0;
    const bool counterClockwise = arc.IsCounterClockwise() != mirrored;
    view.Start = counterClockwise ? startAngle : endAngle;
    view.End = counterClockwise ? endAngle : startAngle;
    return view;
}

bool HasPoints(const TObject2D& object, int n)
{
    const auto* primitive = dynamic_cast<const TPrimitive2D*>(&object);
    return primitive && primitive->Points().Count() >= n;
}

// The cells as the user left them, against the page as it was shown.
class TEditedCells {
public:
    TEditedCells(const TEntityPage& page, const TCellTexts& texts) : m_Page(page), m_Texts(texts) {}

    bool Edited(size_t row, size_t col) const
    {
        if (row >= m_Page.Cells.size() || col >= m_Page.Cells[row].size() || !m_Page.Cells[row][col].Editable)
            return false;
        if (row >= m_Texts.size() || col >= m_Texts[row].size())
            return false;
        return m_Texts[row][col] != m_Page.Cells[row][col].Text;
    }
    bool RowEdited(size_t row) const { return Edited(row, 0) || Edited(row, 1); }
    bool AnyEdited() const
    {
        for (size_t row = 0; row < m_Page.Cells.size(); ++row)
            if (RowEdited(row))
                return true;
        return false;
    }

    double Value(size_t row, size_t col) const
    {
        if (!Edited(row, col))
            return row < m_Page.Cells.size() && col < m_Page.Cells[row].size() ? m_Page.Cells[row][col].Value : 0.0;
        std::string text = m_Texts[row][col];
        std::replace(text.begin(), text.end(), ',', '.');
        const std::optional<double> v = ParseDecimal(text);
        if (!v)
            throw std::invalid_argument("'" + m_Texts[row][col] + "' is not a valid floating point value");
        return *v;
    }
    TVector2D Point(size_t row) const { return {Value(row, 0), Value(row, 1)}; }

private:
    const TEntityPage& m_Page;
    const TCellTexts& m_Texts;
};

TPoint2D Stored(const TVector2D& p) { return MakePoint2D(p.X, p.Y); }

// Points and lines: the points as drawn, the transforms dropped.
bool ApplyDrawnPoints(TPrimitive2D& entity, const TEditedCells& cells, int n, const std::function<void()>& before)
{
    if (!cells.AnyEdited() && !entity.HasTransform())
        return false;
    std::vector<TVector2D> points;
    for (int i = 0; i < n; ++i)
        points.push_back(cells.Point(i));
    before();
    entity.ResetTransforms();
    for (int i = 0; i < n; ++i)
        entity.Points().SetPoint(i, Stored(points[i]));
    return true;
}

// Frames and bitmaps: corners 0 and 1 (rows 0 and 1); the transform stays
// and an edited corner goes through its inverse. Only a transform without
// an inverse is dropped, the corners then taken as drawn.
void ApplyCorners(TPrimitive2D& entity, const TEntityFrame& frame, const TVector2D (&corners)[2],
                  const bool (&edited)[2])
{
    if (!frame.HasTransform) {
        for (int i = 0; i < 2; ++i)
            if (edited[i])
                entity.Points().SetPoint(i, Stored(corners[i]));
        return;
    }
    const std::optional<TPlaneMap> inverse = frame.Plane ? frame.Plane->Inverse() : std::nullopt;
    if (!inverse) {
        entity.ResetTransforms();
        for (int i = 0; i < 2; ++i)
            entity.Points().SetPoint(i, Stored(corners[i]));
        return;
    }
    for (int i = 0; i < 2; ++i)
        if (edited[i])
            entity.Points().SetPoint(i, Stored(inverse->Map(corners[i])));
}

bool ApplyFrame(TFrame2D& entity, const TEditedCells& cells, const std::function<void()>& before)
{
    if (!cells.AnyEdited())
        return false;
    const TVector2D corners[2] = {cells.Point(0), cells.Point(1)};
    const bool edited[2] = {cells.RowEdited(0), cells.RowEdited(1)};
    before();
    ApplyCorners(entity, TEntityFrame(entity), corners, edited);
    return true;
}

bool ApplyBitmap(TBitmap2D& entity, const TEditedCells& cells, const std::function<void()>& before)
{
    if (!cells.AnyEdited())
        return false;
    const TVector2D corners[2] = {cells.Point(0), cells.Point(1)};
    const bool edited[2] = {cells.RowEdited(0), cells.RowEdited(1)};
    const double percent = cells.Value(4, 0);
    before();
    ApplyCorners(entity, TEntityFrame(entity), corners, edited);
    if (cells.Edited(4, 0))
        entity.SetOpacity(static_cast<float>(std::clamp(percent, 1.0, 100.0) / 100.0));
    return true;
}

bool ApplyCircle(TCerchio2D& entity, const TEditedCells& cells, const std::function<void()>& before)
{
    if (!cells.AnyEdited())
        return false;
    const TVector2D centre = cells.Point(0);
    const double radius = std::abs(cells.Value(1, 0));
    const TEntityFrame frame(entity);
    before();
    if (frame.HasTransform && frame.CirclesAsDrawn())
        entity.ResetTransforms();
    entity.Points().SetPoint(0, Stored(centre));
    entity.Points().SetPoint(1, MakePoint2D(centre.X + radius, centre.Y));
    return true;
}

bool ApplyArc(TArco2D& entity, const TEditedCells& cells, const std::function<void()>& before)
{
    if (!cells.AnyEdited())
        return false;
    const TVector2D centre = cells.Point(0);
    const double radius = std::abs(cells.Value(1, 0));
    const double start = cells.Value(2, 0) * DegToRad;
    const double end = cells.Value(3, 0) * DegToRad;
    const TEntityFrame frame(entity);
    before();
    if (frame.HasTransform && frame.CirclesAsDrawn())
        entity.ResetTransforms();
    // The direction byte stays (the undo journal restores points and
    // transform, not the direction); a clockwise record runs from the end
    // angle back to the start angle.
    const bool ccw = entity.IsCounterClockwise();
    const auto at = [&](double t) {
        return MakePoint2D(centre.X + radius * std::cos(t), centre.Y + radius * std::sin(t));
    };
    TPointsSet2D& points = entity.Points();
    points.SetPoint(0, Stored(centre));
    points.SetPoint(1, MakePoint2D(centre.X + radius, centre.Y));
    points.SetPoint(2, at(ccw ? start : end));
    points.SetPoint(3, at(ccw ? end : start));
    return true;
}

} // namespace

bool TEntityPage::HasApply() const
{
    return std::any_of(Buttons.begin(), Buttons.end(), [](const TPanelButton& b) { return b.Apply; });
}

uint8_t ObjectPageType(const TObject2D& object)
{
    const TObject2D* o = &object;
    if (dynamic_cast<const TPunto2D*>(o))
        return EntityPage::Point;
    if (dynamic_cast<const TLine2D*>(o))
        return EntityPage::Line;
    if (dynamic_cast<const TFrame2D*>(o))
        return EntityPage::Frame;
    if (dynamic_cast<const TCerchio2D*>(o))
        return EntityPage::Circle;
    if (dynamic_cast<const TArco2D*>(o))
        return EntityPage::Arc;
    if (dynamic_cast<const TEllipse2D*>(o))
        return EntityPage::Ellipse;
    if (dynamic_cast<const TPolyline2D*>(o))
        return EntityPage::Polyline;
    if (dynamic_cast<const TBSpline2D*>(o))
        return EntityPage::BSpline;
    if (dynamic_cast<const TQVBSpline2D*>(o))
        return EntityPage::QVBSpline;
    if (dynamic_cast<const TBitmap2D*>(o))
        return EntityPage::Bitmap;
    if (dynamic_cast<const TBlock2D*>(o))
        return EntityPage::Block;
    if (dynamic_cast<const TJustifiedVectText2D*>(o))
        return EntityPage::Text;
    return EntityPage::None;
}

TEntityPage BuildEntityPage(const TObject2D& object)
{
    TEntityPage page;
    page.ObjectType = ObjectPageType(object);
    const TEntityFrame frame(object);
    const auto drawnPoint = [&](int i) {
        return frame.ToDrawing(static_cast<const TPrimitive2D&>(object).Points().Get(i));
    };
    switch (page.ObjectType) {
    case EntityPage::Point: {
        const bool ok = HasPoints(object, 1);
        page.Title = LangText(LK::PanelPoint);
        SetColumns(page, 60);
        AddPointRow(page, LK::PanelPosition, ok ? drawnPoint(0) : TVector2D{}, ok);
        if (ok)
            AddApply(page, EntityPage::Point);
        break;
    }
    case EntityPage::Line:
    case EntityPage::Frame: {
        const bool line = page.ObjectType == EntityPage::Line;
        const bool ok = HasPoints(object, 2);
        page.Title = LangText(line ? LK::PanelLine : LK::PanelRectangle);
        SetColumns(page, 60);
        AddPointRow(page, line ? LK::PanelStartPoint : LK::PanelFirstCorner, ok ? drawnPoint(0) : TVector2D{}, ok);
        AddPointRow(page, line ? LK::PanelEndPoint : LK::PanelSecondCorner, ok ? drawnPoint(1) : TVector2D{}, ok);
        if (ok)
            AddApply(page, page.ObjectType);
        break;
    }
    case EntityPage::Circle: {
        const bool ok = HasPoints(object, 2);
        const TPointsSet2D& points = static_cast<const TCerchio2D&>(object).Points();
        const bool drawn = frame.CirclesAsDrawn();
        const auto shown = [&](int i) { return drawn ? frame.ToDrawing(points.Get(i)) : Own(points.Get(i)); };
        const TVector2D centre = ok ? shown(0) : TVector2D{};
        page.Title = LangText(LK::PanelCircleEntity);
        SetColumns(page, 60);
        AddPointRow(page, LK::PanelCentre, centre, ok);
        AddValueRow(page, LK::PanelRadius, ok ? Distance(centre, shown(1)) : 0.0, ok);
        if (ok)
            AddApply(page, EntityPage::Circle);
        break;
    }
    case EntityPage::Arc: {
        const bool ok = HasPoints(object, 4);
        const TArcView view = ok ? ViewArc(static_cast<const TArco2D&>(object), frame) : TArcView{};
        page.Title = LangText(LK::PanelArcEntity);
        SetColumns(page, 80);
        AddPointRow(page, LK::PanelArcCentrePoint, view.Centre, ok);
        AddValueRow(page, LK::PanelArcRadius, view.Radius, ok);
        AddValueRow(page, LK::PanelStartAngle, view.Start * RadToDeg, ok);
        AddValueRow(page, LK::PanelEndAngle, view.End * RadToDeg, ok);
        if (ok)
            AddApply(page, EntityPage::Arc);
        break;
    }
    case EntityPage::Ellipse: {
        const bool ok = HasPoints(object, 2);
        page.Title = LangText(LK::PanelEllipse);
        SetColumns(page, 60);
        AddPointRow(page, LK::PanelEllipseFirst, ok ? drawnPoint(0) : TVector2D{}, false);
        AddPointRow(page, LK::PanelEllipseSecond, ok ? drawnPoint(1) : TVector2D{}, false);
        break;
    }
    case EntityPage::Text: {
        page.Title = LangText(LK::PanelText);
        SetColumns(page, 60);
        AddPointRow(page, LK::PanelInsertionPoint, HasPoints(object, 1) ? drawnPoint(0) : TVector2D{}, false);
        break;
    }
    case EntityPage::Block: {
        const auto& block = static_cast<const TBlock2D&>(object);
        page.Title = LangText(LK::PanelBlock) + " " + BlockNameText(block.Name());
        SetColumns(page, 80);
        AddPointRow(page, LK::PanelInsertionPoint, frame.ToDrawing(block.InsertionPoint()), false);
        AddCountRow(page, LK::PanelBlockObjects, block.SourceBlock() ? block.SourceBlock()->Objects().Count() : 0);
        break;
    }
    case EntityPage::Bitmap: {
        const auto& bitmap = static_cast<const TBitmap2D&>(object);
        const bool ok = HasPoints(object, 2);
        page.Title = LangText(LK::PanelBitmap);
        SetColumns(page, 80);
        AddPointRow(page, LK::PanelBitmapFirst, ok ? drawnPoint(0) : TVector2D{}, ok);
        AddPointRow(page, LK::PanelBitmapSecond, ok ? drawnPoint(1) : TVector2D{}, ok);
        AddCountRow(page, LK::PanelBitmapWidth, bitmap.Bitmap().width());
        AddCountRow(page, LK::PanelBitmapHeight, bitmap.Bitmap().height());
        // The opacity the bitmap really has, so that applying other edits
        // keeps it.
        AddValueRow(page, LK::PanelBitmapOpacity, static_cast<double>(bitmap.Opacity()) * 100.0, ok);
        if (ok)
            AddApply(page, EntityPage::Bitmap);
        break;
    }
    case EntityPage::Polyline:
        page.Title = LangText(LK::PanelPolyline);
        page.PageType = EntityPage::PolylineShown;
        page.Buttons.push_back({LangText(LK::PanelPolylineVertices), 35, 20, 0, false});
        break;
    case EntityPage::BSpline:
    case EntityPage::QVBSpline:
        page.Title = LangText(LK::PanelSpline);
        page.Buttons.push_back({LangText(LK::PanelSplinePoints), 35, 20, 0, false});
        break;
    default:
        break;
    }
    return page;
}

bool ApplyEntityPage(TObject2D& object, const TEntityPage& page, const TCellTexts& texts,
                     const std::function<void()>& beforeChange)
{
    if (!page.HasApply() || ObjectPageType(object) != page.ObjectType)
        return false;
    // The entity may have lost points since the page was shown.
    const int needed = page.ObjectType == EntityPage::Point ? 1 : page.ObjectType == EntityPage::Arc ? 4 : 2;
    if (!HasPoints(object, needed))
        return false;
    std::function<void()> before = beforeChange;
    if (!before)
        before = [] {};
    const TEditedCells cells(page, texts);
    switch (page.ObjectType) {
    case EntityPage::Point:
        return ApplyDrawnPoints(static_cast<TPrimitive2D&>(object), cells, 1, before);
    case EntityPage::Line:
        return ApplyDrawnPoints(static_cast<TPrimitive2D&>(object), cells, 2, before);
    case EntityPage::Frame:
        return ApplyFrame(static_cast<TFrame2D&>(object), cells, before);
    case EntityPage::Circle:
        return ApplyCircle(static_cast<TCerchio2D&>(object), cells, before);
    case EntityPage::Arc:
        return ApplyArc(static_cast<TArco2D&>(object), cells, before);
    case EntityPage::Bitmap:
        return ApplyBitmap(static_cast<TBitmap2D&>(object), cells, before);
    default:
        return false;
    }
}
