#pragma once
// TSourceBlock2D: a named container kept in the document's source-block list,
// the definition that block references (core/Block2D.h) show; and the
// 13-byte block name field.
//
// Promises:
// - Reference count: every block reference linked to the source block counts
//   once, for as long as it is linked. The source block knows its linked
//   references, so the count cannot drift.
// - Deleting a referenced source block is refused by every deleting path of
//   the document (ECADSourceBlockIsReferenced, text of
//   SourceBlockReferencedMessage). A destructor cannot refuse: should a
//   referenced source block be freed all the same (a list freed by other
//   means), its references are unlinked first and then draw nothing and
//   pick nothing; no reference is ever left pointing at a freed block.
// - Stored record: the TContainer2D record, then uint8 saved flag (it
//   overrides the one of the head), uint8 library flag, 13-byte name.
//   The count is 0 after reading: references count when they are linked.

#include "core/entities/Container2D.h"

#include <array>
#include <string>
#include <unordered_set>

class TBlock2D;

// The stream class id of TSourceBlock2D.
inline constexpr uint16_t SourceBlockClassId = 1;

// A block name as stored and compared: 13 bytes, zero-padded, no terminator
// when all 13 are used.
using TBlockName = std::array<char, 13>;

// The first 13 characters of text, padded with zero bytes.
TBlockName CopyBlockName(std::string_view text);
// The name up to its first zero byte.
std::string BlockNameText(const TBlockName& name);

// The text every refused deletion of a referenced source block carries.
inline constexpr std::string_view SourceBlockReferencedMessage =
    "TSourceBlock2D.Destroy: This source block is referenced and cannot be deleted";

class TSourceBlock2D : public TContainer2D {
public:
    static constexpr std::string_view kClassName = "TSourceBlock2D";

    // The non-null objects become the children; the name is cut to 13
    // characters; library flag clear, count 0.
    TSourceBlock2D(int32_t id, std::vector<std::unique_ptr<TObject2D>> objects, std::string_view name);
    TSourceBlock2D(TStream& stream, std::string_view signature);
    // Unlinks any reference still linked (see the header comment).
    ~TSourceBlock2D() override;

    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);

    std::string_view ClassName() const override { return kClassName; }

    const TBlockName& Name() const { return m_Name; }
    void SetName(std::string_view name) { m_Name = CopyBlockName(name); }
    // Set for blocks of the block library.
    bool Library() const { return m_Library; }
    void SetLibrary(bool library) { m_Library = library; }

    // The number of block references linked to this block.
    int32_t ReferenceCount() const { return static_cast<int32_t>(m_References.size()); }
    bool IsReferenced() const { return !m_References.empty(); }
    // Raises ECADSourceBlockIsReferenced with SourceBlockReferencedMessage
    // while referenced: the test every deleting path makes first.
    void CheckNotReferenced() const;

    void SaveToStream(TStream& stream) override;
    // The container's Assign; the saved flag comes along from a source block.
    // Name, library flag and references stay.
    void Assign(const TGraphicObject& source) override;

protected:
    // The children cloned, name and library flag copied; the copy has no
    // references.
    TSourceBlock2D(const TSourceBlock2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

private:
    friend class TBlock2D;

    // Kept by TBlock2D as it links and unlinks.
    void AddReference(TBlock2D& block) { m_References.insert(&block); }
    void ReleaseReference(TBlock2D& block) { m_References.erase(&block); }

    TBlockName m_Name{};
    bool m_Library = false;
    std::unordered_set<TBlock2D*> m_References;
};
