#include "cad/scene/OsgGeometry.h"

#include <osg/BlendFunc>
#include <osg/CullFace>
#include <osg/Image>
#include <osg/LineWidth>
#include <osg/Material>
#include <osg/MatrixTransform>
#include <osg/Point>
#include <osg/PrimitiveSet>
#include <osg/TexEnv>
#include <osg/Texture2D>
#include <osgUtil/Tessellator>

#include <cmath>
#include <cstring>

namespace {

// More distinct colours than this empty the colour cache (a simulation may
// colour every segment differently); the objects keep their arrays.
constexpr size_t ColorCacheLimit = 4096;

// How many lines objects share one state set at most.
constexpr unsigned StateSharersLimit = 64;

osg::Vec3 ToVec3(const TVector3D& v)
{
    return osg::Vec3(static_cast<float>(v.X), static_cast<float>(v.Y), static_cast<float>(v.Z));
}

osg::Vec4 ToVec4(const TSceneColor& c)
{
    return osg::Vec4(c.R, c.G, c.B, c.A);
}

// The colour drawn: an object that is not blended is opaque.
TSceneColor Opaque(const TSceneColor& c, bool blended)
{
    TSceneColor result = c;
    if (!blended)
        result.A = 1.0f;
    return result;
}

osg::ref_ptr<osg::Geometry> NewGeometry()
{
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    geometry->setUseDisplayList(false);
    geometry->setUseVertexBufferObjects(true);
    return geometry;
}

osg::ref_ptr<osg::Vec3Array> VertexArray(const std::vector<TVector3D>& nodes)
{
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    vertices->reserve(nodes.size());
    for (const TVector3D& n : nodes)
        vertices->push_back(ToVec3(n));
    return vertices;
}

// The state of an object that owns it: lighting, depth test and face
// culling as asked; blending is on for the whole scene (see the view).
osg::ref_ptr<osg::StateSet> OwnState(bool lit, bool depthTest, bool cullFaces)
{
    osg::ref_ptr<osg::StateSet> state = new osg::StateSet;
    state->setMode(GL_LIGHTING, lit ? osg::StateAttribute::ON : osg::StateAttribute::OFF);
    state->setMode(GL_DEPTH_TEST, depthTest ? osg::StateAttribute::ON : osg::StateAttribute::OFF);
    if (cullFaces) {
        state->setAttributeAndModes(new osg::CullFace(osg::CullFace::BACK), osg::StateAttribute::ON);
    } else {
        state->setMode(GL_CULL_FACE, osg::StateAttribute::OFF);
    }
    if (lit) {
        osg::ref_ptr<osg::Material> material = new osg::Material;
        material->setColorMode(osg::Material::AMBIENT_AND_DIFFUSE);
        state->setAttribute(material);
    }
    return state;
}

// Triangles (three vertices each) covering a closed contour in a plane with
// the given normal, by the odd winding rule; crossings get new vertices.
std::vector<osg::Vec3> TriangulateContour(const std::vector<osg::Vec3>& contour, const osg::Vec3& normal)
{
    std::vector<osg::Vec3> triangles;
    if (contour.size() < 3)
        return triangles;
    // The tessellator keeps pointers to the vertices until it is done.
    std::vector<osg::Vec3> vertices = contour;
    osg::ref_ptr<osgUtil::Tessellator> tess = new osgUtil::Tessellator;
    tess->setWindingType(osgUtil::Tessellator::TESS_WINDING_ODD);
    tess->setBoundaryOnly(false);
    tess->setTessellationNormal(normal);
    tess->beginTessellation();
    tess->beginContour();
    for (osg::Vec3& v : vertices)
        tess->addVertex(&v);
    tess->endContour();
    tess->endTessellation();
    for (const auto& prim : tess->getPrimList()) {
        const auto& pv = prim->_vertices;
        switch (prim->_mode) {
        case GL_TRIANGLES:
            for (size_t i = 0; i + 2 < pv.size(); i += 3)
                triangles.insert(triangles.end(), {*pv[i], *pv[i + 1], *pv[i + 2]});
            break;
        case GL_TRIANGLE_FAN:
            for (size_t i = 1; i + 1 < pv.size(); ++i)
                triangles.insert(triangles.end(), {*pv[0], *pv[i], *pv[i + 1]});
            break;
        case GL_TRIANGLE_STRIP:
            for (size_t i = 0; i + 2 < pv.size(); ++i) {
                if (i % 2 == 0)
                    triangles.insert(triangles.end(), {*pv[i], *pv[i + 1], *pv[i + 2]});
                else
                    triangles.insert(triangles.end(), {*pv[i + 1], *pv[i], *pv[i + 2]});
            }
            break;
        default:
            break;
        }
    }
    return triangles;
}

// Twice the signed area of the contour (positive: counter-clockwise).
double SignedArea2(const std::vector<TVector2D>& contour)
{
    double area = 0.0;
    for (size_t i = 0; i < contour.size(); ++i) {
        const TVector2D& a = contour[i];
        const TVector2D& b = contour[(i + 1) % contour.size()];
        area += a.X * b.Y - b.X * a.Y;
    }
    return area;
}

// Fills the geometry with the closed sides and both caps of the extrusion.
void FillSolid(osg::Geometry& geometry, const TSceneSolid& solid)
{
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
    const auto bottom = static_cast<float>(solid.BottomZ);
    const auto top = static_cast<float>(solid.BottomZ + solid.Height);
    const size_t n = solid.Contour.size();
    if (n >= 3) {
        // Outward side normals whichever way the contour runs.
        const float outward = SignedArea2(solid.Contour) >= 0.0 ? 1.0f : -1.0f;
        for (size_t i = 0; i < n; ++i) {
            const TVector2D& a = solid.Contour[i];
            const TVector2D& b = solid.Contour[(i + 1) % n];
            osg::Vec3 sideNormal(static_cast<float>(b.Y - a.Y) * outward, static_cast<float>(a.X - b.X) * outward,
                                 0.0f);
            sideNormal.normalize();
            const osg::Vec3 a0(static_cast<float>(a.X), static_cast<float>(a.Y), bottom);
            const osg::Vec3 b0(static_cast<float>(b.X), static_cast<float>(b.Y), bottom);
            const osg::Vec3 a1(a0.x(), a0.y(), top);
            const osg::Vec3 b1(b0.x(), b0.y(), top);
            for (const osg::Vec3& v : {a0, b0, b1, a0, b1, a1}) {
                vertices->push_back(v);
                normals->push_back(sideNormal);
            }
        }
        std::vector<osg::Vec3> contour;
        contour.reserve(n);
        for (const TVector2D& p : solid.Contour)
            contour.emplace_back(static_cast<float>(p.X), static_cast<float>(p.Y), 0.0f);
        const std::vector<osg::Vec3> cap = TriangulateContour(contour, osg::Vec3(0.0f, 0.0f, 1.0f));
        for (const auto& [z, nz] : {std::pair{bottom, -1.0f}, std::pair{top, 1.0f}}) {
            for (const osg::Vec3& v : cap) {
                vertices->push_back(osg::Vec3(v.x(), v.y(), z));
                normals->push_back(osg::Vec3(0.0f, 0.0f, nz));
            }
        }
    }
    geometry.setVertexArray(vertices);
    geometry.setNormalArray(normals, osg::Array::BIND_PER_VERTEX);
    osg::ref_ptr<osg::Vec4Array> colors = new osg::Vec4Array;
    colors->push_back(ToVec4(Opaque(solid.Color, solid.Blended)));
    geometry.setColorArray(colors, osg::Array::BIND_OVERALL);
    geometry.removePrimitiveSet(0, geometry.getNumPrimitiveSets());
    geometry.addPrimitiveSet(new osg::DrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices->size())));
    geometry.setStateSet(OwnState(true, solid.DepthTest, false));
    geometry.dirtyBound();
}

} // namespace

