#pragma once
// Tool records: the tool of one operation, a milling cutter (TDatiUtFresa),
// a lathe insert (TDatiUtTornio) or a laser setting (TDatiLaser). The base
// declares the fields of all three; each kind uses and stores its own
// subset. A new record has every field zero and an empty name.
//
// Stored forms (little-endian; "string" is int32 length + 8-bit characters):
// - mill, library form (a "*.tlb" record): 124 bytes, the name as a length
//   byte and 50 character bytes;
// - mill, document form: the same fields with the name as a string, then 80
//   reserved bytes;
// - lathe (documents and "*.rlb") and laser (documents and "*.llb"): one
//   form each, see the writers.
// Reserved bytes are written as zeros and ignored when read. A record cut
// short raises ECADFileNotValid ("<class>.LoadFromStream: Invalid stream.");
// the caller discards the record. Names are at most 50 characters: longer
// ones are cut when read, taken from the page or written.

#include <cstdint>
#include <memory>
#include <string>

class TStream;
class TToolPage;

enum class EToolKind { Mill, Lathe, Laser };

// The longest tool name.
inline constexpr size_t kToolNameMax = 50;

// Mill tool types (`ToolType` of a mill record).
enum EMillToolType : int32_t {
    kToolFlat = 0,
    kToolToro = 1,    // bull nose
    kToolSferico = 2, // ball
    kToolConico = 3,  // cone
    kToolPunta = 4,   // drill point
    kToolUndefined = 5,
};

class TDatiUtBase {
public:
    // Frees the record's solid and marker (cam/tools/ToolSolid.h).
    virtual ~TDatiUtBase();

    virtual EToolKind Kind() const = 0;
    virtual std::unique_ptr<TDatiUtBase> Clone() const = 0;

    // documentForm matters for mill records only.
    virtual void SaveToStream(TStream& stream, bool documentForm) const = 0;
    virtual void LoadFromStream(TStream& stream, bool documentForm) = 0;
    // Fills the record's page of the tool window.
    virtual void ToPage(TToolPage& page) const = 0;
    // Reads the record back from its page. A number that does not convert
    // shows message "465" (caption "450", warning) and returns false; the
    // record then keeps all its previous values.
    virtual bool FromPage(const TToolPage& page) = 0;

    int32_t ToolNumber = 0;
    int32_t SpindleSpeed = 0;  // laser: maximum power
    int32_t SpindleChoice = 0; // laser: minimum power
    double Feed = 0;
    double PlungeFeed = 0;     // laser: second feed
    bool Coolant = false;
    float Dwell1 = 0;
    float Dwell2 = 0;
    std::string ToolName;
    int32_t ToolType = 0;
    double Diameter = 0;       // lathe: nose radius; laser: beam diameter
    double CornerRadius = 0;   // lathe: first edge length
    double ToolAngle = 0;      // degrees; lathe: second edge angle
    double TipDiameter = 0;
    float PassZ = 0;
    float ToolLength = 0;
    int32_t LatheFlags = 0;    // bit 0 feed per minute, bit 1 geometry variant
    float EdgeLength2 = 0;
    float EdgeAngle1 = 0;      // degrees
    int32_t GasOn = 0;
    float GasValue = 0;
    float GasDelay = 0;

protected:
    TDatiUtBase() = default;
    TDatiUtBase(const TDatiUtBase&) = default;
    TDatiUtBase& operator=(const TDatiUtBase&) = default;
};

class TDatiUtFresa : public TDatiUtBase {
public:
    TDatiUtFresa() = default;
    EToolKind Kind() const override { return EToolKind::Mill; }
    std::unique_ptr<TDatiUtBase> Clone() const override { return std::make_unique<TDatiUtFresa>(*this); }
    void SaveToStream(TStream& stream, bool documentForm) const override;
    void LoadFromStream(TStream& stream, bool documentForm) override;
    void ToPage(TToolPage& page) const override;
    bool FromPage(const TToolPage& page) override;
};

// Bits of `LatheFlags`.
inline constexpr int32_t kLatheFeedPerMinute = 1;
inline constexpr int32_t kLatheGeometryVariant = 2;

class TDatiUtTornio : public TDatiUtBase {
public:
    TDatiUtTornio() = default;
    EToolKind Kind() const override { return EToolKind::Lathe; }
    std::unique_ptr<TDatiUtBase> Clone() const override { return std::make_unique<TDatiUtTornio>(*this); }
    void SaveToStream(TStream& stream, bool documentForm) const override;
    void LoadFromStream(TStream& stream, bool documentForm) override;
    // Number, speed, spindle, feed, the feed-unit bit and coolant, and the
    // geometry description on the "sbtToolGeo" button.
    void ToPage(TToolPage& page) const override;
    // Reads number, speed, spindle, feed, the feed-unit bit and coolant; the
    // insert geometry is edited elsewhere.
    bool FromPage(const TToolPage& page) override;
    // Copies every stored field of other.
    void Assign(const TDatiUtTornio& other);
    // The text of the "sbtToolGeo" button: texts "3100", "3103" name,
    // "3109" insert type, "3110" nose radius, "3115" variant, CR LF between.
    std::string GeometryDescription() const;
    // The geometry description and its variant picture on "sbtToolGeo".
    void ShowOnButton(TToolPage& page) const;
};

class TDatiLaser : public TDatiUtBase {
public:
    TDatiLaser() = default;
    EToolKind Kind() const override { return EToolKind::Laser; }
    std::unique_ptr<TDatiUtBase> Clone() const override { return std::make_unique<TDatiLaser>(*this); }
    void SaveToStream(TStream& stream, bool documentForm) const override;
    void LoadFromStream(TStream& stream, bool documentForm) override;
    void ToPage(TToolPage& page) const override;
    bool FromPage(const TToolPage& page) override;
};

// The record kind an operation kind takes: lathe kinds 7 and 11 a lathe
// record, laser kinds 8, 9 and 13 a laser record, kind 10 none (null),
// every other kind a mill record.
std::unique_ptr<TDatiUtBase> NewToolRecordForKind(int operationKind);

// The sizes of the stored forms.
inline constexpr int64_t kMillLibraryRecordSize = 124;
