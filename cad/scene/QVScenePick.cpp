// TQVScene: picking by walking the document (no OpenGL picking).

#include "cad/scene/QVScene.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Punto2D.h"
#include "core/model/QV_01Cmp2D.h"

#include <vector>

namespace {

// Circles and arcs with their descendants (the filled circle).
bool IsCircleOrArc(const TObject2D& o)
{
    return dynamic_cast<const TCerchio2D*>(&o) != nullptr || dynamic_cast<const TArco2D*>(&o) != nullptr;
}

} // namespace

TObject2D* TQVScene::PickObject(const TPoint2D& p, uint16_t aperture, bool firstFound, int32_t& hitCode)
{
    return PickObjectIf(p, aperture, firstFound, hitCode, {});
}

TObject2D* TQVScene::PickPointOrArc(const TPoint2D& p, uint16_t aperture, bool firstFound, int32_t& hitCode,
                                    bool pointsOnly)
{
    if (pointsOnly) {
        return PickObjectIf(p, aperture, firstFound, hitCode,
                            [](const TObject2D& o) { return dynamic_cast<const TPunto2D*>(&o) != nullptr; });
    }
    return PickObjectIf(p, aperture, firstFound, hitCode,
                        [](const TObject2D& o) { return IsCircleOrArc(o); });
}

TObject2D* TQVScene::PickObjectIf(const TPoint2D& p, uint16_t aperture, bool firstFound, int32_t& hitCode,
                                  const std::function<bool(const TObject2D&)>& candidate)
{
    if (!m_Document || m_Document->IsBlocked())
        return nullptr;
    TExclusiveGraphicObjIterator it = m_Document->ObjectsExclusiveIterator();
    const double aperturePx = aperture;
    const double tol = PixelSize() * aperturePx;
    double best = tol;
    hitCode = PickNone;
    TObject2D* result = nullptr;
    // True when the search is over.
    const auto consider = [&](TGraphicObject* found) {
        auto* object = dynamic_cast<TObject2D*>(found);
        if (!object || (candidate && !candidate(*object)))
            return false;
        const TQV_21Layer& layer = m_Document->Layers().GetLayer(object->Layer());
        if (!layer.Active() || !layer.Visible() || !object->Pickable())
            return false;
        double distance = PickFarDistance;
        const int32_t code = object->PickAt(p, distance, tol);
        // "Nothing hit" never wins, even when the aperture reaches as far
        // as the distance reported for no hit.
        if (code == PickNone)
            return false;
        if (code >= hitCode && distance <= best) {
            result = object;
            hitCode = code;
            best = distance;
            return firstFound;
        }
        return false;
    };
    // The objects near the point, in list order, stand for the whole list:
    // every other object answers PickNone there.
    std::vector<TObject2D*> near;
    if (m_Document->PickIndex().Candidates(p, tol, near)) {
        for (TObject2D* object : near)
            if (consider(object))
                break;
        return result;
    }
    for (TGraphicObject* found = it.First(); found; found = it.Next())
        if (consider(found))
            break;
    return result;
}
