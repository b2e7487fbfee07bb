// The STL surface entity: its record with the binary STL behind it, its 3D
// box and its scene mesh under transforms, its safety across scene rebuilds,
// Clone, loading from a file, and the machining triangles taken from it.

#include "core/model/CADSysException.h"
#include "core/entities/EntityRegistration.h"
#include "core/settings/Language.h"
#include "core/entities/Line3D.h"
#include "core/entities/QVGrezzo.h"
#include "core/entities/QVStl.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/entities/QV_STLSurf.h"
#include "core/file/Stream.h"
#include "platform/IniFile.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace stl_surface_test {

using kbtest::TBytes;

namespace {

using TVec = std::array<float, 3>;

struct TFacet {
    TVec Normal, A, B, C;
};

// The box (0, 0, 0)-(2, 3, 4) as 12 facets, each wound counter-clockwise
// seen from outside, with its outward unit normal.
std::vector<TFacet> Cuboid()
{
    auto p = [](int corner) {
        return TVec{2.0f * (corner & 1), 3.0f * ((corner >> 1) & 1), 4.0f * ((corner >> 2) & 1)};
    };
    struct Face {
        TVec n;
        int t[2][3];
    };
    const Face faces[] = {
        {{0, 0, -1}, {{0, 2, 1}, {1, 2, 3}}}, {{0, 0, 1}, {{4, 5, 6}, {5, 7, 6}}},
        {{0, -1, 0}, {{0, 1, 4}, {1, 5, 4}}}, {{0, 1, 0}, {{2, 6, 3}, {3, 6, 7}}},
        {{-1, 0, 0}, {{0, 4, 2}, {2, 4, 6}}}, {{1, 0, 0}, {{1, 3, 5}, {3, 7, 5}}},
    };
    std::vector<TFacet> facets;
    for (const Face& f : faces)
        for (const auto& t : f.t)
            facets.push_back({f.n, p(t[0]), p(t[1]), p(t[2])});
    return facets;
}

TBytes& Vec(TBytes& b, const TVec& v)
{
    return b.F32(v[0]).F32(v[1]).F32(v[2]);
}

// Binary STL as a surface record stores it: the export header, the count,
// the facets with zero attribute bytes.
TBytes& Stl(TBytes& b, const std::vector<TFacet>& facets, uint32_t count)
{
    const std::string header = "GLScene STL export";
    b.Str(header).Str(std::string(80 - header.size(), '\0')).U32(count);
    for (const TFacet& f : facets)
        Vec(Vec(Vec(Vec(b, f.Normal), f.A), f.B), f.C).U8(0).U8(0);
    return b;
}

TBytes& ObjectHead(TBytes& b, int32_t id, uint8_t layer, const double (&matrix)[16])
{
    b.I32(id).U8(layer).U8(0x03);
    for (double e : matrix)
        b.F64(e);
    return b;
}

constexpr double Identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TStlMesh MeshOf(const std::vector<TFacet>& facets)
{
    TStlMesh mesh;
    for (const TFacet& f : facets) {
        TStlFacet s;
        for (int i = 0; i < 3; ++i) {
            s.Normal[i] = f.Normal[i];
            s.A[i] = f.A[i];
            s.B[i] = f.B[i];
            s.C[i] = f.C[i];
        }
        mesh.Facets.push_back(s);
    }
    return mesh;
}

void ExpectBox(const TBox3D& b, const std::array<double, 6>& e)
{
    EXPECT_NEAR(b.FirstEdge.X, e[0], 1e-6);
    EXPECT_NEAR(b.FirstEdge.Y, e[1], 1e-6);
    EXPECT_NEAR(b.FirstEdge.Z, e[2], 1e-6);
    EXPECT_NEAR(b.SecondEdge.X, e[3], 1e-6);
    EXPECT_NEAR(b.SecondEdge.Y, e[4], 1e-6);
    EXPECT_NEAR(b.SecondEdge.Z, e[5], 1e-6);
}

// The Stl-group meshes of the recording scene.
std::vector<const TSceneMesh*> StlMeshes(const kbtest::TRecordingScene& scene)
{
    std::vector<const TSceneMesh*> meshes;
    for (TSceneNodeId id : scene.Children(scene.Group(TSceneGroup::Stl)))
        if (const TSceneMesh* m = scene.As<TSceneMesh>(id))
            meshes.push_back(m);
    return meshes;
}

// Every normal points away from the centre of the (convex) solid.
void ExpectOutwardNormals(const TSceneMesh& mesh, const TVector3D& centre)
{
    ASSERT_EQ(mesh.Normals.size(), mesh.Vertices.size());
    for (size_t i = 0; i + 2 < mesh.Vertices.size(); i += 3) {
        const TVector3D& a = mesh.Vertices[i];
        const TVector3D& b = mesh.Vertices[i + 1];
        const TVector3D& c = mesh.Vertices[i + 2];
        const TVector3D out{(a.X + b.X + c.X) / 3 - centre.X, (a.Y + b.Y + c.Y) / 3 - centre.Y,
                            (a.Z + b.Z + c.Z) / 3 - centre.Z};
        const TVector3D& n = mesh.Normals[i];
        EXPECT_GT(n.X * out.X + n.Y * out.Y + n.Z * out.Z, 0.0) << "triangle " << i / 3;
    }
}

float FloatAt(const std::vector<uint8_t>& bytes, size_t at)
{
    float f;
    uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = u << 8 | bytes[at + i];
    std::memcpy(&f, &u, sizeof f);
    return f;
}

// Byte for byte, but facet normals by value: a computed normal may carry a
// zero with either sign.
void ExpectSameRecord(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected, size_t stlAt)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        const bool inNormal = i >= stlAt + 84 && (i - stlAt - 84) % 50 < 12;
        if (!inNormal) {
            ASSERT_EQ(actual[i], expected[i]) << "byte " << i;
        } else if ((i - stlAt - 84) % 50 % 4 == 0) {
            ASSERT_EQ(FloatAt(actual, i), FloatAt(expected, i)) << "byte " << i;
        }
    }
}

