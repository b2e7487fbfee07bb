#include "io/dxf/DXFReader.h"

#include "io/dxf/DXFReadAhead.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace {

constexpr size_t ChunkSize = 64 * 1024;
// A code line holds at most this many characters of number.
constexpr size_t MaxCodeLength = 32;

bool IsLineEnd(int c)
{
    return c == '\r' || c == '\n';
}

// value := raw typed by its code.
void SetTypedValue(TDXFValue& value, uint16_t code, std::string_view raw)
{
    switch (DXFCodeKind(code)) {
    case TDXFCodeKind::Text:
        value.SetText(TrimDXF(raw));
        return;
    case TDXFCodeKind::Double:
        if (const auto d = ParseDXFDouble(raw))
            value = *d;
        else
            value = int32_t{0};
        return;
    case TDXFCodeKind::Integer:
        value = ParseDXFInteger(raw).value_or(0);
        return;
    case TDXFCodeKind::Raw:
        break;
    }
    value.SetText(raw);
}

TDXFSection SectionOfName(const TDXFValue& name)
{
    if (name.Is("HEADER"))
        return TDXFSection::Header;
    if (name.Is("TABLES"))
        return TDXFSection::Tables;
    if (name.Is("BLOCKS"))
        return TDXFSection::Blocks;
    if (name.Is("ENTITIES"))
        return TDXFSection::Entities;
    if (name.Is("CLASSES"))
        return TDXFSection::Classes;
    return TDXFSection::None;
}

} // namespace

// --- DXFGroupArray -----------------------------------------------------------

const TDXFValue DXFGroupArray::EmptyValue;

void DXFGroupArray::Store(uint16_t code, const TDXFValue& value)
{
    if (const auto slot = SlotOf(code)) {
        if (m_Slots[*slot].IsEmpty())
            m_Filled.push_back(static_cast<uint16_t>(*slot));
        m_Slots[*slot] = value;
    }
}

void DXFGroupArray::Clear()
{
    for (const uint16_t slot : m_Filled)
        m_Slots[slot] = TDXFValue();
    m_Filled.clear();
}

// --- TDXFRead ----------------------------------------------------------------

TDXFRead::TDXFRead(const std::string& fileName, const TDXFMessageHandler& onMessage) : m_FileName(fileName)
{
    Open(onMessage);
}

std::unique_ptr<TDXFRead> TDXFRead::FromMemory(std::string bytes, const TDXFMessageHandler& onMessage)
{
    std::unique_ptr<TDXFRead> reader(new TDXFRead());
    reader->m_FromMemory = true;
    reader->m_Buffer = std::move(bytes);
    reader->Open(onMessage);
    return reader;
}

TDXFRead::~TDXFRead()
{
    CloseFile();
}

void TDXFRead::Open(const TDXFMessageHandler& onMessage)
{
    try {
        Start();
    } catch (const std::exception& e) {
        m_OpenFailed = true;
        m_OpenError = std::string(" error raised, with message: ") + e.what();
        if (onMessage)
            onMessage(m_OpenError);
    }
}

void TDXFRead::Rewind()
{
    Start();
}

void TDXFRead::Start()
{
    m_Ahead.reset();
    m_Done = 0;
    m_Section = TDXFSection::None;
    m_Code = 0;
    m_Value = TDXFValue();
    m_Eof = false;
    m_EndMarker = false;
    m_Line = 1;
    m_Pos = 0;
    m_ChunkStart = 0;
    m_InputSize = static_cast<int64_t>(m_Buffer.size());
    if (!m_FromMemory) {
        CloseFile();
        m_Buffer.clear();
        m_File = std::fopen(m_FileName.c_str(), "rb");
        if (!m_File)
            throw EDXFReadError("Cannot open file \"" + m_FileName + "\". " + std::strerror(errno));
        std::error_code error;
        const auto size = std::filesystem::file_size(m_FileName, error);
        m_InputSize = error ? 0 : static_cast<int64_t>(size);
    }
    // From here on a reader of its own takes the input over and splits it
    // ahead of this one.
    std::unique_ptr<TDXFRead> lexer(new TDXFRead());
    lexer->m_FileName = m_FileName;
    lexer->m_FromMemory = m_FromMemory;
    lexer->m_InputSize = m_InputSize;
    if (m_FromMemory)
        lexer->m_Buffer = m_Buffer;
    else
        lexer->m_File = std::exchange(m_File, nullptr);
    lexer->SkipByteOrderMark();
    m_Ahead = std::make_unique<TAhead>(std::move(lexer));
    NextPair();
    NextSection();
}

