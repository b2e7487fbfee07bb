#include "core/entities/DuplicateObject.h"

#include "core/entities/Arco2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/QVBSpline2D.h"
#include "core/model/QV_01Cmp2D.h"

#include <memory>
#include <optional>
#include <vector>

namespace {

// One branch per kind, tried in order; a subclass takes its parent's branch
// (a polygon is copied as a polyline). A branch answers no value when the
// object is not of its kind, and a null copy when it is but lacks the points
// the copy needs.
using TCopy = std::optional<std::unique_ptr<TObject2D>>;

TCopy CopyPoint(TObject2D& object, const TMatrix4& m)
{
    auto* point = dynamic_cast<TPunto2D*>(&object);
    if (!point)
        return std::nullopt;
    if (point->Points().Count() < 1)
        return nullptr;
    return std::make_unique<TPunto2D>(-1, m.TransformPoint2D(point->Points().Get(0)));
}

TCopy CopyLine(TObject2D& object, const TMatrix4& m)
{
    auto* line = dynamic_cast<TLine2D*>(&object);
    if (!line)
        return std::nullopt;
    if (line->Points().Count() < 2)
        return nullptr;
    return std::make_unique<TLine2D>(-1, m.TransformPoint2D(line->Points().Get(0)),
                                     m.TransformPoint2D(line->Points().Get(1)));
}

// True when m maps every axis-parallel box onto the axis-parallel box of
// its mapped corners: no rotation, no shear, nothing projective. Only then
// do two transformed corners still describe the same frame or ellipse.
bool KeepsBoxesAxisParallel(const TMatrix4& m)
{
    return m.IsAffine() && m.GetElement(1) == 0.0 && m.GetElement(4) == 0.0;
}

// True when m is a rotation with uniform scale, a mirror included, and
// nothing projective: a circle through it stays a circle.
bool KeepsCirclesRound(const TMatrix4& m)
{
    const double m0 = m.GetElement(0), m1 = m.GetElement(1), m4 = m.GetElement(4), m5 = m.GetElement(5);
    return m.IsAffine() && ((m0 == m5 && m1 == -m4) || (m0 == -m5 && m1 == m4));
}

// The copy takes the source's transform as its own model transform, so a
// rotated frame or ellipse keeps the shape it is drawn with.
std::unique_ptr<TObject2D> CarryTransform(std::unique_ptr<TObject2D> copy, const TMatrix4& m)
{
    copy->SetTransform(m);
    copy->ApplyTransform();
    return copy;
}

// Frames and rectangles become frames; with a rotation the corners are
// kept and the transform travels with them.
TCopy CopyFrame(TObject2D& object, const TMatrix4& m)
{
    auto* frame = dynamic_cast<TFrame2D*>(&object);
    if (!frame)
        return std::nullopt;
    if (frame->Points().Count() < 2)
        return nullptr;
    const TPoint2D p0 = frame->Points().Get(0);
    const TPoint2D p1 = frame->Points().Get(1);
    if (KeepsBoxesAxisParallel(m))
        return std::make_unique<TFrame2D>(-1, m.TransformPoint2D(p0), m.TransformPoint2D(p1));
    return CarryTransform(std::make_unique<TFrame2D>(-1, p0, p1), m);
}

// Circles (filled ones too) become circles: centre and circle point
// transformed, or, under a transform that would not keep the circle round,
// carried along with the untransformed points.
TCopy CopyCircle(TObject2D& object, const TMatrix4& m)
{
    auto* circle = dynamic_cast<TCerchio2D*>(&object);
    if (!circle)
        return std::nullopt;
    if (circle->Points().Count() < 2)
        return nullptr;
    const TPoint2D centre = circle->Points().Get(0);
    const TPoint2D onCircle = circle->Points().Get(1);
    if (KeepsCirclesRound(m))
        return std::make_unique<TCerchio2D>(-1, m.TransformPoint2D(centre), m.TransformPoint2D(onCircle));
    return CarryTransform(std::make_unique<TCerchio2D>(-1, centre, onCircle), m);
}

// An arc keeps its control points, angles and direction and takes the
// transform along as its model transform (Assign does both), so that a
// clockwise arc stays the arc it is.
TCopy CopyArc(TObject2D& object, const TMatrix4& /*m*/)
{
    auto* arc = dynamic_cast<TArco2D*>(&object);
    if (!arc)
        return std::nullopt;
    if (arc->Points().Count() < 2)
        return nullptr;
    auto copy = std::make_unique<TArco2D>(-1, arc->Points().Get(0), arc->Points().Get(1), 0.0, 0.0);
    copy->Assign(*arc);
    return copy;
}

TCopy CopyPolyline(TObject2D& object, const TMatrix4& m)
{
    auto* polyline = dynamic_cast<TPolyline2D*>(&object);
    if (!polyline)
        return std::nullopt;
    TProfilePointsUse use(*polyline);
    std::vector<TPoint2D> points;
    for (const TPoint2D& p : polyline->ProfilePoints().Points())
        points.push_back(m.TransformPoint2D(p));
    return std::make_unique<TPolyline2D>(-1, points);
}

// A B-spline is carried by its control points, so under an affine map the
// mapped points make the mapped curve. The copy keeps the source's order
// and segments: a copy drawn with other ones would be another curve.
TCopy CopyBSpline(TObject2D& object, const TMatrix4& m)
{
    auto* spline = dynamic_cast<TBSpline2D*>(&object);
    if (!spline)
        return std::nullopt;
    const bool affine = m.IsAffine();
    std::vector<TPoint2D> points;
    for (const TPoint2D& p : spline->Points().Points())
        points.push_back(affine ? m.TransformPoint2D(p) : p);
    auto copy = std::make_unique<TBSpline2D>(-1, points);
    copy->SetSegments(spline->Segments());
    copy->SetOrder(spline->Order()); // updates the bounds
    if (!affine)
        return CarryTransform(std::move(copy), m);
    return copy;
}

// A NURBS copy takes the whole state by Assign, the combined transform
// included as its model transform; the points stay as they are.
TCopy CopyNurbs(TObject2D& object, const TMatrix4& /*m*/)
{
    auto* spline = dynamic_cast<TQVBSpline2D*>(&object);
    if (!spline)
        return std::nullopt;
    auto copy = std::make_unique<TQVBSpline2D>(-1, std::span<const TPoint2D>{});
    copy->Assign(*spline);
    return copy;
}

// Ellipses (filled ones too) become ellipses, as frames do.
TCopy CopyEllipse(TObject2D& object, const TMatrix4& m)
{
    auto* ellipse = dynamic_cast<TEllipse2D*>(&object);
    if (!ellipse)
        return std::nullopt;
    if (ellipse->Points().Count() < 2)
        return nullptr;
    const TPoint2D p0 = ellipse->Points().Get(0);
    const TPoint2D p1 = ellipse->Points().Get(1);
    if (KeepsBoxesAxisParallel(m))
        return std::make_unique<TEllipse2D>(-1, m.TransformPoint2D(p0), m.TransformPoint2D(p1));
    return CarryTransform(std::make_unique<TEllipse2D>(-1, p0, p1), m);
}

// An elliptical arc keeps its corners, end points, angles and direction and
// takes the transform along as its model transform (Assign does both):
// transformed corners with the old angles would describe another arc under
// a mirror or a rotation.
TCopy CopyEllipticalArc(TObject2D& object, const TMatrix4& /*m*/)
{
    auto* arc = dynamic_cast<TEllipseOpen2D*>(&object);
    if (!arc)
        return std::nullopt;
    if (arc->Points().Count() < 4)
        return nullptr;
    auto copy = std::make_unique<TEllipseOpen2D>(-1, arc->Points().Get(0), arc->Points().Get(1), 0.0, 0.0);
    copy->Assign(*arc);
    return copy;
}

using TCopyBranch = TCopy (*)(TObject2D&, const TMatrix4&);

constexpr TCopyBranch CopyBranches[] = {
    CopyPoint,
    CopyLine,
    CopyFrame,
    CopyCircle,
    CopyArc,
    CopyPolyline,
    CopyBSpline,
    CopyNurbs,
    CopyEllipse,
    CopyEllipticalArc,
};

} // namespace

int32_t DuplicateObjectTransformed(TQV_01Cmp2D& document, TObject2D& object, std::optional<int> layer)
{
    const int targetLayer = layer.value_or(object.Layer());
    // Copied: the combined transform may live in the shared scratch matrix.
    const TMatrix4 m = object.GetModelTransform();
    for (TCopyBranch branch : CopyBranches) {
        TCopy copy = branch(object, m);
        if (!copy)
            continue;
        if (!*copy)
            return -1;
        return document.AddObjectOnLayer(-1, targetLayer, std::move(*copy))->ID();
    }
    return -1;
}
