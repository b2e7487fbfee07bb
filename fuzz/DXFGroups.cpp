#include "fuzz/FuzzEntries.h"

#include "io/dxf/ACIColors.h"
#include "io/dxf/DXFReader.h"
#include "io/dxf/DXFWriter.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Walks the text as the importer does: header variables, then every group of
// every other section.
void WalkSections(TDXFRead& reader)
{
    DXFGroupArray group;
    while (reader.Section() != TDXFSection::None) {
        if (reader.Section() == TDXFSection::Header)
            while (reader.ReadGroup(9, group) != 0) {
            }
        else
            while (!reader.Eof() && !reader.Value().Is("ENDSEC")) {
                reader.ReadGroup(0, group);
                ACIColor(std::abs(static_cast<int64_t>(group[62].AsInteger())));
            }
        reader.NextSection();
    }
}

// Writes the pairs and reads them back: codes survive, texts come back cut
// and trimmed, numbers within the written precision, other codes empty.
void CheckRoundTrip(const std::vector<std::pair<uint16_t, TDXFValue>>& pairs)
{
    if (pairs.empty())
        return;
    TDXFWrite writer;
    writer.BeginSection(TDXFSection::Header);
    for (const auto& [code, value] : pairs)
        writer.WritePair(static_cast<int16_t>(code), value);
    writer.WritePair(0, "EOF");

    const auto again = TDXFRead::FromMemory(writer.Text());
    Check(!again->OpenFailed() && again->Section() == TDXFSection::Header);
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (i > 0)
            Check(again->NextPair());
        const auto& [code, value] = pairs[i];
        const TDXFValue& read = again->Value();
        Check(again->Code() == code);
        switch (DXFCodeKind(code)) {
        case TDXFCodeKind::Text:
            Check(read.Is(TrimDXF(value.AsString().substr(0, 255))));
            break;
        case TDXFCodeKind::Double: {
            const double d = value.AsDouble();
            Check(read.IsDouble() && std::fabs(read.AsDouble() - d) <= 5e-7 + std::fabs(d) * 1e-15);
            break;
        }
        case TDXFCodeKind::Integer:
            Check(read.IsInteger() && read.AsInteger() == value.AsInteger());
            break;
        case TDXFCodeKind::Raw:
            Check(read.Is(""));
            break;
        }
    }
}

} // namespace

int KbFuzzDXFGroups(const uint8_t* data, size_t size)
{
    const auto reader = TDXFRead::FromMemory(std::string(reinterpret_cast<const char*>(data), size));
    if (reader->OpenFailed())
        return 0;
    try {
        WalkSections(*reader);
    } catch (const EDXFReadError&) {
    }

    std::vector<std::pair<uint16_t, TDXFValue>> pairs;
    try {
        reader->Rewind();
        if (!reader->Eof())
            pairs.emplace_back(reader->Code(), reader->Value());
        while (reader->NextPair())
            pairs.emplace_back(reader->Code(), reader->Value());
    } catch (const EDXFReadError&) {
    }
    CheckRoundTrip(pairs);
    return 0;
}
