#include "core/model/GraphicObject.h"

#include "core/model/CADSysException.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"

#include <algorithm>
#include <typeinfo>

namespace {

constexpr uint8_t FlagVisible = 0x01;
constexpr uint8_t FlagEnabled = 0x02;
constexpr uint8_t FlagNotSaved = 0x04;

// The last signature whose records store the transform in the 3x3 form.
constexpr std::string_view Last3x3Signature = "QV-002";

} // namespace

// --- TGraphicObject --------------------------------------------------------

TGraphicObject::TGraphicObject(int32_t id) : m_ID(id) {}

TGraphicObject::TGraphicObject(TStream& stream, std::string_view /*signature*/)
{
    m_ID = ReadInt32(stream);
    m_Layer = ReadUInt8(stream);
    const uint8_t flags = ReadUInt8(stream);
    m_Visible = (flags & FlagVisible) != 0;
    m_Enabled = (flags & FlagEnabled) != 0;
    m_Saved = (flags & FlagNotSaved) == 0;
}

TGraphicObject::TGraphicObject(const TGraphicObject& source, TCloneTag)
    : m_ID(source.m_ID), m_Layer(source.m_Layer), m_OwnLineWidth(source.m_OwnLineWidth),
      m_Visible(source.m_Visible), m_Enabled(source.m_Enabled), m_Saved(source.m_Saved),
      m_Pickable(source.m_Pickable)
{
}

std::unique_ptr<TGraphicObject> TGraphicObject::Clone() const
{
    std::unique_ptr<TGraphicObject> copy = CloneObject();
    // A class that inherits its parent's CloneObject would come back as the
    // parent: a copy without the class's own state.
    if (!copy || typeid(*copy) != typeid(*this))
        throw ECADSysException(std::string(ClassName()) + ".Clone: This class cannot be copied");
    return copy;
}

void TGraphicObject::SaveToStream(TStream& stream)
{
    uint8_t flags = 0;
    if (m_Visible)
        flags |= FlagVisible;
    if (m_Enabled)
        flags |= FlagEnabled;
    if (!m_Saved)
        flags |= FlagNotSaved;
    WriteInt32(stream, m_ID);
    WriteUInt8(stream, m_Layer);
    WriteUInt8(stream, flags);
}

void TGraphicObject::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    m_Visible = source.m_Visible;
    m_Enabled = source.m_Enabled;
    m_Saved = source.m_Saved;
}

void TGraphicObject::SetOwner(TQV_01Cmp* owner)
{
    if (owner == m_Owner)
        return;
    PickShapeChanged();
    m_Owner = owner;
    PickShapeChanged();
}

void TGraphicObject::PickShapeChanged()
{
    if (m_PickSlot != 0 && m_Owner)
        m_Owner->PickIndex().MarkChanged(*this);
}

void TGraphicObject::UpdateBounds()
{
    ComputeBounds();
    PickShapeChanged();
    if (m_OnChange)
        m_OnChange(*this);
}

// --- TObject2DHandler ------------------------------------------------------

void TObject2DHandler::Release()
{
    if (--m_RefCount > 0)
        return;
    // The owner must not keep a reference to a freed handler.
    if (m_Owner && m_Owner->m_Handler == this)
        m_Owner->m_Handler = nullptr;
    delete this;
}

// --- TObject2D -------------------------------------------------------------

TObject2D::TObject2D(int32_t id) : TGraphicObject(id) {}

TObject2D::TObject2D(int32_t id, const TMatrix4& transform, uint8_t ownLineWidth, uint32_t ownColor)
    : TGraphicObject(id), m_OwnColor(ownColor)
{
    // SetTransform without its UpdateBounds: the subclass computes the box
    // at the end of its own constructor.
    if (!transform.IsEqual(IdentityMatrix4()))
        m_PendingTransform = transform;
    SetPickable(false);
    SetOwnLineWidth(ownLineWidth);
}

TObject2D::TObject2D(TStream& stream, std::string_view signature) : TGraphicObject(stream, signature)
{
    if (CompareSignature(signature, Last3x3Signature) > 0) {
        TMatrix4 m;
        m.LoadFromStream(stream);
        SetModelTransform(m);
    } else {
        TTransform2D t;
        for (auto& row : t.T)
            for (double& element : row)
                element = ReadDouble(stream);
        SetModelTransform3x3(t);
    }
}

TObject2D::TObject2D(const TObject2D& source, TCloneTag tag)
    : TGraphicObject(source, tag), m_ModelTransform(source.m_ModelTransform),
      m_PendingTransform(source.m_PendingTransform), m_Box(source.m_Box), m_OwnColor(source.m_OwnColor)
{
    SetHandler(source.m_Handler);
}

TObject2D::~TObject2D()
{
    SetHandler(nullptr);
}

const TMatrix4& TObject2D::GetModelTransform() const
{
    if (!m_ModelTransform)
        return m_PendingTransform ? *m_PendingTransform : IdentityMatrix4();
    TMatrix4& scratch = ScratchMatrix4();
    scratch.Multiply(*m_ModelTransform, m_PendingTransform ? *m_PendingTransform : IdentityMatrix4());
    return scratch;
}

