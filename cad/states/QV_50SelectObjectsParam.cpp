#include "cad/states/QV_50SelectObjectsParam.h"

#include "cad/scene/ProgramScene.h"
#include "core/model/GraphicObject.h"

#include <algorithm>
#include <cstdint>
#include <limits>

TQV_50SelectObjectsParam::TQV_50SelectObjectsParam(uint16_t aperture, uint8_t option, TListaCatene* callerList,
                                                   TCADStateClass afterState)
    : TQV_00CommonParam(afterState), m_Aperture(aperture), m_Option(option), m_CallerList(callerList)
{
    m_SelectedObjects.SetOwnsObjects(false);
}

std::vector<TObject2D*> TQV_50SelectObjectsParam::Objects()
{
    std::vector<TObject2D*> objects;
    TGraphicObjIterator it = m_SelectedObjects.GetIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next()) {
        if (auto* object = dynamic_cast<TObject2D*>(o))
            objects.push_back(object);
    }
    return objects;
}

bool TQV_50SelectObjectsParam::IsSelected(const TObject2D& object)
{
    return m_SelectedObjects.Holds(object);
}

void TQV_50SelectObjectsParam::Select(TObject2D& object) { m_SelectedObjects.AddReference(object); }

bool TQV_50SelectObjectsParam::Unselect(const TObject2D& object)
{
    // A list of references: the object stays.
    return m_SelectedObjects.Remove(object);
}

void TQV_50SelectObjectsParam::DrawPickBox(TQVScene& scene, const TPoint2D& point)
{
    const TIntPoint c = scene.PointToScreen(point);
    const int64_t a = m_Aperture;
    // Kept inside the int32 range at the very edge of the pixel space.
    const auto clamp = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    };
    const int32_t left = clamp(c.X - a);
    const int32_t right = clamp(c.X + a);
    const int32_t top = clamp(c.Y - a);
    const int32_t bottom = clamp(c.Y + a);
    scene.PickBox() = {TIntPoint{left, top}, TIntPoint{right, top}, TIntPoint{right, bottom},
                       TIntPoint{left, bottom}, TIntPoint{left, top}};
    scene.RepaintOverlay();
}

void TQV_50SelectObjectsParam::ShowSelection(TQV_00CADProg& prg)
{
    TQVScene* scene = ProgramScene(prg);
    if (!scene)
        return;
    TCADLockSection lock(prg);
    scene->HighlightList() = Objects();
    scene->RepaintOverlay();
}

TQV_51WinSelectObjectsParam::TQV_51WinSelectObjectsParam(uint8_t mode, uint8_t option, TListaCatene* callerList,
                                                         TCADStateClass afterState)
    : TQV_50SelectObjectsParam(0, option, callerList, afterState), m_Mode(mode)
{
}
