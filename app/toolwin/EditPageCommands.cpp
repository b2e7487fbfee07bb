#include "app/toolwin/EditPageCommands.h"

#include "cad/edit/EntityEdits.h"
#include "core/entities/Arco2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/QVBSpline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"

#include <cmath>
#include <vector>

std::string IdentDelSmallEnt(TQV_01Cmp2D& document, bool del, double size)
{
    std::vector<int32_t> small;
    {
        TGraphicObjIterator it = document.ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next()) {
            auto* entity = dynamic_cast<TObject2D*>(object);
            if (!entity || dynamic_cast<TPunto2D*>(entity))
                continue;
            const TRect2D& box = entity->Box();
            const double width = std::abs(box.SecondEdge.X - box.FirstEdge.X);
            const double height = std::abs(box.SecondEdge.Y - box.FirstEdge.Y);
            if (width < size && height < size)
                small.push_back(entity->ID());
        }
    }
    if (del && !small.empty()) {
        // One step for the whole deletion, as every other delete has.
        RecordEditStep(TUndoKind::Delete, small);
        for (const int32_t id : small)
            document.DeleteObject(id);
    }
    return std::to_string(small.size()) + " " +
           LangText(del ? LangKeys::String::SmallDeleted : LangKeys::String::SmallFound);
}

namespace {

int32_t ControlPoints(const TObject2D& object)
{
    if (const auto* primitive = dynamic_cast<const TPrimitive2D*>(&object))
        return primitive->Points().Count();
    return 0;
}

} // namespace

TDrawingStatistics CountDrawing(TQV_01Cmp2D& document)
{
    TDrawingStatistics stats;
    {
        TGraphicObjIterator it = document.ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next()) {
            auto* entity = dynamic_cast<TObject2D*>(object);
            if (!entity || !entity->Visible())
                continue;
            if (!document.Layers().GetLayer(entity->Layer()).Visible()) {
                ++stats.Hidden;
                continue;
            }
            if (dynamic_cast<TLine2D*>(entity)) {
                ++stats.Lines;
                stats.PointsTotal += 2;
            } else if (dynamic_cast<TPunto2D*>(entity)) {
                ++stats.Points;
                stats.PointsTotal += 1;
            } else if (dynamic_cast<TFrame2D*>(entity)) {
                ++stats.Rectangles;
                stats.PointsTotal += 4;
            } else if (dynamic_cast<TArco2D*>(entity) || dynamic_cast<TCerchio2D*>(entity)) {
                ++stats.Arcs;
                stats.PointsTotal += 2;
            } else if (dynamic_cast<TEllipse2D*>(entity) || dynamic_cast<TEllipseOpen2D*>(entity)) {
                ++stats.Ellipses;
                stats.PointsTotal += ControlPoints(*entity);
            } else if (dynamic_cast<TPolyline2D*>(entity)) {
                ++stats.Polylines;
                stats.PointsTotal += ControlPoints(*entity);
            } else if (dynamic_cast<TBSpline2D*>(entity) || dynamic_cast<TQVBSpline2D*>(entity)) {
                ++stats.Splines;
                stats.PointsTotal += ControlPoints(*entity);
            } else if (dynamic_cast<TContainer2D*>(entity) || dynamic_cast<TBlock2D*>(entity)) {
                ++stats.Blocks;
            } else if (dynamic_cast<TJustifiedVectText2D*>(entity)) {
                ++stats.Texts;
            }
        }
    }
    if (const std::optional<TRect2D> bounds = document.GetDrawingBounds()) {
        stats.Left = bounds->FirstEdge.X;
        stats.Bottom = bounds->FirstEdge.Y;
        stats.Right = bounds->SecondEdge.X;
        stats.Top = bounds->SecondEdge.Y;
    }
    return stats;
}
