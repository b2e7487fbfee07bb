#include "core/entities/Container2D.h"

#include "core/entities/Block2D.h"
#include "core/model/CADSysException.h"
#include "core/model/ClassRegistry.h"
#include "core/geometry/Geometry.h"
#include "core/file/Stream.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

namespace {

// The smallest stored child: int16 class id, the head (ID, layer, flags) and
// the old 3x3 transform.
constexpr int64_t kMinChildRecord = 2 + 6 + 72;

thread_local int g_NestingDepth = 0;

// Gives a child the transform (its own, then holder) for the length of a
// drawing call, then restores both its transforms exactly.
class THolderTransformScope {
public:
    THolderTransformScope(TObject2D& child, const TMatrix4& holder) : m_Child(child)
    {
        if (child.ModelTransform())
            m_Model = *child.ModelTransform();
        if (child.PendingTransform())
            m_Pending = *child.PendingTransform();
        TMatrix4 combined;
        combined.Multiply(child.GetModelTransform(), holder);
        child.SetModelTransform(IdentityMatrix4());
        child.SetTransform(combined);
    }
    ~THolderTransformScope()
    {
        try {
            m_Child.SetModelTransform(m_Model ? *m_Model : IdentityMatrix4());
            m_Child.SetTransform(m_Pending ? *m_Pending : IdentityMatrix4());
        } catch (...) {
            // UpdateBounds of a child that raises; the transforms are back.
        }
    }
    THolderTransformScope(const THolderTransformScope&) = delete;
    THolderTransformScope& operator=(const THolderTransformScope&) = delete;

private:
    TObject2D& m_Child;
    std::optional<TMatrix4> m_Model;
    std::optional<TMatrix4> m_Pending;
};

// Lends a child that belongs to no document (a child of a container or of
// a source block) the document of the object that holds it while it is
// drawn: the child takes its pen from that document's layers, as the file
// and the user set them, not from a new layer table's black pen.
class TLentOwnerScope {
public:
    TLentOwnerScope(TObject2D& child, TQV_01Cmp* owner) : m_Child(child), m_Lent(!child.Owner() && owner)
    {
        if (m_Lent)
            child.SetOwner(owner);
    }
    ~TLentOwnerScope()
    {
        if (m_Lent)
            m_Child.SetOwner(nullptr);
    }
    TLentOwnerScope(const TLentOwnerScope&) = delete;
    TLentOwnerScope& operator=(const TLentOwnerScope&) = delete;

private:
    TObject2D& m_Child;
    bool m_Lent;
};

// Marks a container whose children are being walked, so that a block
// reference leading back to it is not followed again.
class TWalkScope {
public:
    explicit TWalkScope(bool& walking) : m_Walking(walking), m_Entered(!walking) { m_Walking = true; }
    ~TWalkScope()
    {
        if (m_Entered)
            m_Walking = false;
    }
    TWalkScope(const TWalkScope&) = delete;
    TWalkScope& operator=(const TWalkScope&) = delete;
    bool Entered() const { return m_Entered; }

private:
    bool& m_Walking;
    bool m_Entered;
};

void MakeCurrent(TSceneGroup group)
{
    if (TSceneBuilder* scene = ViewServices().Scene)
        scene->SetCurrentTargetGroup(scene->Group(group));
}

} // namespace

TIntRect BoxScreenRect(const TRect2D& box)
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection)
        return {};
    const TIntPoint a = projection->PointToScreen(box.FirstEdge);
    const TIntPoint b = projection->PointToScreen(box.SecondEdge);
    return TIntRect{std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

// --- TContainerNestingScope --------------------------------------------------

TContainerNestingScope::TContainerNestingScope() : m_Entered(g_NestingDepth < kMaxContainerNesting)
{
    if (m_Entered)
        ++g_NestingDepth;
}

TContainerNestingScope::~TContainerNestingScope()
{
    if (m_Entered)
        --g_NestingDepth;
}

// --- TContainer2D --------------------------------------------------------------

TContainer2D::TContainer2D(int32_t id, std::vector<std::unique_ptr<TObject2D>> objects) : TObject2D(id)
{
    for (auto& object : objects)
        if (object)
            m_Objects->Add(std::move(object));
    UpdateBounds();
}

TContainer2D::TContainer2D(TStream& stream, std::string_view signature) : TObject2D(stream, signature)
{
    ReadChildren(stream, signature);
    UpdateBounds();
}

TContainer2D::TContainer2D(const TContainer2D& source, TCloneTag tag)
    : TObject2D(source, tag), m_BasePoint(source.m_BasePoint)
{
    TGraphicObjIterator it = source.m_Objects->GetIterator();
    for (TGraphicObject* child = it.First(); child; child = it.Next())
        m_Objects->Add(child->Clone());
}

std::unique_ptr<TGraphicObject> TContainer2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TContainer2D>(stream, signature);
}

