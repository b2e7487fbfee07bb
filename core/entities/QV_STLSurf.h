#pragma once
// TQV_STLSurf: an STL surface in the drawing, the triangle mesh that the 3D
// parallel finishing machines (class id 31).
//
// Promises:
// - The surface owns its mesh, in the mesh's own coordinates, and never
//   changes it; the model transform places it. Clones and Assign share the
//   one immutable mesh.
// - Everything that shows or uses the mesh follows the whole model
//   transform (translation, scale, mirror, rotation, pending transforms of a
//   running command included): the 3D box, the triangles the machining
//   reads (Triangles) and the mesh in the view, which is built from those
//   same triangles.
// - The scene gets a copy of the mesh. Draw replaces the surface's previous
//   copy, so a surface is in the Stl group at most once, follows a transform
//   after the next rebuild, and comes back after the view has cleared the
//   group; nothing in the scene refers to the surface or its mesh, so a
//   rebuild after the surface is gone or changed is safe.
// - Stored record, after the TObject2D record: the mesh as binary STL
//   (core/Stl.h: 80-byte header, uint32 count n, n facets of 50 bytes), with
//   no length field: the next object starts right after the last facet.
//   Damaged STL data raises ECADFileNotValid. Facets left out for
//   coordinates that are not finite are reported to the user once, with
//   their count, and the surface keeps the others.

#include "core/model/GraphicObject.h"
#include "core/file/Stl.h"
#include "core/geometry/Tri.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TQV_01Cmp2D;

class TQV_STLSurf : public TObject3D {
public:
    static constexpr std::string_view kClassName = "TQV_STLSurf";
    static constexpr uint16_t kStreamClassId = 31;
    // The name of the mesh object in the scene.
    static constexpr std::string_view kMeshName = "Base000";

    // An empty surface: no triangles, an all-zero 3D box.
    explicit TQV_STLSurf(int32_t id);
    // A surface of the given triangles.
    TQV_STLSurf(int32_t id, TStlMesh mesh);
    // Reads the record and the STL data that follows it. The surface is not
    // added to any document here (the document reader does that). The
    // program's stock solid, when there is one, takes the surface's box.
    TQV_STLSurf(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    // Loads an ASCII or binary STL file, adds the surface to the document
    // (next free ID, current layer, drawn) and gives its box to the stock
    // solid when there is one. A file that cannot be read raises EStlError,
    // naming the file, before the document or the stock change.
    static TQV_STLSurf& CreateFromFile(const std::string& fileName, TQV_01Cmp2D& document);

    std::string_view ClassName() const override { return kClassName; }

    // The box of the mesh's vertices, through the model transform when there
    // is one (TransformBox3D); all zero for a mesh without triangles.
    void ComputeBounds() override;
    // Replaces the surface's mesh in the view's Stl group by a new copy
    // built from Triangles(): drawing coordinates, blended, no face culling,
    // in the layer's pen colour (the own colour when not pickable), normals
    // pointing out of the surface also under a mirroring transform.
    void Draw() override;
    // The TObject2D record, then the mesh as binary STL.
    void SaveToStream(TStream& stream) override;
    // The TObject2D assignment; from another surface also its mesh.
    void Assign(const TGraphicObject& source) override;
    // The 3D box as one canvas polyline of ten points: the bottom rectangle
    // closed, then the top one closed.
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override;
    void DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform) override;
    void DrawSelected() override;
    // (0, 0, 0, 0).
    TIntRect GetScreenRect() override;

    const TStlMesh& Mesh() const { return *m_Mesh; }

    // One triangle per facet in file order, in drawing coordinates: without
    // a transform the vertices and the normal as stored; with one, each
    // vertex through the affine part of the model transform and the normal
    // recomputed from them. Up-normal and box are set.
    std::vector<TTri> Triangles() const;

protected:
    TQV_STLSurf(const TQV_STLSurf& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

private:
    std::shared_ptr<const TStlMesh> m_Mesh;
    // The scene builder that holds SceneNode(); another one installed since
    // (a test's, a new view's) does not know that id.
    TSceneBuilder* m_MeshScene = nullptr;
};

// Tells the user that count facets of an STL input were left out. Nothing
// for 0.
void ReportSkippedStlFacets(size_t count);