void TObject2D::SetTransform(const TMatrix4& m)
{
    if (m.IsEqual(IdentityMatrix4()))
        m_PendingTransform.reset();
    else
        m_PendingTransform = m;
    UpdateBounds();
}

bool TObject2D::IsVisibleInRect(const TRect2D& rect) const
{
    return Visible() && m_Box.FirstEdge.X <= rect.SecondEdge.X && m_Box.SecondEdge.X >= rect.FirstEdge.X &&
           m_Box.FirstEdge.Y <= rect.SecondEdge.Y && m_Box.SecondEdge.Y >= rect.FirstEdge.Y;
}

void TObject2D::Transform(const TMatrix4& m)
{
    if (!m_PendingTransform) {
        SetTransform(m);
        return;
    }
    TMatrix4 product;
    product.Multiply(*m_PendingTransform, m);
    SetTransform(product);
}

void TObject2D::ApplyTransform()
{
    SetModelTransform(GetModelTransform());
}

void TObject2D::DrawControlPoints(TCanvas2D& canvas)
{
    if (m_Handler)
        m_Handler->DrawControlPoints(*this, canvas);
}

int32_t TObject2D::PickAt(const TPoint2D& point, double& distance, double aperture)
{
    distance = PickFarDistance;
    if (!Enabled())
        return PickNone;
    int32_t result = PickNone;
    const bool inBox = point.X >= m_Box.FirstEdge.X - aperture && point.X <= m_Box.SecondEdge.X + aperture &&
                       point.Y >= m_Box.FirstEdge.Y - aperture && point.Y <= m_Box.SecondEdge.Y + aperture;
    if (inBox) {
        distance = aperture;
        result = PickInBox;
    }
    if (m_Handler)
        result = std::max(result, m_Handler->PickAt(*this, point, distance, aperture));
    return result;
}

void TObject2D::SetModelTransform(const TMatrix4& m)
{
    // m may be this object's own pending matrix (GetModelTransform without a
    // model transform): copy it before the pending transform goes.
    if (m.IsEqual(IdentityMatrix4()))
        m_ModelTransform.reset();
    else
        m_ModelTransform = m;
    m_PendingTransform.reset();
    PickShapeChanged();
}

void TObject2D::SetBox(const TRect2D& box)
{
    // Curves set their box again each time their profile is built (during
    // picks too); the same box changes nothing.
    const auto same = [](const TPoint2D& a, const TPoint2D& b) { return a.X == b.X && a.Y == b.Y && a.W == b.W; };
    const bool changed = !same(m_Box.FirstEdge, box.FirstEdge) || !same(m_Box.SecondEdge, box.SecondEdge);
    m_Box = box;
    if (changed)
        PickShapeChanged();
}

void TObject2D::SetModelTransform3x3(const TTransform2D& t)
{
    SetModelTransform(TMatrix4::CreateFromTransform2D(t));
}

void TObject2D::ResetTransforms()
{
    m_ModelTransform.reset();
    SetTransform(IdentityMatrix4());
}

TPoint2D TObject2D::InverseTransformPoint(const TPoint2D& p) const
{
    TMatrix4 inverse;
    inverse.Invert(GetModelTransform());
    return inverse.TransformPoint2D(p);
}

void TObject2D::SetHandler(TObject2DHandler* h)
{
    // Take the new reference before dropping the old one, so that setting
    // the handler the object already holds cannot free it on the way.
    if (h)
        h->AddRef();
    TObject2DHandler* previous = m_Handler;
    m_Handler = h;
    if (previous)
        previous->Release();
    PickShapeChanged();
}

void TObject2D::SaveToStream(TStream& stream)
{
    TGraphicObject::SaveToStream(stream);
    SetModelTransform(GetModelTransform());
    GetModelTransform().SaveToStream(stream);
}

void TObject2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TGraphicObject::Assign(source);
    const auto* other = dynamic_cast<const TObject2D*>(&source);
    if (!other)
        return;
    SetModelTransform(other->GetModelTransform());
    SetBox(other->m_Box);
    if (other->m_Handler != m_Handler)
        SetHandler(other->m_Handler);
}

// --- TObject3D -------------------------------------------------------------

TObject3D::TObject3D(int32_t id) : TObject2D(id) {}

TObject3D::TObject3D(TStream& stream, std::string_view signature) : TObject2D(stream, signature) {}

TObject3D::TObject3D(const TObject3D& source, TCloneTag tag) : TObject2D(source, tag), m_Box3D(source.m_Box3D) {}

void TObject3D::SetBox3D(const TBox3D& box)
{
    m_Box3D = box;
    SetBox(TRect2D{MakePoint2D(box.FirstEdge.X, box.FirstEdge.Y), MakePoint2D(box.SecondEdge.X, box.SecondEdge.Y)});
}

// --- free functions ---------------------------------------------------------

void TranslateObject(TObject2D& object, const TPoint2D& a, const TPoint2D& b)
{
    const TPoint2D ca = CartesianPoint2D(a);
    const TPoint2D cb = CartesianPoint2D(b);
    object.Transform(TMatrix4::CreateTranslation(ca.X - cb.X, ca.Y - cb.Y, 0.0));
}
