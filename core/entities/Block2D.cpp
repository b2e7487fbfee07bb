#include "core/entities/Block2D.h"

#include "core/model/CADSysException.h"
#include "core/model/ClassRegistry.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/PickHelpers.h"
#include "core/file/Stream.h"

#include <stdexcept>

// --- TBlock2D ----------------------------------------------------------------

TBlock2D::TBlock2D(int32_t id, TSourceBlock2D* source) : TObject2D(id)
{
    if (!source)
        throw std::invalid_argument("TBlock2D.Create: Invalid parameter");
    m_Name = source->Name();
    SetBox(source->Box());
    Link(source);
    try {
        UpdateBounds();
    } catch (...) {
        // No destructor runs for an unfinished object: drop the reference.
        Link(nullptr);
        throw;
    }
}

TBlock2D::TBlock2D(int32_t id, std::string_view name)
    : TObject2D(id), m_Name(CopyBlockName(name)), m_InsertionPoint{0.0, 0.0, 0.0}
{
}

TBlock2D::TBlock2D(TStream& stream, std::string_view signature) : TObject2D(stream, signature)
{
    stream.ReadBuffer(m_Name.data(), m_Name.size());
    m_InsertionPoint.X = ReadDouble(stream);
    m_InsertionPoint.Y = ReadDouble(stream);
    m_InsertionPoint.W = ReadDouble(stream);
}

TBlock2D::TBlock2D(const TBlock2D& source, TCloneTag tag)
    : TObject2D(source, tag), m_Name(source.m_Name), m_InsertionPoint(source.m_InsertionPoint)
{
    Link(source.m_Source);
}

TBlock2D::~TBlock2D()
{
    Link(nullptr);
}

std::unique_ptr<TBlock2D> TBlock2D::CreateByName(int32_t id, std::string_view name)
{
    return std::unique_ptr<TBlock2D>(new TBlock2D(id, name));
}

std::unique_ptr<TGraphicObject> TBlock2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TBlock2D>(stream, signature);
}

std::unique_ptr<TGraphicObject> TBlock2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TBlock2D(*this, TCloneTag{}));
}

void TBlock2D::Link(TSourceBlock2D* source)
{
    if (source == m_Source)
        return;
    // Counted at the new source first: should that fail, nothing changed.
    if (source)
        source->AddReference(*this);
    if (m_Source)
        m_Source->ReleaseReference(*this);
    m_Source = source;
}

void TBlock2D::SetSourceBlock(TSourceBlock2D* source)
{
    if (!source)
        throw std::invalid_argument("TBlock2D.SetSourceBlock: Invalid parameter");
    if (source == m_Source)
        return;
    Link(source);
    m_Name = source->Name();
    UpdateBounds();
}

void TBlock2D::UpdateReference(TGraphicObjIterator& sourceBlocks)
{
    for (TGraphicObject* object = sourceBlocks.First(); object; object = sourceBlocks.Next()) {
        auto* source = dynamic_cast<TSourceBlock2D*>(object);
        if (source && source->Name() == m_Name) {
            Link(source);
            UpdateBounds();
            return;
        }
    }
    throw ECADListObjNotFound("TBlock2D.UpdateReference: Source block not found");
}

void TBlock2D::RefreshSourceBounds()
{
    m_Source->UpdateBounds();
}

void TBlock2D::ComputeBounds()
{
    if (!m_Source)
        return;
    RefreshSourceBounds();
    const TRect2D box = m_Source->Box();
    SetBox(HasTransform() ? TransformRect2D(box, GetModelTransform()) : box);
}

void TBlock2D::Draw()
{
    if (!m_Source)
        return;
    if (TSceneBuilder* scene = ViewServices().Scene)
        scene->SetCurrentTargetGroup(scene->Group(TSceneGroup::Entity));
    m_Source->DrawChildren(GetModelTransform(), false);
}

void TBlock2D::DrawOnCanvas(TCanvas2D& canvas, bool /*showControlPoints*/)
{
    if (m_Source)
        m_Source->DrawChildrenOnCanvas(canvas, GetModelTransform());
}

void TBlock2D::DrawOnCanvasTransformed(TCanvas2D& canvas, const TMatrix4& parentTransform)
{
    if (!m_Source)
        return;
    TMatrix4 combined;
    combined.Multiply(GetModelTransform(), parentTransform);
    m_Source->DrawChildrenOnCanvas(canvas, combined);
}

TIntRect TBlock2D::GetScreenRect()
{
    return BoxScreenRect(Box());
}

int32_t TBlock2D::PickAt(const TPoint2D& point, double& distance, double aperture)
{
    distance = PickFarDistance;
    if (!m_Source || !Enabled())
        return PickNone;
    if (TObject2D::PickAt(point, distance, aperture) == PickInBox) {
        const TPoint2D insertion = GetModelTransform().TransformPoint2D(m_InsertionPoint);
        if (PointNearPoint(point, insertion, distance, aperture))
            return PickOnObject;
    }
    const TPoint2D local = HasTransform() ? InverseTransformPoint(point) : point;
    return m_Source->PickAt(local, distance, aperture);
}

void TBlock2D::SaveToStream(TStream& stream)
{
    TObject2D::SaveToStream(stream);
    stream.Write(m_Name.data(), m_Name.size());
    WriteDouble(stream, m_InsertionPoint.X);
    WriteDouble(stream, m_InsertionPoint.Y);
    WriteDouble(stream, m_InsertionPoint.W);
}

void TBlock2D::Assign(const TGraphicObject& other)
{
    if (&other == this)
        return;
    TObject2D::Assign(other);
    const auto* block = dynamic_cast<const TBlock2D*>(&other);
    if (!block)
        return;
    Link(block->m_Source);
    if (!m_Source)
        return;
    m_Name = block->m_Name;
    m_InsertionPoint = block->m_InsertionPoint;
    UpdateBounds();
}

// --- TInsert -------------------------------------------------------------------

TInsert::TInsert(int32_t id, std::string_view name) : TBlock2D(id, name) {}

TInsert::TInsert(TStream& stream, std::string_view signature) : TBlock2D(stream, signature) {}

TInsert::TInsert(const TInsert& source, TCloneTag tag) : TBlock2D(source, tag) {}

std::unique_ptr<TGraphicObject> TInsert::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TInsert>(stream, signature);
}

std::unique_ptr<TGraphicObject> TInsert::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TInsert(*this, TCloneTag{}));
}

void TInsert::RefreshSourceBounds()
{
    // The insert's source is brought up to date without its change event.
    SourceBlock()->ComputeBounds();
}

// --- registration --------------------------------------------------------------

void RegisterBlockClasses()
{
    QV_00RegisterClass(ContainerClassId,
                       {std::string(TContainer2D::kClassName), &TContainer2D::CreateFromStream});
    QV_00RegisterClass(SourceBlockClassId,
                       {std::string(TSourceBlock2D::kClassName), &TSourceBlock2D::CreateFromStream});
    QV_00RegisterClass(BlockClassId, {std::string(TBlock2D::kClassName), &TBlock2D::CreateFromStream});
    QV_00RegisterClass(InsertClassId, {std::string(TInsert::kClassName), &TInsert::CreateFromStream});
}