osg::Vec4Array* TOsgGeometryFactory::SharedColor(const TSceneColor& color)
{
    const std::array<float, 4> key{color.R, color.G, color.B, color.A};
    auto it = m_Colors.find(key);
    if (it != m_Colors.end())
        return it->second.get();
    if (m_Colors.size() >= ColorCacheLimit)
        m_Colors.clear();
    osg::ref_ptr<osg::Vec4Array> array = new osg::Vec4Array;
    array->push_back(ToVec4(color));
    return m_Colors.emplace(key, array).first->second.get();
}

osg::StateSet* TOsgGeometryFactory::SharedLineState(float width)
{
    // A state set keeps a list of the drawables that use it and searches and
    // erases in it on every removal: shared by a million lines, clearing the
    // scene would take minutes. So a state set serves a limited number of
    // objects, then the next one starts.
    osg::ref_ptr<osg::StateSet>& shared = m_LineStates[width];
    if (!shared || shared->getNumParents() >= StateSharersLimit) {
        shared = new osg::StateSet;
        shared->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
        shared->setAttribute(new osg::LineWidth(width > 0.0f ? width : 1.0f));
        shared->setAttribute(new osg::Point(NodeMarkerSize));
    }
    return shared.get();
}

osg::ref_ptr<osg::Geometry> TOsgGeometryFactory::MakeLines(const TSceneLines& lines)
{
    osg::ref_ptr<osg::Geometry> geometry = NewGeometry();
    UpdateLines(*geometry, lines);
    return geometry;
}

