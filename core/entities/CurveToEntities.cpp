#include "core/entities/CurveToEntities.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Line2D.h"
#include "core/geometry/Matrix4.h"
#include "core/model/QV_01Cmp2D.h"

#include <cmath>
#include <memory>

namespace {

TPoint2D ToPoint(const TVector2D& v)
{
    return TPoint2D{v.X, v.Y, 1.0};
}

} // namespace

void CurveToEntities(std::span<const TAVertice> vertices, TQV_01Cmp2D& document, bool preview, int32_t& lineCount,
                     int32_t& arcCount, const std::function<void(TObject2D& entity)>& onPreview,
                     const std::function<void(TObject2D& entity, size_t vertex)>& prepare)
{
    for (size_t i = 1; i < vertices.size(); ++i) {
        const TAVertice& from = vertices[i - 1];
        const TAVertice& to = vertices[i];
        std::unique_ptr<TObject2D> entity;
        if (to.Kind == 0) {
            ++lineCount;
            if (preview)
                entity = std::make_unique<TLine2D>(-1, ToPoint(from.EndPoint), ToPoint(to.EndPoint), PreviewLineColour,
                                                   PreviewLineWidth, IdentityMatrix4());
            else
                entity = std::make_unique<TLine2D>(-1, ToPoint(from.EndPoint), ToPoint(to.EndPoint));
        } else {
            ++arcCount;
            // A clockwise arc from A to B is the counter-clockwise arc from B to A.
            const TVector2D& start = to.Kind > 0 ? from.EndPoint : to.EndPoint;
            const TVector2D& end = to.Kind > 0 ? to.EndPoint : from.EndPoint;
            const TVector2D& c = to.Centre;
            const double startAngle = std::atan2(start.Y - c.Y, start.X - c.X);
            const double endAngle = std::atan2(end.Y - c.Y, end.X - c.X);
            if (preview)
                entity = std::make_unique<TArco2D>(-1, ToPoint(c), ToPoint(start), startAngle, endAngle,
                                                   PreviewArcColour, PreviewLineWidth, IdentityMatrix4());
            else
                entity = std::make_unique<TArco2D>(-1, ToPoint(c), ToPoint(start), startAngle, endAngle);
        }
        if (prepare)
            prepare(*entity, i);
        if (preview) {
            entity->SetLayer(static_cast<uint8_t>(document.CurrentLayer()));
            if (onPreview)
                onPreview(*entity);
            else
                entity->DrawSelected();
        } else {
            document.AddObject(-1, std::move(entity));
        }
    }
}
