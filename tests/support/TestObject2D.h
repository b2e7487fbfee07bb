#pragma once
// A minimal concrete TObject2D for tests of the object machinery (lists,
// documents, undo) before or apart from the real entities: its box is a
// fixed local rectangle through the combined model transform, it counts its
// ComputeBounds calls, reports its destruction, and draws nothing.

#include "core/model/GraphicObject.h"

#include <memory>
#include <string_view>

namespace kbtest {

class TTestObject2D : public TObject2D {
public:
    static constexpr std::string_view kClassName = "TTestObject2D";

    // local: the extent in the object's own coordinates; destroyed, when
    // given, is set to true by the destructor.
    explicit TTestObject2D(int32_t id, const TRect2D& local = TRect2D{}, bool* destroyed = nullptr);
    TTestObject2D(int32_t id, const TMatrix4& transform, uint8_t ownLineWidth, uint32_t ownColor);
    TTestObject2D(TStream& stream, std::string_view signature);
    ~TTestObject2D() override;

    // A copy with the whole state (Local included); destruction is not
    // reported for the copy.
    TTestObject2D(const TTestObject2D& source, TCloneTag tag);

    // The registry factory.
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }
    void ComputeBounds() override;
    void Draw() override {}
    void DrawOnCanvas(TCanvas2D&, bool) override {}
    void DrawOnCanvasTransformed(TCanvas2D&, const TMatrix4&) override {}
    void DrawSelected() override {}
    TIntRect GetScreenRect() override { return {}; }

    int ComputeBoundsCalls = 0;
    TRect2D Local{};

protected:
    std::unique_ptr<TGraphicObject> CloneObject() const override;

private:
    bool* m_Destroyed = nullptr;
};

} // namespace kbtest
