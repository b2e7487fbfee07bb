#include "core/entities/SourceBlock2D.h"

#include "core/entities/Block2D.h"
#include "core/model/CADSysException.h"
#include "core/file/Stream.h"

#include <algorithm>
#include <vector>

TBlockName CopyBlockName(std::string_view text)
{
    TBlockName name{};
    std::copy_n(text.begin(), std::min(text.size(), name.size()), name.begin());
    return name;
}

std::string BlockNameText(const TBlockName& name)
{
    const auto end = std::find(name.begin(), name.end(), '\0');
    return std::string(name.begin(), end);
}

TSourceBlock2D::TSourceBlock2D(int32_t id, std::vector<std::unique_ptr<TObject2D>> objects, std::string_view name)
    : TContainer2D(id, std::move(objects)), m_Name(CopyBlockName(name))
{
}

TSourceBlock2D::TSourceBlock2D(TStream& stream, std::string_view signature) : TContainer2D(stream, signature)
{
    SetSaved(ReadUInt8(stream) != 0);
    m_Library = ReadUInt8(stream) != 0;
    stream.ReadBuffer(m_Name.data(), m_Name.size());
}

TSourceBlock2D::TSourceBlock2D(const TSourceBlock2D& source, TCloneTag tag)
    : TContainer2D(source, tag), m_Name(source.m_Name), m_Library(source.m_Library)
{
}

TSourceBlock2D::~TSourceBlock2D()
{
    // Only reached with references when a list was freed past the document's
    // checks: leave no reference pointing here.
    const std::vector<TBlock2D*> references(m_References.begin(), m_References.end());
    for (TBlock2D* block : references)
        block->Link(nullptr);
}

std::unique_ptr<TGraphicObject> TSourceBlock2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TSourceBlock2D>(stream, signature);
}

std::unique_ptr<TGraphicObject> TSourceBlock2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TSourceBlock2D(*this, TCloneTag{}));
}

void TSourceBlock2D::CheckNotReferenced() const
{
    if (IsReferenced())
        throw ECADSourceBlockIsReferenced(std::string(SourceBlockReferencedMessage));
}

void TSourceBlock2D::SaveToStream(TStream& stream)
{
    TContainer2D::SaveToStream(stream);
    WriteUInt8(stream, Saved() ? 1 : 0);
    WriteUInt8(stream, m_Library ? 1 : 0);
    stream.Write(m_Name.data(), m_Name.size());
}

void TSourceBlock2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    // Read before the container's Assign, which frees source when it is one
    // of this block's own children.
    const auto* other = dynamic_cast<const TSourceBlock2D*>(&source);
    const bool saved = other ? other->Saved() : Saved();
    TContainer2D::Assign(source);
    if (other)
        SetSaved(saved);
}
