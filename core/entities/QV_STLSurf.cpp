#include "core/entities/QV_STLSurf.h"

#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/model/Layers.h"
#include "core/entities/QVGrezzo.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "core/model/UserNotifier.h"

#include <algorithm>
#include <string>

namespace {

const TQV_20Layers& DefaultLayers()
{
    static const TQV_20Layers layers;
    return layers;
}

void SetStockBox(const TBox3D& box)
{
    if (TQVGrezzo* stock = StockSolid())
        stock->SetBox(box);
}

TVector3D ToVector(const float (&v)[3])
{
    return TVector3D{v[0], v[1], v[2]};
}

void CopyVector(const float (&from)[3], float (&to)[3])
{
    std::copy(std::begin(from), std::end(from), std::begin(to));
}

// True when the linear part of m turns the space inside out (a mirror).
bool Mirrors(const TMatrix4& m)
{
    return TMatrix4::Det3x3(m.GetElement(0), m.GetElement(1), m.GetElement(2), m.GetElement(4), m.GetElement(5),
                            m.GetElement(6), m.GetElement(8), m.GetElement(9), m.GetElement(10)) < 0.0;
}

} // namespace

void ReportSkippedStlFacets(size_t count)
{
    if (count == 0)
        return;
    const std::string text = LangFormat(LangText(LangKeys::String::StlFacetsSkipped), {std::to_string(count)});
    UserNotifier().ShowMessage(EMessageKind::Warning, text, LangText(LangKeys::String::ErrorCaption));
}

TQV_STLSurf::TQV_STLSurf(int32_t id) : TQV_STLSurf(id, TStlMesh{}) {}

TQV_STLSurf::TQV_STLSurf(int32_t id, TStlMesh mesh)
    : TObject3D(id), m_Mesh(std::make_shared<const TStlMesh>(std::move(mesh)))
{
    UpdateBounds();
}

TQV_STLSurf::TQV_STLSurf(TStream& stream, std::string_view signature) : TObject3D(stream, signature)
{
    try {
        m_Mesh = std::make_shared<const TStlMesh>(ReadStlBinary(stream));
    } catch (const EStlError& e) {
        throw ECADFileNotValid(std::string("TQV_STLSurf.CreateFromStream: ") + e.what());
    }
    ReportSkippedStlFacets(m_Mesh->SkippedFacets);
    UpdateBounds();
    SetStockBox(Box3D());
}

TQV_STLSurf::TQV_STLSurf(const TQV_STLSurf& source, TCloneTag tag) : TObject3D(source, tag), m_Mesh(source.m_Mesh)
{
}

std::unique_ptr<TGraphicObject> TQV_STLSurf::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TQV_STLSurf>(stream, signature);
}

std::unique_ptr<TGraphicObject> TQV_STLSurf::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TQV_STLSurf(*this, TCloneTag{}));
}

TQV_STLSurf& TQV_STLSurf::CreateFromFile(const std::string& fileName, TQV_01Cmp2D& document)
{
    TStlMesh mesh = LoadStlFromFile(fileName);
    const size_t skipped = mesh.SkippedFacets;
    TQV_STLSurf* surface = document.AddObject(-1, std::make_unique<TQV_STLSurf>(-1, std::move(mesh)));
    ReportSkippedStlFacets(skipped);
    SetStockBox(surface->Box3D());
    return *surface;
}

void TQV_STLSurf::ComputeBounds()
{
    if (m_Mesh->Facets.empty()) {
        SetBox3D(TBox3D{});
        return;
    }
    TBBox extents;
    for (const TStlFacet& f : m_Mesh->Facets) {
        extents.AddPoint(f.A);
        extents.AddPoint(f.B);
        extents.AddPoint(f.C);
    }
    const TBox3D box{TPoint3D{extents.Min[0], extents.Min[1], extents.Min[2], 1.0},
                     TPoint3D{extents.Max[0], extents.Max[1], extents.Max[2], 1.0}};
    SetBox3D(HasTransform() ? TransformBox3D(box, GetModelTransform()) : box);
}

