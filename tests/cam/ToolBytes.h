#pragma once
// Tool records, holding-tab lists and operation parameters as bytes, laid
// out field by field from the record tables, independently of the code under
// test.

#include "tests/support/TestSupport.h"

#include <string>
#include <vector>

namespace kbtest {

// Mill, library form: 124 bytes. rawNameLength lets a test store a length
// byte that does not match the name (damaged files).
inline TBytes MillLibraryBytes(int32_t number, const std::string& name, double diameter, int32_t type = 3,
                               int rawNameLength = -1)
{
    TBytes b;
    b.I32(number).I32(18000).I32(1).F64(1200.5).F64(300.25).U8(1);
    b.U8(static_cast<uint8_t>(rawNameLength < 0 ? name.size() : rawNameLength));
    std::string chars = name;
    chars.resize(50, '\0');
    b.Str(chars);
    b.I32(type).F64(diameter).F64(0.5).F64(60).F64(0.2).F32(1.5f).F32(42.25f);
    return b;
}

// Mill, document form: the name as a string, then 80 reserved bytes.
inline TBytes MillDocumentBytes(const std::string& name, uint8_t reservedFill = 0)
{
    TBytes b;
    b.I32(7).I32(12000).I32(2).F64(800).F64(200).U8(0).StreamEx(name);
    b.I32(1).F64(6).F64(1).F64(0).F64(0).F32(2.5f).F32(30);
    for (int i = 0; i < 80; ++i)
        b.U8(reservedFill);
    return b;
}

inline TBytes LatheBytes(int32_t number, const std::string& name, double noseRadius)
{
    TBytes b;
    b.I32(number).I32(1500).I32(3).F64(0.15).I32(3).U8(1).StreamEx(name);
    b.I32(1).F64(noseRadius).F32(12.5f).F32(8.25f).F32(35).F32(95);
    for (int i = 0; i < 80; ++i)
        b.U8(0);
    return b;
}

inline TBytes LaserBytes(const std::string& name, double diameter)
{
    TBytes b;
    b.F64(1500).F32(0.25f).F32(0.5f).StreamEx(name).F64(diameter).I32(1000).I32(50).F64(700);
    b.I32(1).F32(80).F32(0.75f);
    for (int i = 0; i < 52; ++i)
        b.U8(0);
    return b;
}

inline void Append(TBytes& b, const TBytes& more)
{
    b.Str(std::string(more.Data().begin(), more.Data().end()));
}

// Tab i of a fixture: pick (i, i + 0.5), chain point (i + 0.25, i - 0.75),
// distance 0.125 i, chain id 100 + i, segment i.
inline void AppendTab(TBytes& b, int i)
{
    b.F64(i).F64(i + 0.5).F64(i + 0.25).F64(i - 0.75).F64(0.125 * i).I32(100 + i).I32(i);
}

// A tab list of n fixture tabs: width 2.5, then (kindFields, the layout of
// "QV-002" and later) thickness 0.75, full 1, reserved 7.
inline TBytes TabListBytes(int32_t n, bool kindFields = true)
{
    TBytes b;
    b.I32(n);
    if (n <= 0)
        return b;
    b.F64(2.5);
    if (kindFields)
        b.F64(0.75).U8(1).U8(7);
    for (int i = 0; i < n; ++i)
        AppendTab(b, i);
    return b;
}

// The object part of a label record: ID -1, layer 0, flags 3, identity
// 4x4 transform.
inline TBytes LabelHeadBytes()
{
    TBytes b;
    b.I32(-1).U8(0).U8(0x03);
    for (double e : {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})
        b.F64(e);
    return b;
}

// The label record of a letters operation: labels "AB" and "C", font
// index 1.
inline TBytes LabelBytes()
{
    TBytes b = LabelHeadBytes();
    b.I32(2);
    b.StreamEx("AB").F32(1.5f).F32(2.5f).F32(6.0f).F32(0.5f);
    b.StreamEx("C").F32(-3.0f).F32(4.0f).F32(8.0f).F32(1.0f);
    b.I32(1);
    return b;
}

// The same label record without labels: what a letters operation without a
// label object writes.
inline TBytes EmptyLabelBytes()
{
    TBytes b = LabelHeadBytes();
    b.I32(0).I32(0);
    return b;
}

// One operation parameters record in the layout of a document version
// (signatures compare as plain strings). Every field gets a value of its
// own, listed at the writer of each item; the tool is MillDocumentBytes("T1")
// unless given.
struct TParamsBytesSpec {
    std::string Version = "QV-3.6";
    int Kind = 1;
    uint16_t Flags = 0x0101; // KeepToolDown, RetractOn
    int32_t Tabs = 2;
    float RetractZ = 7.5f;
    uint8_t XformOn = 1;
    TBytes Tool = MillDocumentBytes("T1");
    TBytes Label = LabelBytes(); // kind 12 only
};

inline TBytes ParamsBytes(const TParamsBytesSpec& s)
{
    const bool fromQV001 = s.Version >= "QV-001";
    TBytes b;
    Append(b, s.Tool);
    b.I32(-1).F64(0.3).U8(1); // CompSide, CompOffset, LayerPriority
    if (fromQV001) {
        // LeadInKind, LeadInLength, LeadOutKind, LeadOutLength, LeadAtMidSegment, MakeTabs
        b.I32(2).F64(4.5).I32(1).F64(3.25).U8(1).U8(1);
        if (s.Version < "QV-003")
            b.U8(0xAA).U8(0xBB).F64(99.0); // obsolete
        Append(b, TabListBytes(s.Tabs, s.Version >= "QV-002"));
    }
    // ZRapid, ZTop, ZDepth, ZStep, StockXY, RoughCount, RoughSize, FinishCount,
    // FinishSize, PassCount, PassDepth, HasRemainder, RemainderDepth
    b.F64(25).F64(1).F64(-10).F64(3).F64(0.2).I32(2).F64(1.25).I32(1).F64(0.1).I32(3).F64(3).I32(1).F64(1);
    // DepthOrder, OffsetMethod, StepOverPercent, SpiralInOut, Angle, PocketType, CycleType
    b.U8(1).U8(2).F64(40).U8(1).F64(45).I32(1).I32(2);
    b.U8(1); // ArcMask
    for (int i = 0; i < 7; ++i)
        b.U8(0);
    b.F64(6.5).F64(0.05);      // ArcMaskDiameter, ArcMaskTolerance
    b.I16(2).I32(1);           // CutRules, PocketEntry
    b.I16(static_cast<int16_t>(s.Flags));
    b.F64(3).F64(4).F64(-12).F64(0.25); // MarginX, MarginY, ZBottom, Resolution
    b.F32(40.125f).F32(-2.5f); // LatheHome X, Z
    if (s.Kind == 12)
        Append(b, s.Label);
    b.F32(s.RetractZ);
    for (int i = 0; i < 28; ++i)
        b.U8(0);
    if (s.Version > "QV-003") {
        b.U8(s.XformOn);
        if (s.XformOn)
            b.I32(3).I32(2).F64(12.5).F64(8);
    }
    return b;
}

inline std::vector<uint8_t> Concat(const std::vector<TBytes>& parts)
{
    std::vector<uint8_t> all;
    for (const TBytes& p : parts)
        all.insert(all.end(), p.Data().begin(), p.Data().end());
    return all;
}

} // namespace kbtest