struct StlSurface : ::testing::Test {
    StlSurface() { RegisterEntityClasses(); }
    ~StlSurface() override { FreeStockSolid(); }
};

} // namespace

TEST_F(StlSurface, CubeRecordIsFollowedByAnObjectThatStillReads)
{
    const double moved[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 0, 1};
    TBytes surfaceRecord;
    ObjectHead(surfaceRecord, 5, 2, moved);
    const size_t headSize = surfaceRecord.Size();
    Stl(surfaceRecord, Cuboid(), 12);
    ASSERT_EQ(surfaceRecord.Size() - headSize, 684u);

    TBytes stream;
    stream.I16(31).Str(std::string(surfaceRecord.Data().begin(), surfaceRecord.Data().end()));
    stream.I16(30);
    ObjectHead(stream, 6, 1, Identity).I16(2);
    stream.F64(1).F64(2).F64(3).F64(1).F64(4).F64(5).F64(6).F64(1).U8(0);

    TMemoryStream in(stream.Data());
    std::unique_ptr<TGraphicObject> first = QV_00FindClassByIndex(ReadUInt16(in)).CreateFromStream(in, "QV-3.6");
    std::unique_ptr<TGraphicObject> second = QV_00FindClassByIndex(ReadUInt16(in)).CreateFromStream(in, "QV-3.6");
    EXPECT_EQ(in.Position(), in.Size());

    auto* surface = dynamic_cast<TQV_STLSurf*>(first.get());
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->ID(), 5);
    EXPECT_EQ(surface->Layer(), 2);
    ASSERT_EQ(surface->Mesh().Facets.size(), 12u);
    EXPECT_EQ(surface->Mesh().Facets[3].B[0], 2.0f);
    ExpectBox(surface->Box3D(), {10, 20, 0, 12, 23, 4});
    auto* line = dynamic_cast<TLine3D*>(second.get());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->ID(), 6);
    EXPECT_EQ(line->Points().Get(1).Z, 6.0);

    // Saved: the same bytes, header text at 0 and count 12 at 80 of the STL.
    TMemoryStream out;
    surface->SaveToStream(out);
    ExpectSameRecord(out.Data(), surfaceRecord.Data(), headSize);
}