void TDXFRead::SkipByteOrderMark()
{
    // A UTF-8 byte order mark is not part of the first code line.
    if (Peek() == 0xEF && m_Buffer.compare(m_Pos, 3, "\xEF\xBB\xBF") == 0)
        m_Pos += 3;
}

void TDXFRead::CloseFile()
{
    if (m_File) {
        std::fclose(m_File);
        m_File = nullptr;
    }
}

bool TDXFRead::Refill()
{
    if (m_FromMemory || !m_File)
        return false;
    m_ChunkStart += static_cast<int64_t>(m_Buffer.size());
    m_Buffer.resize(ChunkSize);
    const size_t n = std::fread(m_Buffer.data(), 1, ChunkSize, m_File);
    const bool failed = n < ChunkSize && std::ferror(m_File);
    m_Buffer.resize(n);
    m_Pos = 0;
    if (failed)
        throw EDXFReadError("Cannot read file \"" + m_FileName + "\".");
    return n > 0;
}

double TDXFRead::ReadFraction() const
{
    if (m_InputSize <= 0)
        return 0.0;
    const double done = static_cast<double>(m_Ahead ? m_Done : m_ChunkStart + static_cast<int64_t>(m_Pos));
    return std::clamp(done / static_cast<double>(m_InputSize), 0.0, 1.0);
}

int TDXFRead::PeekAfterRefill()
{
    if (!Refill())
        return -1;
    return static_cast<unsigned char>(m_Buffer[m_Pos]);
}

int TDXFRead::Get()
{
    const int c = Peek();
    if (c >= 0)
        ++m_Pos;
    return c;
}

// Called after a CR or LF was taken: a CR LF pair is one line end.
void TDXFRead::SkipLineEnd(int c)
{
    if (c == '\r' && Peek() == '\n')
        ++m_Pos;
    ++m_Line;
}

void TDXFRead::SkipRestOfLine()
{
    for (int c = Get(); c >= 0; c = Get())
        if (IsLineEnd(c)) {
            SkipLineEnd(c);
            return;
        }
}

void TDXFRead::ReadLine(std::string& line)
{
    line.clear();
    // The line's bytes are taken a chunk at a time up to its end.
    while (m_Pos < m_Buffer.size() || Refill()) {
        const char* const begin = m_Buffer.data() + m_Pos;
        const char* const end = m_Buffer.data() + m_Buffer.size();
        const char* p = begin;
        while (p < end && !IsLineEnd(static_cast<unsigned char>(*p)))
            ++p;
        const size_t n = static_cast<size_t>(p - begin);
        if (line.size() + n > MaxDXFLineLength)
            throw EDXFReadError("DXF line " + std::to_string(m_Line) + " is longer than "
                                + std::to_string(MaxDXFLineLength) + " characters.");
        line.append(begin, n);
        m_Pos += n;
        if (p < end) {
            ++m_Pos;
            SkipLineEnd(static_cast<unsigned char>(*p));
            return;
        }
    }
}

bool TDXFRead::TakePlainCodeLine(uint16_t& code)
{
    const char* const begin = m_Buffer.data();
    const char* const end = begin + m_Buffer.size();
    const char* p = begin + m_Pos;
    while (p < end && *p == ' ')
        ++p;
    const char* const digits = p;
    uint32_t number = 0;
    while (p < end && p - digits < 5 && *p >= '0' && *p <= '9')
        number = number * 10 + static_cast<uint32_t>(*p++ - '0');
    if (p == digits || p == end || number > 32767)
        return false;
    if (*p == '\r') {
        // A CR LF pair is one line end; what follows the CR must be in the
        // buffer to know.
        if (p + 1 == end)
            return false;
        if (p[1] == '\n')
            ++p;
    } else if (*p != '\n') {
        return false;
    }
    m_Pos = static_cast<size_t>(p + 1 - begin);
    ++m_Line;
    code = static_cast<uint16_t>(number);
    return true;
}

