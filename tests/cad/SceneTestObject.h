#pragma once
// A drawing object for the scene-view tests: it answers every pick with a
// scripted code and distance, builds one two-node lines object into the
// Entity group when drawn, and marks its overlay drawing on the canvas as
// the text "object <ID> <0|1>" (1: control points asked for).

#include "core/model/GraphicObject.h"
#include "core/model/ViewInterfaces.h"

#include <string>

namespace kbtest {

class TSceneTestObject final : public TObject2D {
public:
    TSceneTestObject(int32_t id, int32_t pickCode = PickNone, double pickDistance = PickFarDistance)
        : TObject2D(id), PickCode(pickCode), PickDistance(pickDistance)
    {
        UpdateBounds();
    }

    std::string_view ClassName() const override { return "TSceneTestObject"; }
    void ComputeBounds() override {}
    void Draw() override
    {
        ++Draws;
        TSceneBuilder* scene = ViewServices().Scene;
        if (!scene)
            return;
        scene->SetCurrentTargetGroup(scene->Group(TSceneGroup::Entity));
        TSceneLines lines;
        lines.Nodes = {{0, 0, 0}, {static_cast<double>(ID()), 1, 0}};
        SetSceneNode(scene->AddLines(scene->CurrentTargetGroup(), lines));
    }
    void DrawOnCanvas(TCanvas2D& canvas, bool showControlPoints) override
    {
        canvas.TextOut(0, 0, "object " + std::to_string(ID()) + (showControlPoints ? " 1" : " 0"));
    }
    void DrawOnCanvasTransformed(TCanvas2D&, const TMatrix4&) override {}
    void DrawSelected() override {}
    TIntRect GetScreenRect() override { return {}; }
    int32_t PickAt(const TPoint2D&, double& distance, double) override
    {
        distance = PickFarDistance;
        if (!Enabled())
            return PickNone;
        distance = PickDistance;
        return PickCode;
    }

    int32_t PickCode;
    double PickDistance;
    int Draws = 0;

protected:
    // The scripted pick comes along; the draw count starts again.
    TSceneTestObject(const TSceneTestObject& source, TCloneTag tag)
        : TObject2D(source, tag), PickCode(source.PickCode), PickDistance(source.PickDistance)
    {
    }
    std::unique_ptr<TGraphicObject> CloneObject() const override
    {
        return std::unique_ptr<TGraphicObject>(new TSceneTestObject(*this, TCloneTag{}));
    }
};

} // namespace kbtest