TEST_F(StlSurface, DamagedStlDataIsRefusedAsAnInvalidFile)
{
    struct Case {
        const char* name;
        uint32_t count;
        size_t facets;
        size_t cut; // bytes cut from the end
    };
    const Case cases[] = {
        {"count beyond the data", 13, 12, 0},
        {"huge count", 0xFFFFFFFFu, 2, 0},
        {"last facet cut short", 12, 12, 10},
        {"header cut short", 0, 0, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBytes record;
        ObjectHead(record, 1, 0, Identity);
        std::vector<TFacet> facets = Cuboid();
        facets.resize(c.facets);
        Stl(record, facets, c.count);
        std::vector<uint8_t> bytes = record.Data();
        bytes.resize(bytes.size() - c.cut);
        TMemoryStream in(bytes);
        try {
            TQV_STLSurf surface(in, "QV-3.6");
            ADD_FAILURE() << "read without error";
        } catch (const ECADFileNotValid& e) {
            EXPECT_EQ(std::string(e.what()).rfind("TQV_STLSurf.CreateFromStream: ", 0), 0u) << e.what();
        }
    }
}

TEST_F(StlSurface, FacetsWithNonFiniteVerticesAreLeftOutAndReported)
{
    kbtest::TRecordingNotifier notifier;
    SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
    std::vector<TFacet> facets = Cuboid();
    facets[4].C[1] = std::numeric_limits<float>::quiet_NaN();
    facets[9].A[2] = std::numeric_limits<float>::infinity();
    TBytes record;
    Stl(ObjectHead(record, 1, 0, Identity), facets, 12).I16(30); // the next object's class id
    TMemoryStream in(record.Data());
    TQV_STLSurf surface(in, "QV-3.6");
    SetLanguageIni(nullptr);

    EXPECT_EQ(in.Position(), in.Size() - 2);
    EXPECT_EQ(surface.Mesh().Facets.size(), 10u);
    ExpectBox(surface.Box3D(), {0, 0, 0, 2, 3, 4});
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].Kind, EMessageKind::Warning);
    EXPECT_EQ(notifier.Messages()[0].Text.rfind("2 facet", 0), 0u) << notifier.Messages()[0].Text;
    EXPECT_EQ(notifier.Messages()[0].Caption, "Error");
}

