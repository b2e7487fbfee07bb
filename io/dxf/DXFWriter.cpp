#include "io/dxf/DXFWriter.h"

#include "core/file/Stream.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>

namespace {

constexpr const char* LineEnd = "\r\n";
constexpr size_t MaxTextLength = 255;

// printf's "%<width>d".
std::string PadInteger(int64_t value, size_t width)
{
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, r.ptr);
    if (text.size() < width)
        text.insert(0, width - text.size(), ' ');
    return text;
}

std::string ValueLine(uint16_t code, const TDXFValue& value)
{
    switch (DXFCodeKind(code)) {
    case TDXFCodeKind::Text: {
        std::string text = value.AsString().substr(0, MaxTextLength);
        for (char& c : text)
            if (c == '\r' || c == '\n')
                c = ' ';
        return text;
    }
    case TDXFCodeKind::Double: {
        // "%.6f": at most 309 integer digits, a sign, a point and 6 decimals.
        char buffer[400];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, value.AsDouble(), std::chars_format::fixed, 6);
        return std::string(buffer, r.ptr);
    }
    case TDXFCodeKind::Integer:
        return PadInteger(value.AsInteger(), 6);
    case TDXFCodeKind::Raw:
        break;
    }
    return {};
}

const char* SectionName(TDXFSection kind)
{
    switch (kind) {
    case TDXFSection::Header:
        return "HEADER";
    case TDXFSection::Tables:
        return "TABLES";
    case TDXFSection::Blocks:
        return "BLOCKS";
    case TDXFSection::Entities:
        return "ENTITIES";
    default:
        return nullptr;
    }
}

} // namespace

TDXFWrite::TDXFWrite(const std::string& fileName) : m_FileName(fileName)
{
    Restart();
}

TDXFWrite::TDXFWrite() : m_ToMemory(true) {}

TDXFWrite::~TDXFWrite()
{
    if (m_File)
        std::fclose(m_File);
}

void TDXFWrite::Restart()
{
    m_Text.clear();
    if (m_ToMemory)
        return;
    if (m_File)
        std::fclose(m_File);
    m_File = std::fopen(m_FileName.c_str(), "wb");
    if (!m_File)
        throw EStreamWriteError("Cannot create file \"" + m_FileName + "\". " + std::strerror(errno));
}

void TDXFWrite::Emit(const std::string& lines)
{
    if (m_ToMemory) {
        m_Text += lines;
        return;
    }
    if (!m_File)
        throw EStreamWriteError("Cannot write \"" + m_FileName + "\": the file is closed.");
    if (std::fwrite(lines.data(), 1, lines.size(), m_File) != lines.size())
        throw EStreamWriteError("Cannot write \"" + m_FileName + "\". " + std::strerror(errno));
}

void TDXFWrite::WritePair(int code, const TDXFValue& value)
{
    if (code < -32768 || code > 32767)
        throw std::out_of_range("TDXFWrite.WritePair: group code " + std::to_string(code) + " out of range");
    Emit(PadInteger(code, 3) + LineEnd + ValueLine(static_cast<uint16_t>(code), value) + LineEnd);
}

void TDXFWrite::BeginSection(TDXFSection kind)
{
    const char* name = SectionName(kind);
    if (!name)
        throw std::invalid_argument("TDXFWrite.BeginSection: no such section");
    WritePair(0, "SECTION");
    WritePair(2, name);
}

void TDXFWrite::EndSection()
{
    WritePair(0, "ENDSEC");
}

void TDXFWrite::Close()
{
    if (!m_File)
        return;
    const bool flushed = std::fflush(m_File) == 0;
    const int flushErrno = errno;
    const bool closed = std::fclose(m_File) == 0;
    m_File = nullptr;
    if (!flushed || !closed)
        throw EStreamWriteError("Cannot write \"" + m_FileName + "\". " + std::strerror(flushed ? errno : flushErrno));
}
