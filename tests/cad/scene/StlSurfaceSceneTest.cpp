// STL surfaces and the stock solid in the real scene graph: rebuilds with
// and without a new stock, transform commands and deleted surfaces, with
// every OSG node checked after the model objects behind it have changed or
// gone (run under AddressSanitizer).

#include "cad/scene/QVScene.h"

#include "core/settings/AppConfig.h"
#include "core/entities/QVGrezzo.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/entities/QV_STLSurf.h"

#include <osg/Geometry>
#include <osg/MatrixTransform>

#include <gtest/gtest.h>

#include <memory>

namespace stl_surface_scene_test {

namespace {

// Two triangles of the square (0, 0)-(2, 1) at z = 3.
TStlMesh Square()
{
    TStlMesh mesh;
    TStlFacet a;
    a.Normal[2] = 1;
    a.B[0] = 2;
    a.C[0] = 2;
    a.C[1] = 1;
    TStlFacet b;
    b.Normal[2] = 1;
    b.B[0] = 2;
    b.B[1] = 1;
    b.C[1] = 1;
    for (TStlFacet* f : {&a, &b})
        f->A[2] = f->B[2] = f->C[2] = 3;
    mesh.Facets = {a, b};
    return mesh;
}

struct StlSurfaceScene : ::testing::Test {
    StlSurfaceScene() : Config(""), View(Config), Services(TViewServices{&View.SceneBuilder(), &View, nullptr, nullptr})
    {
        View.SetViewportSize(800, 600);
        View.SetDocument(&Doc);
        Doc.AddViewport(&View);
        View.Hooks.FreeStockSolid = [] { FreeStockSolid(); };
        View.Hooks.CreateStockSolid = [] { RecreateStockSolid(); };
        RecreateStockSolid();
    }
    ~StlSurfaceScene() override
    {
        Doc.RemoveViewport(&View);
        FreeStockSolid();
    }

    // The surfaces' meshes and the stock solid, each in its group.
    unsigned StlChildren()
    {
        const auto children = [this](TSceneGroup group) {
            return View.SceneBuilder().Node(View.SceneBuilder().Group(group))->asGroup()->getNumChildren();
        };
        return children(TSceneGroup::Stl) + children(TSceneGroup::Stock);
    }

    // The vertices of the surface's mesh as the scene graph holds them,
    // each through the mesh node's own matrix.
    std::vector<osg::Vec3> ShownVertices(const TQV_STLSurf& surface)
    {
        auto* transform = dynamic_cast<osg::MatrixTransform*>(View.SceneBuilder().Node(surface.SceneNode()));
        if (!transform || transform->getNumChildren() != 1)
            return {};
        const auto* geometry = transform->getChild(0)->asGeometry();
        const auto* vertices = dynamic_cast<const osg::Vec3Array*>(geometry->getVertexArray());
        std::vector<osg::Vec3> shown;
        for (const osg::Vec3& v : *vertices)
            shown.push_back(v * transform->getMatrix());
        return shown;
    }

    TAppConfig Config;
    TQV_01Cmp2D Doc;
    TQVScene View;
    TViewServicesScope Services;
};

} // namespace

TEST_F(StlSurfaceScene, MeshFollowsTransformsAndOutlivesRebuildsAndItsSurface)
{
    auto* surface = Doc.AddObject(-1, std::make_unique<TQV_STLSurf>(-1, Square()));
    EXPECT_EQ(StlChildren(), 2u); // the stock and the mesh

    View.RebuildScene(false);
    View.RebuildScene(true);
    View.RebuildScene(false);
    EXPECT_EQ(StlChildren(), 2u);
    ASSERT_EQ(ShownVertices(*surface).size(), 6u);

    // A transform command: a quarter turn about Z, then a move. The shown
    // corner (2, 1, 3) goes to (-1, 2, 3) + (10, 0, 0).
    TMatrix4 m = TMatrix4::CreateRotationZ(90, true);
    m.Translate(10, 0, 0);
    const int32_t ids[] = {surface->ID()};
    Doc.TransformObjects(ids, m); // repaints the view
    const std::vector<osg::Vec3> shown = ShownVertices(*surface);
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_NEAR(shown[2].x(), 9.0, 1e-5);
    EXPECT_NEAR(shown[2].y(), 2.0, 1e-5);
    EXPECT_NEAR(shown[2].z(), 3.0, 1e-5);
    EXPECT_EQ(StlChildren(), 2u);

    // A new stock clears the Stl group; the surface's mesh comes back.
    View.RebuildScene(true);
    EXPECT_EQ(StlChildren(), 2u);
    EXPECT_EQ(ShownVertices(*surface).size(), 6u);

    Doc.DeleteObject(surface->ID());
    View.RebuildScene(false);
    View.RebuildScene(true);
    EXPECT_EQ(StlChildren(), 1u); // the stock alone
}

}  // namespace stl_surface_scene_test