TEST_F(StlSurface, BoxAndSceneMeshFollowEveryTransform)
{
    kbtest::TRecordingViewServices view;
    TMatrix4 turnedAndMoved = TMatrix4::CreateRotationZ(90, true);
    turnedAndMoved.Translate(10, 20, 0);
    struct Case {
        const char* name;
        TMatrix4 m;
        std::array<double, 6> box;
    };
    const Case cases[] = {
        {"none", TMatrix4(), {0, 0, 0, 2, 3, 4}},
        {"translation", TMatrix4::CreateTranslation(10, 20, 0), {10, 20, 0, 12, 23, 4}},
        {"scale by 2", TMatrix4::CreateScale(2, 2, 2), {0, 0, 0, 4, 6, 8}},
        {"mirror of Y", TMatrix4::CreateMirror(0), {0, -3, 0, 2, 0, 4}},
        {"rotation by 90 and translation", turnedAndMoved, {7, 20, 0, 10, 22, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TQV_STLSurf surface(1, MeshOf(Cuboid()));
        // As a transform command does: pending while it runs, then applied.
        surface.Transform(c.m);
        ExpectBox(surface.Box3D(), c.box);
        surface.ApplyTransform();
        surface.UpdateBounds();
        ExpectBox(surface.Box3D(), c.box);
        EXPECT_NEAR(surface.Box().SecondEdge.X, c.box[3], 1e-6);

        view.Scene.ClearGroup(view.Scene.Group(TSceneGroup::Stl));
        surface.Draw();
        const auto meshes = StlMeshes(view.Scene);
        ASSERT_EQ(meshes.size(), 1u);
        const TSceneMesh& mesh = *meshes[0];
        EXPECT_EQ(mesh.Name, "Base000");
        EXPECT_TRUE(mesh.Blended);
        EXPECT_FALSE(mesh.CullFaces);
        ASSERT_EQ(mesh.Vertices.size(), 36u);
        // The vertices themselves are placed; the node adds nothing.
        EXPECT_EQ(mesh.Position.X, 0.0);
        EXPECT_EQ(mesh.Scale.X, 1.0);
        const TPoint3D p = c.m.TransformPoint3D(MakePoint3D(2, 0, 4)); // facet 3's first vertex
        EXPECT_NEAR(mesh.Vertices[9].X, p.X, 1e-5);
        EXPECT_NEAR(mesh.Vertices[9].Y, p.Y, 1e-5);
        EXPECT_NEAR(mesh.Vertices[9].Z, p.Z, 1e-5);
        const std::array<double, 6>& b = c.box;
        ExpectOutwardNormals(mesh, TVector3D{(b[0] + b[3]) / 2, (b[1] + b[4]) / 2, (b[2] + b[5]) / 2});
    }
}

TEST_F(StlSurface, DrawingKeepsOneMeshInTheSceneAndSurvivesRebuilds)
{
    kbtest::TRecordingViewServices view;
    TQV_01Cmp2D doc;
    doc.Layers().GetLayer(0).SetPenColor(0x0000FF00);
    RecreateStockSolid();
    auto* surface = doc.AddObject(-1, std::make_unique<TQV_STLSurf>(-1, MeshOf(Cuboid())));
    TStlMesh small = MeshOf(Cuboid());
    small.Facets.resize(2);
    auto* other = doc.AddObject(-1, std::make_unique<TQV_STLSurf>(-1, std::move(small)));

    // The view's rebuild: entities again, the Stl group and the stock anew
    // on request, then every object drawn.
    auto rebuild = [&](bool recreateStock) {
        view.Scene.ClearGroup(view.Scene.Group(TSceneGroup::Entity));
        if (recreateStock) {
            FreeStockSolid();
            view.Scene.ClearGroup(view.Scene.Group(TSceneGroup::Stl));
            view.Scene.ClearGroup(view.Scene.Group(TSceneGroup::Stock));
            RecreateStockSolid();
        }
        TGraphicObjIterator it = doc.ObjectsIterator();
        for (TGraphicObject* o = it.First(); o; o = it.Next())
            o->Draw();
    };
    // The meshes and the stock solid, each in its group.
    auto stlChildren = [&] {
        return view.Scene.Children(view.Scene.Group(TSceneGroup::Stl)).size() +
               view.Scene.Children(view.Scene.Group(TSceneGroup::Stock)).size();
    };

    // Stock solid and two meshes; drawing again replaces, never adds.
    EXPECT_EQ(stlChildren(), 3u);
    surface->Draw();
    rebuild(false);
    EXPECT_EQ(stlChildren(), 3u);
    ASSERT_EQ(StlMeshes(view.Scene).size(), 2u);
    EXPECT_FLOAT_EQ(StlMeshes(view.Scene)[0]->Color.G, 1.0f);

    rebuild(true);
    EXPECT_EQ(stlChildren(), 3u);

    // Changed: moved by a transform command, and given the other's mesh.
    const int32_t ids[] = {surface->ID()};
    doc.TransformObjects(ids, TMatrix4::CreateTranslation(0, 0, 100));
    other->Assign(*surface);
    ExpectBox(other->Box3D(), {0, 0, 100, 2, 3, 104});
    rebuild(false);
    const auto meshes = StlMeshes(view.Scene);
    ASSERT_EQ(meshes.size(), 2u);
    for (const TSceneMesh* m : meshes) {
        ASSERT_EQ(m->Vertices.size(), 36u);
        EXPECT_NEAR(m->Vertices[0].Z, 100.0, 1e-6);
    }

    // Gone: the scene's copy outlives the surface, and rebuilds run on.
    const TSceneNodeId shown = surface->SceneNode();
    doc.DeleteObject(surface->ID());
    ASSERT_NE(view.Scene.As<TSceneMesh>(shown), nullptr);
    EXPECT_EQ(view.Scene.As<TSceneMesh>(shown)->Vertices.size(), 36u);
    rebuild(true);
    rebuild(false);
    EXPECT_EQ(StlMeshes(view.Scene).size(), 1u);
}

TEST_F(StlSurface, CloneSharesTheMeshAndKeepsItsOwnSceneObject)
{
    kbtest::TRecordingViewServices view;
    TQV_STLSurf surface(7, MeshOf(Cuboid()));
    surface.SetLayer(4);
    surface.Transform(TMatrix4::CreateScale(2, 2, 2));
    surface.ApplyTransform();
    surface.Transform(TMatrix4::CreateTranslation(1, 0, 0));
    surface.Draw();

    std::unique_ptr<TGraphicObject> copy = surface.Clone();
    auto* clone = dynamic_cast<TQV_STLSurf*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->ID(), 7);
    EXPECT_EQ(clone->Layer(), 4);
    ASSERT_NE(clone->ModelTransform(), nullptr);
    ASSERT_NE(clone->PendingTransform(), nullptr);
    ExpectBox(clone->Box3D(), {1, 0, 0, 5, 6, 8});
    EXPECT_EQ(&clone->Mesh(), &surface.Mesh());
    EXPECT_EQ(clone->SceneNode(), NoSceneNode);

    clone->Draw();
    EXPECT_EQ(StlMeshes(view.Scene).size(), 2u);
    TMemoryStream a;
    TMemoryStream b;
    surface.SaveToStream(a);
    clone->SaveToStream(b);
    EXPECT_EQ(a.Data(), b.Data());
}

TEST_F(StlSurface, CanvasShowsTheBoxAndNothingElseIsDrawnOnIt)
{
    kbtest::TRecordingViewServices view;
    TQV_STLSurf surface(1, MeshOf(Cuboid()));
    surface.DrawOnCanvas(view.Canvas, true);
    surface.DrawOnCanvasTransformed(view.Canvas, IdentityMatrix4());
    surface.DrawSelected();
    // The linear projection ignores Z: both rectangles fall on one another.
    const std::string rect = "0,0 0,-3 2,-3 2,0 0,0";
    EXPECT_EQ(view.Canvas.Calls, (std::vector<std::string>{"polyline " + rect + " " + rect}));
    EXPECT_TRUE(view.Scene.Children(view.Scene.Group(TSceneGroup::Selection)).empty());
    const TIntRect r = surface.GetScreenRect();
    EXPECT_EQ(r.Right, 0);
    EXPECT_EQ(r.Bottom, 0);
}

TEST_F(StlSurface, CreateFromFileAddsTheSurfaceAndSetsTheStock)
{
    kbtest::TRecordingViewServices view;
    kbtest::TTempDir dir;
    TBytes file;
    Stl(file, Cuboid(), 12);
    kbtest::WriteFileBytes(dir.File("part.stl"), file.Data());
    kbtest::WriteFileBytes(dir.File("bad.stl"), std::vector<uint8_t>(30, 'x'));
    TQV_01Cmp2D doc;
    doc.SetCurrentLayer(6);
    TQVGrezzo& stock = RecreateStockSolid();

    EXPECT_THROW(TQV_STLSurf::CreateFromFile(dir.File("bad.stl"), doc), EStlError);
    EXPECT_EQ(doc.ObjectsCount(), 0);
    EXPECT_EQ(stock.StockBox().SecondEdge.X, 0.0);

    TQV_STLSurf& surface = TQV_STLSurf::CreateFromFile(dir.File("part.stl"), doc);
    EXPECT_EQ(doc.ObjectsCount(), 1);
    EXPECT_EQ(doc.GetObjectByID(surface.ID()), &surface);
    EXPECT_EQ(surface.Layer(), 6);
    EXPECT_EQ(StlMeshes(view.Scene).size(), 1u);
    ExpectBox(stock.StockBox(), {0, 0, 0, 2, 3, 4});
    EXPECT_EQ(stock.Height(), 4.0);
}

TEST_F(StlSurface, MachiningTrianglesAreInDrawingCoordinates)
{
    // A triangle stored with a downward normal keeps it, and its up-normal
    // points up.
    TStlMesh flat;
    TStlFacet down;
    down.Normal[2] = -1.0f;
    down.B[0] = 1.0f;
    down.C[1] = 1.0f;
    flat.Facets.push_back(down);
    TQV_STLSurf plain(1, flat);
    TQVStl stl;
    stl.AddSurfaceTriangles(plain);
    ASSERT_EQ(stl.Triangles().size(), 1u);
    EXPECT_EQ(stl.Triangles()[0].Normal[2], -1.0f);
    EXPECT_EQ(stl.Triangles()[0].NormalUp[2], 1.0f);

    // Mirrored in Y and lifted: vertices moved, normals recomputed.
    TQV_STLSurf surface(2, MeshOf(Cuboid()));
    TMatrix4 m = TMatrix4::CreateMirror(0);
    m.Translate(0, 0, 10);
    surface.Transform(m);
    TQVStl moved;
    moved.AddSurfaceTriangles(surface);
    ASSERT_EQ(moved.Triangles().size(), 12u);
    const TTri& t = moved.Triangles()[3]; // (2, 0, 4), (2, 3, 4), (0, 3, 4) before
    EXPECT_FLOAT_EQ(t.B[1], -3.0f);
    EXPECT_FLOAT_EQ(t.B[2], 14.0f);
    EXPECT_FLOAT_EQ(std::fabs(t.Normal[2]), 1.0f);
    EXPECT_FLOAT_EQ(t.NormalUp[2], 1.0f);
    EXPECT_TRUE(moved.Box().Initialised);
    EXPECT_FLOAT_EQ(moved.Box().Min[1], -3.0f);
    EXPECT_FLOAT_EQ(moved.Box().Max[2], 14.0f);

    TQV_STLSurf empty(3);
    TQVStl none;
    none.AddSurfaceTriangles(empty);
    EXPECT_TRUE(none.Triangles().empty());
    EXPECT_FALSE(none.Box().Initialised);
    ExpectBox(empty.Box3D(), {0, 0, 0, 0, 0, 0});
}

}  // namespace stl_surface_test