std::vector<TTri> TQV_STLSurf::Triangles() const
{
    std::vector<TTri> triangles(m_Mesh->Facets.size());
    const bool transformed = HasTransform();
    // Copied: the combined transform may live in the shared scratch matrix.
    const TMatrix4 m = GetModelTransform();
    for (size_t i = 0; i < triangles.size(); ++i) {
        const TStlFacet& f = m_Mesh->Facets[i];
        TTri& t = triangles[i];
        if (transformed) {
            m.TransformAffine(f.A, t.A);
            m.TransformAffine(f.B, t.B);
            m.TransformAffine(f.C, t.C);
            t.ComputeNormal();
        } else {
            CopyVector(f.A, t.A);
            CopyVector(f.B, t.B);
            CopyVector(f.C, t.C);
            CopyVector(f.Normal, t.Normal);
        }
        t.UpNormal();
        t.UpdateBox();
    }
    return triangles;
}

void TQV_STLSurf::Draw()
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return;
    if (m_MeshScene == scene)
        scene->RemoveNode(SceneNode());
    m_MeshScene = nullptr;
    SetSceneNode(NoSceneNode);

    uint32_t color = OwnColor();
    if (Pickable()) {
        const TQV_01Cmp* document = Owner();
        color = (document ? document->Layers() : DefaultLayers()).GetLayer(Layer()).Pen().Color;
    }
    TSceneMesh mesh;
    mesh.Name = std::string(kMeshName);
    mesh.Color = SceneColorFromWinColor(color, 1.0f);
    mesh.Blended = true;
    mesh.CullFaces = false;
    // A recomputed normal of a mirrored triangle points into the surface,
    // since the mirror reverses the order of its vertices.
    const double outward = HasTransform() && Mirrors(GetModelTransform()) ? -1.0 : 1.0;
    const std::vector<TTri> triangles = Triangles();
    mesh.Vertices.reserve(3 * triangles.size());
    mesh.Normals.reserve(3 * triangles.size());
    for (const TTri& t : triangles) {
        mesh.Vertices.push_back(ToVector(t.A));
        mesh.Vertices.push_back(ToVector(t.B));
        mesh.Vertices.push_back(ToVector(t.C));
        const TVector3D n{outward * t.Normal[0], outward * t.Normal[1], outward * t.Normal[2]};
        mesh.Normals.insert(mesh.Normals.end(), 3, n);
    }
    SetSceneNode(scene->AddMesh(scene->Group(TSceneGroup::Stl), mesh));
    m_MeshScene = scene;
}

void TQV_STLSurf::SaveToStream(TStream& stream)
{
    TObject2D::SaveToStream(stream);
    WriteStlBinary(stream, *m_Mesh);
}

void TQV_STLSurf::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TObject2D::Assign(source);
    if (const auto* other = dynamic_cast<const TQV_STLSurf*>(&source))
        m_Mesh = other->m_Mesh;
    UpdateBounds();
}

void TQV_STLSurf::DrawOnCanvas(TCanvas2D& canvas, bool /*showControlPoints*/)
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection)
        return;
    const TPoint3D& p1 = Box3D().FirstEdge;
    const TPoint3D& p2 = Box3D().SecondEdge;
    std::vector<TIntPoint> points;
    points.reserve(10);
    for (const double z : {p1.Z, p2.Z}) {
        const TPoint3D ring[] = {{p1.X, p1.Y, z, 1.0}, {p1.X, p2.Y, z, 1.0}, {p2.X, p2.Y, z, 1.0},
                                 {p2.X, p1.Y, z, 1.0}, {p1.X, p1.Y, z, 1.0}};
        for (const TPoint3D& p : ring)
            points.push_back(projection->Point3DToScreen(p));
    }
    canvas.Polyline(points);
}

void TQV_STLSurf::DrawOnCanvasTransformed(TCanvas2D& /*canvas*/, const TMatrix4& /*parentTransform*/) {}

void TQV_STLSurf::DrawSelected() {}

TIntRect TQV_STLSurf::GetScreenRect()
{
    return TIntRect{};
}