std::unique_ptr<TGraphicObject> TContainer2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TContainer2D(*this, TCloneTag{}));
}

void TContainer2D::ReadChildren(TStream& stream, std::string_view signature)
{
    const TContainerNestingScope nesting;
    if (!nesting.Entered())
        throw ECADFileNotValid("TContainer2D.CreateFromStream: Containers nested too deep");
    const int32_t n = ReadInt32(stream);
    if (n < 0 || !stream.CanHold(n, kMinChildRecord))
        throw ECADFileNotValid("TContainer2D.CreateFromStream: Invalid number of children " + std::to_string(n));
    for (int32_t i = 0; i < n; ++i) {
        const auto classId = static_cast<uint16_t>(ReadInt16(stream));
        std::unique_ptr<TGraphicObject> child = QV_00FindClassByIndex(classId).CreateFromStream(stream, signature);
        if (!dynamic_cast<TObject2D*>(child.get()))
            throw ECADFileNotValid("TContainer2D.CreateFromStream: Not a 2D object");
        child->UpdateBounds();
        m_Objects->Add(std::move(child));
    }
}

void TContainer2D::ComputeBounds()
{
    std::optional<TRect2D> box;
    {
        TGraphicObjIterator it = m_Objects->GetIterator();
        for (TGraphicObject* child = it.First(); child; child = it.Next())
            if (const auto* object = dynamic_cast<const TObject2D*>(child))
                box = box ? UnionRect2D(*box, object->Box()) : NormalizeRect2D(object->Box());
    }
    if (!box) {
        SetBox(TRect2D{});
        return;
    }
    SetBox(HasTransform() ? TransformRect2D(*box, GetModelTransform()) : *box);
}

void TContainer2D::Draw()
{
    MakeCurrent(TSceneGroup::Entity);
    DrawChildren(GetModelTransform(), false);
}

void TContainer2D::DrawSelected()
{
    MakeCurrent(TSceneGroup::Selection);
    DrawChildren(GetModelTransform(), true);
}

void TContainer2D::DrawChildren(const TMatrix4& holder, bool selected)
{
    // holder may be the shared scratch matrix, which the children overwrite.
    const TMatrix4 transform = holder;
    const TContainerNestingScope nesting;
    const TWalkScope walk(m_Walking);
    if (!nesting.Entered() || !walk.Entered())
        return;
    TGraphicObjIterator it = m_Objects->GetIterator();
    for (TGraphicObject* child = it.First(); child; child = it.Next()) {
        auto* object = dynamic_cast<TObject2D*>(child);
        if (!object)
            continue;
        const THolderTransformScope scope(*object, transform);
        const TLentOwnerScope owner(*object, Owner());
        if (selected)
            object->DrawSelected();
        else
            object->Draw();
    }
}

void TContainer2D::DrawOnCanvas(TCanvas2D& canvas, bool /*showControlPoints*/)
{
    DrawChildrenOnCanvas(canvas, GetModelTransform());
}

void TContainer2D::DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform)
{
    TMatrix4 combined;
    combined.Multiply(GetModelTransform(), parentTransform);
    DrawChildrenOnCanvas(canvas, combined);
}