void TOsgGeometryFactory::UpdateLines(osg::Geometry& geometry, const TSceneLines& lines)
{
    geometry.setVertexArray(VertexArray(lines.Nodes));
    geometry.setColorArray(SharedColor(lines.Color), osg::Array::BIND_OVERALL);
    geometry.removePrimitiveSet(0, geometry.getNumPrimitiveSets());
    const auto count = static_cast<GLsizei>(lines.Nodes.size());
    geometry.addPrimitiveSet(new osg::DrawArrays(GL_LINE_STRIP, 0, count));
    if (lines.NodesVisible)
        geometry.addPrimitiveSet(new osg::DrawArrays(GL_POINTS, 0, count));
    geometry.setStateSet(SharedLineState(lines.LineWidth));
    geometry.dirtyBound();
}

osg::ref_ptr<osg::Geometry> TOsgGeometryFactory::MakePoints(const TScenePoints& points)
{
    osg::ref_ptr<osg::Geometry> geometry = NewGeometry();
    geometry->setVertexArray(VertexArray(points.Positions));
    osg::ref_ptr<osg::Vec4Array> colors = new osg::Vec4Array;
    if (!points.Colors.empty() && points.Colors.size() == points.Positions.size()) {
        for (const TSceneColor& c : points.Colors)
            colors->push_back(ToVec4(c));
        geometry->setColorArray(colors, osg::Array::BIND_PER_VERTEX);
    } else {
        colors->push_back(points.Colors.empty() ? osg::Vec4(1, 1, 1, 1) : ToVec4(points.Colors.front()));
        geometry->setColorArray(colors, osg::Array::BIND_OVERALL);
    }
    geometry->addPrimitiveSet(new osg::DrawArrays(GL_POINTS, 0, static_cast<GLsizei>(points.Positions.size())));
    osg::ref_ptr<osg::StateSet> state = OwnState(false, false, false);
    state->setMode(GL_POINT_SMOOTH, points.Smooth ? osg::StateAttribute::ON : osg::StateAttribute::OFF);
    geometry->setStateSet(state);
    SetPointSize(*geometry, points.PointSize);
    return geometry;
}

void TOsgGeometryFactory::SetPointSize(osg::Geometry& geometry, float size)
{
    if (!std::isfinite(size) || size <= 0.0f)
        size = 1.0f;
    geometry.getOrCreateStateSet()->setAttribute(new osg::Point(size));
}

osg::ref_ptr<osg::Geometry> TOsgGeometryFactory::MakePolygon(const TScenePolygon& polygon)
{
    osg::ref_ptr<osg::Geometry> geometry = NewGeometry();
    std::vector<osg::Vec3> contour;
    contour.reserve(polygon.Nodes.size());
    for (const TVector3D& n : polygon.Nodes)
        contour.push_back(ToVec3(n));
    const std::vector<osg::Vec3> triangles = TriangulateContour(contour, osg::Vec3(0.0f, 0.0f, 1.0f));
    geometry->setVertexArray(new osg::Vec3Array(triangles.begin(), triangles.end()));
    osg::ref_ptr<osg::Vec4Array> colors = new osg::Vec4Array;
    colors->push_back(ToVec4(Opaque(polygon.Color, polygon.Blended)));
    geometry->setColorArray(colors, osg::Array::BIND_OVERALL);
    geometry->addPrimitiveSet(new osg::DrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(triangles.size())));
    geometry->setStateSet(OwnState(false, false, false));
    return geometry;
}

osg::ref_ptr<osg::Geometry> TOsgGeometryFactory::MakePlane(const TScenePlane& plane)
{
    osg::ref_ptr<osg::Geometry> geometry = NewGeometry();
    UpdatePlane(*geometry, plane);
    return geometry;
}

