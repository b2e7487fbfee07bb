#pragma once
// The parameters of the selection states (cad/QV_50SelectObjects.h,
// cad/QV_51WinSelectObjects.h): the objects picked so far, which travel to
// the command named as after-state, and how the picking is done.

#include "cad/program/QV_00CADPrgParam.h"
#include "core/model/GraphicObjList.h"
#include "core/geometry/Points.h"

#include <cstdint>
#include <functional>
#include <vector>

class TObject2D;
class TQV_00CADProg;
class TQVScene;
class TListaCatene;

// The selection parameter.
class TQV_50SelectObjectsParam : public TQV_00CommonParam {
public:
    // (parameter, object, added, pick code); called for every object added
    // to or removed from the selection (added false). The window selection
    // calls it once with no object, added true and PickNone.
    using TOnSelected =
        std::function<void(TQV_50SelectObjectsParam& param, TObject2D* object, bool added, int32_t pickCode)>;
    // Which 2D objects may be picked; empty: every 2D object.
    using TClassFilter = std::function<bool(const TObject2D& object)>;

    // aperture: pick aperture in viewer pixels (5 from every caller);
    // option and callerList are kept for the chain-picking states (not
    // read here, not owned); afterState receives the selection (null: the
    // selection ends the operation).
    TQV_50SelectObjectsParam(uint16_t aperture, uint8_t option, TListaCatene* callerList,
                             TCADStateClass afterState);

    uint16_t Aperture() const { return m_Aperture; }
    uint8_t Option() const { return m_Option; }
    TListaCatene* CallerList() const { return m_CallerList; }

    // The code of the last pick.
    int32_t LastPickCode = 0;
    // The last cursor point the selection state saw (drawing units).
    TPoint2D Point;
    TOnSelected OnSelected;
    TClassFilter ClassFilter;

    // The selected objects in pick order; references, never owned.
    TGraphicObjList& SelectedObjects() { return m_SelectedObjects; }
    int32_t Count() const { return m_SelectedObjects.Count(); }
    // The selected objects in pick order.
    std::vector<TObject2D*> Objects();
    bool IsSelected(const TObject2D& object);
    void Select(TObject2D& object);
    // Removes object from the selection; false when it was not selected.
    bool Unselect(const TObject2D& object);
    // Whether object may be picked by this selection.
    bool Accepts(const TObject2D& object) const { return !ClassFilter || ClassFilter(object); }

    // The view's pick box: the square of plus and minus the aperture around
    // the point's pixel, as a closed five-point polyline; the overlay is
    // repainted.
    virtual void DrawPickBox(TQVScene& scene, const TPoint2D& point);
    // Shows the selected objects as the view's highlight list and repaints
    // the overlay, with the program locked meanwhile (unlocked again also
    // when this throws). Nothing without a scene view.
    void ShowSelection(TQV_00CADProg& prg);

private:
    uint16_t m_Aperture;
    uint8_t m_Option;
    TListaCatene* m_CallerList;
    TGraphicObjList m_SelectedObjects;
};

// The parameter of the window selection: a selection parameter with the
// window test's mode and the window it was given.
class TQV_51WinSelectObjectsParam : public TQV_50SelectObjectsParam {
public:
    // Aperture 0; mode is the window test of CollectObjectsInWindow (0:
    // objects entirely inside, from every caller).
    TQV_51WinSelectObjectsParam(uint8_t mode, uint8_t option, TListaCatene* callerList, TCADStateClass afterState);

    uint8_t Mode() const { return m_Mode; }
    // The window in drawing units (normalised) and in viewer pixels
    // (normalised: Left <= Right, Top <= Bottom).
    TRect2D WindowBox{};
    TIntRect ScreenWindow{};

private:
    uint8_t m_Mode;
};