void TContainer2D::DrawChildrenOnCanvas(TCanvas2D& canvas, const TMatrix4& holder)
{
    const TMatrix4 transform = holder;
    const TContainerNestingScope nesting;
    const TWalkScope walk(m_Walking);
    if (!nesting.Entered() || !walk.Entered())
        return;
    TGraphicObjIterator it = m_Objects->GetIterator();
    for (TGraphicObject* child = it.First(); child; child = it.Next())
        if (auto* object = dynamic_cast<TObject2D*>(child)) {
            const TLentOwnerScope owner(*object, Owner());
            object->DrawOnCanvasTransformed(canvas, transform);
        }
}

TIntRect TContainer2D::GetScreenRect()
{
    return BoxScreenRect(Box());
}

void TContainer2D::DrawControlPoints(TCanvas2D& canvas)
{
    if (m_Objects->Count() > 0)
        TObject2D::DrawControlPoints(canvas);
}

int32_t TContainer2D::PickAt(const TPoint2D& point, double& distance, double aperture)
{
    const int32_t result = TObject2D::PickAt(point, distance, aperture);
    if (result != PickInBox)
        return result;
    const TPoint2D local = HasTransform() ? InverseTransformPoint(point) : point;
    return PickChildren(local, distance, aperture, result);
}

int32_t TContainer2D::PickChildren(const TPoint2D& point, double& distance, double aperture, int32_t result)
{
    double best = 2.0 * aperture;
    const TContainerNestingScope nesting;
    const TWalkScope walk(m_Walking);
    if (nesting.Entered() && walk.Entered()) {
        TGraphicObjIterator it = m_Objects->GetIterator();
        for (TGraphicObject* child = it.First(); child; child = it.Next()) {
            auto* object = dynamic_cast<TObject2D*>(child);
            if (!object)
                continue;
            double childDistance = PickFarDistance;
            const int32_t r = object->PickAt(point, childDistance, aperture);
            if (r >= PickInsideArea && childDistance < best) {
                best = childDistance;
                result = object->ID();
            }
        }
    }
    distance = best;
    return result;
}

void TContainer2D::SaveToStream(TStream& stream)
{
    // Every class id first, so that an unregistered child raises before
    // anything is written.
    std::vector<std::pair<int16_t, TGraphicObject*>> children;
    {
        TGraphicObjIterator it = m_Objects->GetIterator();
        for (TGraphicObject* child = it.First(); child; child = it.Next())
            children.emplace_back(QV_00FindClassIndex(child->ClassName()), child);
    }
    TObject2D::SaveToStream(stream);
    WriteInt32(stream, static_cast<int32_t>(children.size()));
    for (const auto& [classId, child] : children) {
        WriteInt16(stream, classId);
        child->SaveToStream(stream);
    }
}

void TContainer2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    const auto* other = dynamic_cast<const TContainer2D*>(&source);
    if (!other) {
        TObject2D::Assign(source);
        return;
    }
    if (other->m_Objects->HasExclusiveIterator())
        throw ECADListBlocked("TContainer2D.Assign: The list has an exclusive iterator.");
    if (m_Objects->IsBlocked())
        throw ECADListBlocked("TContainer2D.Assign: The list has active iterators.");
    // Clones first: the source may be one of this container's own children,
    // which the replacement frees.
    std::vector<std::unique_ptr<TGraphicObject>> clones;
    {
        TGraphicObjIterator it = other->m_Objects->GetIterator();
        for (TGraphicObject* child = it.First(); child; child = it.Next())
            clones.push_back(child->Clone());
    }
    TObject2D::Assign(source);
    m_Objects->Clear();
    for (auto& clone : clones)
        m_Objects->Add(std::move(clone));
}

void TContainer2D::UpdateSourceReferences(TGraphicObjIterator& sourceBlocks)
{
    {
        TGraphicObjIterator it = m_Objects->GetIterator();
        for (TGraphicObject* child = it.First(); child; child = it.Next()) {
            if (auto* nested = dynamic_cast<TSourceBlock2D*>(child))
                nested->UpdateSourceReferences(sourceBlocks);
            else if (auto* block = dynamic_cast<TBlock2D*>(child))
                block->UpdateReference(sourceBlocks);
        }
    }
    UpdateBounds();
}
