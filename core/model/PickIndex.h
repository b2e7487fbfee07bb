#pragma once
// TPickIndex: where each object of the document's list can be picked, kept
// in a uniform grid over the drawing, so that a pick asks PickAt only of the
// objects near the point instead of every object.
//
// Promises:
// - Candidates gives, in list order, every 2D object of the list whose
//   PickAt could answer anything but PickNone at the point with that
//   aperture, and perhaps a few more. An object is left out only when the
//   point lies outside its box widened by the aperture and no control point
//   its handler picks lies within the aperture's square around the point
//   (TObject2D::PicksNearItsBox). Objects whose pick is not bounded so
//   (block references, handlers that cannot tell their control points,
//   objects owned by another document, boxes that are not finite) are
//   always given.
// - The index is the list's watcher, so it hears of every object that
//   joins or leaves the list; the objects tell it (through their owner)
//   whenever their box, transforms, control points, handler or owner
//   change (TGraphicObject::PickShapeChanged). What changed is measured
//   again at the next Candidates; the grid is built again once many objects
//   have changed since it was built.
// - Candidates answers false, and the caller walks the whole list, for a
//   point that is not finite or whose weight is neither 1 nor 0, for an
//   aperture that is negative or not finite, and for an aperture whose
//   square covers a large part of the grid.
// - The index is kept only once it is asked: until the first Candidates
//   (and again after the list is cleared) it holds nothing and hears of
//   nothing, so that reading a large drawing pays nothing for it. The first
//   Candidates takes in the list's objects as they then stand, in list
//   order, which gives the same answers as an index kept all along.
// - Main thread only, like the document.

#include "core/model/GraphicObjList.h"

#include <cstdint>
#include <vector>

class TQV_01Cmp;

class TPickIndex : public TGraphicObjListWatcher {
public:
    // list: the document's object list, whose watcher the index is.
    TPickIndex(const TQV_01Cmp& document, const TGraphicObjList& list) : m_Document(document), m_List(list) {}
    TPickIndex(const TPickIndex&) = delete;
    TPickIndex& operator=(const TPickIndex&) = delete;

    void ObjectAdded(TGraphicObject& object) override;
    void ObjectRemoved(TGraphicObject& object) noexcept override;
    void ListCleared() noexcept override;
    // Where the object can be picked may have changed; nothing for an
    // object the index does not hold.
    void MarkChanged(const TGraphicObject& object);

    // Fills candidates (emptied first) as promised above and returns true,
    // or returns false when the caller must walk the whole list.
    bool Candidates(const TPoint2D& point, double aperture, std::vector<TObject2D*>& candidates);

private:
    // An object's pick extent, rounded outwards to floats; infinite sides
    // where the object can be picked anywhere.
    struct TSlot {
        TObject2D* Object;
        float Left, Bottom, Right, Top;
    };
    enum : uint8_t {
        InGrid = 1,   // listed in the cells its extent covers
        InBig = 2,    // covers too many cells: in the list of large extents
        Loose = 4,    // in the list of objects changed since the grid was built
        Pending = 8,  // extent to be measured again
    };

    // Takes in every object of the list (the index was not kept until now).
    void Wake();
    void Add(TObject2D& object);
    void Measure(TSlot& slot) const;
    void MeasurePending();
    bool GridIsStale() const;
    void Rebuild();
    void Compact();
    // Sizes the grid to the finite extents.
    void PlaceGrid();
    // Lists each slot in the cells it covers, or among the large extents.
    void FillGrid();
    int32_t Column(double x) const;
    int32_t Row(double y) const;

    const TQV_01Cmp& m_Document;
    const TGraphicObjList& m_List;
    // False while the index is not kept (see the header comment).
    bool m_Awake = false;
    std::vector<TSlot> m_Slots;
    std::vector<uint8_t> m_States;
    std::vector<uint32_t> m_Loose;
    std::vector<uint32_t> m_Pending;
    std::vector<uint32_t> m_Big;
    size_t m_Live = 0;
    bool m_Built = false;
    // The grid: m_Columns x m_Rows cells from (m_Left, m_Bottom); the slots
    // of cell c are m_CellSlots[m_CellStart[c] .. m_CellStart[c + 1]).
    double m_Left = 0.0;
    double m_Bottom = 0.0;
    double m_CellWidth = 1.0;
    double m_CellHeight = 1.0;
    int32_t m_Columns = 0;
    int32_t m_Rows = 0;
    std::vector<uint32_t> m_CellStart;
    std::vector<uint32_t> m_CellSlots;
};