std::string_view TDXFRead::ReadValueLine()
{
    const char* const begin = m_Buffer.data() + m_Pos;
    const char* const end = m_Buffer.data() + m_Buffer.size();
    const char* p = begin;
    while (p < end && *p != '\n' && *p != '\r')
        ++p;
    // The line end, and the byte after it, must lie in the buffer: the view
    // has to outlive the look at the next byte, which must not refill.
    const char* next = p + 1;
    if (next < end && *p == '\r' && *next == '\n')
        ++next;
    const auto length = static_cast<size_t>(p - begin);
    if (next >= end || length > MaxDXFLineLength) {
        ReadLine(m_RawLine);
        return m_RawLine;
    }
    m_Pos = static_cast<size_t>(next - m_Buffer.data());
    ++m_Line;
    return {begin, length};
}

bool TDXFRead::NextPair()
{
    return m_Ahead ? m_Ahead->Next(*this) : ReadPair(m_Value);
}

bool TDXFRead::ReadPair(TDXFValue& value)
{
    uint16_t code = 0;
    if (!TakePlainCodeLine(code))
        code = ReadCodeLine();
    const std::string_view raw = ReadValueLine();
    m_Code = code;
    if (code == 0 && TrimDXF(raw) == "EOF")
        m_EndMarker = true;
    if (Peek() < 0) {
        m_Eof = true;
        return false;
    }
    SetTypedValue(value, code, raw);
    return true;
}

uint16_t TDXFRead::ReadCodeLine()
{
    // The code: blanks and empty lines before it are passed over, the number
    // ends at the first blank, the rest of its line is ignored.
    int c;
    while ((c = Peek()) >= 0 && c <= ' ') {
        ++m_Pos;
        if (IsLineEnd(c))
            SkipLineEnd(c);
    }
    const int64_t codeLine = m_Line;
    std::string token;
    bool tooLong = false;
    while ((c = Peek()) > ' ') {
        ++m_Pos;
        if (token.size() < MaxCodeLength)
            token += static_cast<char>(c);
        else
            tooLong = true;
    }
    uint16_t code = 0;
    if (!token.empty()) {
        SkipRestOfLine();
        const auto number = tooLong ? std::nullopt : ParseDXFInteger(token);
        // DXF group codes are 16-bit numbers; anything wider would wrap onto
        // another code, so it is refused like any other bad code line.
        if (!number || *number < -32768 || *number > 32767)
            throw EDXFReadError("Invalid DXF group code \"" + token + (tooLong ? "..." : "") + "\" in line "
                                + std::to_string(codeLine) + ".");
        // Negative codes are held as their unsigned 16-bit pattern (-1 is 65535).
        code = static_cast<uint16_t>(*number);
    }
    return code;
}

bool TDXFRead::NextPairInEntity()
{
    return NextPair() && m_Code != 0;
}

void TDXFRead::NextSection()
{
    m_Section = TDXFSection::None;
    if (m_Eof)
        return;
    while (!(m_Code == 0 && m_Value.Is("SECTION")))
        if (!NextPair())
            return;
    if (!NextPair())
        return;
    const TDXFSection kind = SectionOfName(m_Value);
    if (!NextPair())
        return;
    m_Section = kind;
}

int TDXFRead::ReadGroup(uint16_t c, DXFGroupArray& group)
{
    if (m_Eof)
        return 0;
    while (m_Code != c && m_Code != 0)
        if (!NextPair())
            return 0;
    if (m_Code == 0 && c != 0)
        return 0;
    do {
        group.Store(m_Code, m_Value);
        // At the end of the input the code reads 0, which ends the group.
        NextPair();
    } while (m_Code != c && m_Code != 0);
    return c;
}
