#pragma once
// How a tool record shows itself in the view: as a solid of its shape that
// the simulations move along the toolpath, or as the position marker, a
// small cross of constant screen size. Records hold no scene types: the
// scene objects are kept here, keyed by the record, and built through the
// installed scene builder (core/model/ViewInterfaces.h). A record shows one
// of the two at a time. Freeing a record frees its objects.
//
// Mill records build a solid of revolution about the tool axis (+Z, the tip
// at the tool position), lathe records an extruded outline of the insert;
// laser records have no solid. Without an installed scene builder nothing
// is built and every call does nothing.

#include "core/geometry/Points.h"
#include "core/model/ViewInterfaces.h"

#include <vector>

class TDatiUtBase;

// The profile of a mill's solid of revolution: points (axial height from
// the tip, radius), from the tip up the side to the shank's top and back to
// the axis.
std::vector<TVector2D> BuildProfile(const TDatiUtBase& tool);

// The outline of a lathe insert in the plane: the nose arc of radius R
// about the origin from direction 180 - A1 to direction A2 + 270 degrees
// (counter-clockwise, chords within 0.05 x simulationTolerance), the edge
// of length L1 leaving the arc's start and the edge of length L2 leaving
// its end, both along the arc's tangents; the polygon closes itself between
// the two edge ends. Order: end of the L1 edge, arc start, arc points, arc
// end, end of the L2 edge.
std::vector<TVector2D> InsertOutline(const TDatiUtBase& tool, double simulationTolerance);

// The tool objects of the records. One instance for the program
// (ToolSceneObjects()).
class TToolSceneObjects {
public:
    // Colours of the solids (0x00BBGGRR).
    static constexpr uint32_t MillColor = 0x00C0C0C0;
    static constexpr uint32_t LatheColor = 0x0000C0FF;
    // The lathe solid's place until the simulation first moves it.
    static constexpr double LatheParkX = 1000.0;
    // Segments around the axis of a mill solid.
    static constexpr int RevolutionSegments = 24;

    // Builds the record's solid (replacing one it has) into the view's
    // object group, shown when visible is set; a lathe solid starts hidden
    // at X 1000 whatever visible says. Nothing for laser records.
    void CreateSolid(const TDatiUtBase& tool, bool visible);
    void MoveSolid(const TDatiUtBase& tool, double x, double y, double z);
    void ShowSolid(const TDatiUtBase& tool, bool visible);
    void FreeSolid(const TDatiUtBase& tool);
    TSceneNodeId Solid(const TDatiUtBase& tool) const;

    // The marker: a line object in the settings' chain colour, width 2,
    // arms 30 view pixels long.
    void CreateMarker(const TDatiUtBase& tool);
    // Rebuilds the cross when the view's pixel size changed since the last
    // build, then places it at the point.
    void MoveMarker(const TDatiUtBase& tool, double x, double y, double z);
    void FreeMarker(const TDatiUtBase& tool);
    TSceneNodeId Marker(const TDatiUtBase& tool) const;
    // The arm length of the last build (drawing units); 0 without a marker.
    double MarkerArm(const TDatiUtBase& tool) const;

    // Drops every object of the record (its destructor calls this).
    void Forget(const TDatiUtBase& tool);

private:
    struct TEntry {
        TSceneNodeId Solid = NoSceneNode;
        TSceneNodeId Marker = NoSceneNode;
        double MarkerArm = 0.0;
        double LastScale = 0.0; // pixel size of the last build; 0 = none
        TVector3D MarkerAt;
    };
    TEntry* Find(const TDatiUtBase& tool);
    const TEntry* Find(const TDatiUtBase& tool) const;
    void RebuildMarker(TEntry& entry);
    void EraseIfEmpty(const TDatiUtBase& tool);

    std::vector<std::pair<const TDatiUtBase*, TEntry>> m_Entries;
};

TToolSceneObjects& ToolSceneObjects();

// The solid of revolution of a profile (points (height, radius)) about +Z,
// as triangles with outward normals.
TSceneMesh RevolutionMesh(const std::vector<TVector2D>& profile, int segments);
// The prism of a closed contour from z = 0 to z = height (either sign),
// side walls and both caps (fan triangulation: the contour is convex).
TSceneMesh ExtrusionMesh(const std::vector<TVector2D>& contour, double height);
