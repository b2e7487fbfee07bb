#pragma once
// Tool records as bytes, laid out field by field from the record tables,
// independently of the code under test.

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

inline std::vector<uint8_t> Concat(const std::vector<TBytes>& parts)
{
    std::vector<uint8_t> all;
    for (const TBytes& p : parts)
        all.insert(all.end(), p.Data().begin(), p.Data().end());
    return all;
}

} // namespace kbtest
