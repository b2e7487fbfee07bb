#include "nc/ui/StockMeshView.h"

#include "cad/scene/QVScene.h"

#include <osg/Material>
#include <osg/NodeCallback>

#include <algorithm>
#include <cstring>

namespace {

osg::ref_ptr<osg::Geometry> NewGeometry(const char* name)
{
    osg::ref_ptr<osg::Geometry> g = new osg::Geometry;
    g->setName(name);
    g->setUseDisplayList(false);
    g->setUseVertexBufferObjects(true);
    g->setDataVariance(osg::Object::DYNAMIC);
    g->setVertexArray(new osg::Vec3Array);
    g->setNormalArray(new osg::Vec3Array, osg::Array::BIND_PER_VERTEX);
    g->setColorArray(new osg::Vec4Array, osg::Array::BIND_PER_VERTEX);
    g->addPrimitiveSet(new osg::DrawArrays(GL_TRIANGLES, 0, 0));
    return g;
}

// Copies vertices [first, first + count) of the arrays into the geometry,
// whose arrays already have the arrays' size.
void CopyRange(const TMeshArrays& a, osg::Geometry& g, size_t first, size_t count)
{
    auto* v = static_cast<osg::Vec3Array*>(g.getVertexArray());
    auto* n = static_cast<osg::Vec3Array*>(g.getNormalArray());
    auto* c = static_cast<osg::Vec4Array*>(g.getColorArray());
    std::memcpy((*v)[first].ptr(), &a.Vertices[first * 3], count * 3 * sizeof(float));
    std::memcpy((*n)[first].ptr(), &a.Normals[first * 3], count * 3 * sizeof(float));
    std::memcpy((*c)[first].ptr(), &a.Colours[first * 4], count * 4 * sizeof(float));
    v->dirty(), n->dirty(), c->dirty();
}

// The geometry takes the arrays' size and content.
void Load(const TMeshArrays& a, osg::Geometry& g)
{
    const size_t count = a.VertexCount();
    static_cast<osg::Vec3Array*>(g.getVertexArray())->resize(count);
    static_cast<osg::Vec3Array*>(g.getNormalArray())->resize(count);
    static_cast<osg::Vec4Array*>(g.getColorArray())->resize(count);
    if (count > 0)
        CopyRange(a, g, 0, count);
    static_cast<osg::DrawArrays*>(g.getPrimitiveSet(0))->setCount(static_cast<GLsizei>(count));
    g.getPrimitiveSet(0)->dirty();
    g.dirtyBound();
}

class TFlushCallback final : public osg::NodeCallback {
public:
    explicit TFlushCallback(TOsgStockView& view) : m_View(&view) {}
    void operator()(osg::Node* node, osg::NodeVisitor* nv) override
    {
        if (m_View)
            m_View->Flush();
        traverse(node, nv);
    }
    void Forget() { m_View = nullptr; }

private:
    TOsgStockView* m_View;
};

} // namespace

TOsgStockView::TOsgStockView(TQVScene& scene) : m_Scene(scene) {}

TOsgStockView::~TOsgStockView() { DetachStock(); }

void TOsgStockView::BuildNode()
{
    m_Node = new osg::MatrixTransform;
    m_Node->setName("StockModel");
    m_Top = NewGeometry("StockTop");
    m_Walls = NewGeometry("StockWalls");
    m_Node->addChild(m_Top);
    m_Node->addChild(m_Walls);
    osg::StateSet* state = m_Node->getOrCreateStateSet();
    osg::ref_ptr<osg::Material> material = new osg::Material;
    material->setColorMode(osg::Material::AMBIENT_AND_DIFFUSE);
    state->setAttributeAndModes(material, osg::StateAttribute::ON);
    state->setMode(GL_LIGHTING, osg::StateAttribute::ON);
    state->setMode(GL_DEPTH_TEST, osg::StateAttribute::ON);
    state->setMode(GL_CULL_FACE, osg::StateAttribute::OFF);
    state->setMode(GL_NORMALIZE, osg::StateAttribute::ON);
    m_Node->setUpdateCallback(new TFlushCallback(*this));
}

void TOsgStockView::AttachStock(const TNcVisuGrid& grid)
{
    DetachStock();
    m_Grid = &grid;
    BuildNode();
    LoadAll();
    m_Scene.AttachStockMesh(m_Node);
}

void TOsgStockView::LoadAll()
{
    m_Mesh = BuildStockMesh(*m_Grid);
    m_DirtyColumns = m_DirtyRows = TCellRange{};
    const TVector3D& o = m_Grid->Origin();
    m_Node->setMatrix(osg::Matrix::translate(o.X, o.Y, o.Z));
    Load(m_Mesh.Top, *m_Top);
    Load(m_Mesh.Walls, *m_Walls);
}

void TOsgStockView::StockChanged(const TNcVisuGrid& grid, TCellRange columns, TCellRange rows)
{
    if (!m_Node || &grid != m_Grid)
        return;
    m_DirtyColumns = UnionRange(m_DirtyColumns, columns);
    m_DirtyRows = UnionRange(m_DirtyRows, rows);
    m_Scene.RepaintOverlay();
}

void TOsgStockView::StockRebuilt(const TNcVisuGrid& grid)
{
    if (!m_Node || &grid != m_Grid)
        return;
    LoadAll();
    m_Scene.RepaintOverlay();
}

void TOsgStockView::Flush()
{
    if (!m_Node || m_DirtyColumns.First > m_DirtyColumns.Last)
        return;
    const TCellRange columns = m_DirtyColumns, rows = m_DirtyRows;
    m_DirtyColumns = m_DirtyRows = TCellRange{};
    const bool wallsRebuilt = RefreshStockMesh(*m_Grid, m_Mesh, columns, rows);
    // The slots of each quad column in the range lie one after the other.
    const int i0 = std::max(columns.First - 1, 0), i1 = std::min(columns.Last, m_Grid->Columns() - 2);
    const int j0 = std::max(rows.First - 1, 0), j1 = std::min(rows.Last, m_Grid->Rows() - 2);
    for (int i = i0; i <= i1 && j0 <= j1; ++i)
        CopyRange(m_Mesh.Top, *m_Top, QuadSlot(m_Mesh, i, j0), size_t(j1 - j0 + 1) * 6);
    m_Top->dirtyBound();
    if (wallsRebuilt)
        Load(m_Mesh.Walls, *m_Walls);
}

void TOsgStockView::DetachStock()
{
    if (!m_Node)
        return;
    if (auto* callback = dynamic_cast<TFlushCallback*>(m_Node->getUpdateCallback()))
        callback->Forget();
    m_Scene.DetachStockMesh();
    m_Node = nullptr;
    m_Top = m_Walls = nullptr;
    m_Grid = nullptr;
    m_Mesh = TStockMesh{};
}

void TOsgStockView::Repaint() { m_Scene.RepaintOverlay(); }
