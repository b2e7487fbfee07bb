#pragma once
// The stock-removal model in the scene view: the grid's mesh as two OSG
// geometries (the top surface and the green side walls) under a translation
// by the stock origin, lit with per-vertex colours, depth-tested, both faces
// drawn. Attached to the view for the model's lifetime. Cuts are collected
// and written into the top's buffers before the next frame, only in the
// slots of the quads around the cut cells.

#include "nc/solid/NcVisu.h"
#include "nc/solid/NcVisuMesh.h"

#include <osg/Geometry>
#include <osg/MatrixTransform>
#include <osg/ref_ptr>

class TQVScene;

class TOsgStockView final : public TStockView {
public:
    // scene must outlive this object.
    explicit TOsgStockView(TQVScene& scene);
    ~TOsgStockView() override;
    TOsgStockView(const TOsgStockView&) = delete;
    TOsgStockView& operator=(const TOsgStockView&) = delete;

    void AttachStock(const TNcVisuGrid& grid) override;
    void StockChanged(const TNcVisuGrid& grid, TCellRange columns, TCellRange rows) override;
    void StockRebuilt(const TNcVisuGrid& grid) override;
    void DetachStock() override;
    void Repaint() override;

    // Writes the collected cuts into the buffers (the update traversal of
    // every frame calls it).
    void Flush();

    // For tests: the node attached and the mesh behind it.
    osg::MatrixTransform* Node() const { return m_Node.get(); }
    const TStockMesh& Mesh() const { return m_Mesh; }
    osg::Geometry* Top() const { return m_Top.get(); }
    osg::Geometry* Walls() const { return m_Walls.get(); }

private:
    void BuildNode();
    void LoadAll();
    void LoadWalls();

    TQVScene& m_Scene;
    const TNcVisuGrid* m_Grid = nullptr;
    TStockMesh m_Mesh;
    TCellRange m_DirtyColumns, m_DirtyRows;
    osg::ref_ptr<osg::MatrixTransform> m_Node;
    osg::ref_ptr<osg::Geometry> m_Top;
    osg::ref_ptr<osg::Geometry> m_Walls;
};
