#pragma once
// Turns the scene-object records of core/ViewInterfaces.h into OSG
// drawables. Lines are by far the most numerous objects (one per drawing
// entity), so lines objects of the same colour share their colour array and
// those of the same width their state set (a few dozen objects per state
// set); nothing that is shared is ever changed in place (an update gives the
// object new arrays and state).
//
// Lines, points, polygons and planes are unlit; meshes and solids are lit
// with their colour as ambient and diffuse material. Vertices are single
// precision, as the renderer takes them. Records that do not hold together
// (an image whose pixel count is not width x height, a mesh whose vertex
// count is no multiple of three, normals that do not match the vertices)
// are drawn without the part that does not fit, never read past their data.

#include "core/model/ViewInterfaces.h"

#include <osg/Array>
#include <osg/Geometry>
#include <osg/Node>
#include <osg/StateSet>
#include <osg/ref_ptr>

#include <array>
#include <map>

class TOsgGeometryFactory {
public:
    // Point size of the node markers of lines objects, in pixels.
    static constexpr float NodeMarkerSize = 4.0f;

    osg::ref_ptr<osg::Geometry> MakeLines(const TSceneLines& lines);
    void UpdateLines(osg::Geometry& geometry, const TSceneLines& lines);

    osg::ref_ptr<osg::Geometry> MakePoints(const TScenePoints& points);
    // Gives the points object its own point size.
    void SetPointSize(osg::Geometry& geometry, float size);

    osg::ref_ptr<osg::Geometry> MakePolygon(const TScenePolygon& polygon);
    osg::ref_ptr<osg::Geometry> MakePlane(const TScenePlane& plane);
    // Gives the plane new corners, colour and texture.
    void UpdatePlane(osg::Geometry& geometry, const TScenePlane& plane);
    // A transform (position, scale) above the triangles.
    osg::ref_ptr<osg::Node> MakeMesh(const TSceneMesh& mesh);
    osg::ref_ptr<osg::Geometry> MakeSolid(const TSceneSolid& solid);
    void UpdateSolid(osg::Geometry& geometry, const TSceneSolid& solid);

private:
    osg::Vec4Array* SharedColor(const TSceneColor& color);
    osg::StateSet* SharedLineState(float width);

    std::map<std::array<float, 4>, osg::ref_ptr<osg::Vec4Array>> m_Colors;
    std::map<float, osg::ref_ptr<osg::StateSet>> m_LineStates;
};