void TOsgGeometryFactory::UpdatePlane(osg::Geometry& geometry, const TScenePlane& plane)
{
    // Corners in double precision: the axes may carry a large scale.
    const TVector3D& c = plane.Centre;
    const double hw = plane.Width / 2.0;
    const double hh = plane.Height / 2.0;
    auto corner = [&](double u, double v) {
        return ToVec3(TVector3D{c.X + u * hw * plane.AxisX.X + v * hh * plane.AxisY.X,
                                c.Y + u * hw * plane.AxisX.Y + v * hh * plane.AxisY.Y,
                                c.Z + u * hw * plane.AxisX.Z + v * hh * plane.AxisY.Z});
    };
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    vertices->push_back(corner(-1.0, -1.0));
    vertices->push_back(corner(1.0, -1.0));
    vertices->push_back(corner(1.0, 1.0));
    vertices->push_back(corner(-1.0, 1.0));
    geometry.setVertexArray(vertices);
    geometry.removePrimitiveSet(0, geometry.getNumPrimitiveSets());
    osg::ref_ptr<osg::Vec2Array> texCoords = new osg::Vec2Array;
    texCoords->push_back(osg::Vec2(0.0f, 0.0f));
    texCoords->push_back(osg::Vec2(1.0f, 0.0f));
    texCoords->push_back(osg::Vec2(1.0f, 1.0f));
    texCoords->push_back(osg::Vec2(0.0f, 1.0f));
    geometry.setTexCoordArray(0, texCoords);
    osg::ref_ptr<osg::Vec4Array> colors = new osg::Vec4Array;
    colors->push_back(ToVec4(Opaque(plane.Color, plane.Blended)));
    geometry.setColorArray(colors, osg::Array::BIND_OVERALL);
    geometry.addPrimitiveSet(new osg::DrawArrays(GL_TRIANGLE_FAN, 0, 4));
    osg::ref_ptr<osg::StateSet> state = OwnState(false, plane.DepthTest, false);
    const TSceneImage* image = plane.Image.get();
    const bool imageFits = image && image->Width > 0 && image->Height > 0 &&
                           image->Pixels.size() == static_cast<size_t>(image->Width) * image->Height;
    if (imageFits) {
        // 0xAARRGGBB words are B, G, R, A bytes in memory; the image's rows
        // come top-down, the texture's bottom-up.
        osg::ref_ptr<osg::Image> texImage = new osg::Image;
        texImage->allocateImage(image->Width, image->Height, 1, GL_BGRA, GL_UNSIGNED_BYTE);
        for (int32_t row = 0; row < image->Height; ++row) {
            const uint32_t* src = image->Pixels.data() + static_cast<size_t>(image->Height - 1 - row) * image->Width;
            unsigned char* dst = texImage->data(0, row);
            for (int32_t col = 0; col < image->Width; ++col) {
                const uint32_t p = src[col];
                dst[col * 4 + 0] = static_cast<unsigned char>(p & 0xff);
                dst[col * 4 + 1] = static_cast<unsigned char>((p >> 8) & 0xff);
                dst[col * 4 + 2] = static_cast<unsigned char>((p >> 16) & 0xff);
                dst[col * 4 + 3] = static_cast<unsigned char>((p >> 24) & 0xff);
            }
        }
        texImage->setInternalTextureFormat(GL_RGBA);
        osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(texImage);
        texture->setResizeNonPowerOfTwoHint(false);
        texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
        texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
        texture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_EDGE);
        texture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_EDGE);
        state->setTextureAttributeAndModes(0, texture, osg::StateAttribute::ON);
        state->setTextureAttribute(0, new osg::TexEnv(osg::TexEnv::MODULATE));
    }
    geometry.setStateSet(state);
    geometry.dirtyBound();
}

osg::ref_ptr<osg::Node> TOsgGeometryFactory::MakeMesh(const TSceneMesh& mesh)
{
    osg::ref_ptr<osg::Geometry> geometry = NewGeometry();
    const size_t count = mesh.Vertices.size() - mesh.Vertices.size() % 3;
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    vertices->reserve(count);
    for (size_t i = 0; i < count; ++i)
        vertices->push_back(ToVec3(mesh.Vertices[i]));
    geometry->setVertexArray(vertices);
    if (mesh.Normals.size() >= count && count > 0) {
        osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
        normals->reserve(count);
        for (size_t i = 0; i < count; ++i)
            normals->push_back(ToVec3(mesh.Normals[i]));
        geometry->setNormalArray(normals, osg::Array::BIND_PER_VERTEX);
    }
    osg::ref_ptr<osg::Vec4Array> colors = new osg::Vec4Array;
    colors->push_back(ToVec4(Opaque(mesh.Color, mesh.Blended)));
    geometry->setColorArray(colors, osg::Array::BIND_OVERALL);
    geometry->addPrimitiveSet(new osg::DrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count)));
    geometry->setStateSet(OwnState(true, false, mesh.CullFaces));

    osg::ref_ptr<osg::MatrixTransform> transform = new osg::MatrixTransform;
    transform->setName(mesh.Name);
    transform->setMatrix(osg::Matrix::scale(mesh.Scale.X, mesh.Scale.Y, mesh.Scale.Z) *
                         osg::Matrix::translate(mesh.Position.X, mesh.Position.Y, mesh.Position.Z));
    // Scaled normals would darken or brighten the lighting.
    transform->getOrCreateStateSet()->setMode(GL_NORMALIZE, osg::StateAttribute::ON);
    transform->addChild(geometry);
    return transform;
}

osg::ref_ptr<osg::Geometry> TOsgGeometryFactory::MakeSolid(const TSceneSolid& solid)
{
    osg::ref_ptr<osg::Geometry> geometry = NewGeometry();
    FillSolid(*geometry, solid);
    return geometry;
}

void TOsgGeometryFactory::UpdateSolid(osg::Geometry& geometry, const TSceneSolid& solid)
{
    FillSolid(geometry, solid);
}
