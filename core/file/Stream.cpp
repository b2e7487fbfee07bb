#include "core/file/Stream.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>

#include <sys/stat.h>

static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "the file formats store IEEE-754 numbers");

int64_t TStream::Remaining() const
{
    return std::max<int64_t>(0, Size() - Position());
}

void TStream::ReadBuffer(void* buffer, size_t count)
{
    if (count == 0)
        return;
    if (Read(buffer, count) != count)
        throw EStreamReadError();
}

bool TStream::CanHold(int64_t count, int64_t recordSize) const
{
    if (count < 0 || recordSize < 0)
        return false;
    if (recordSize == 0 || count == 0)
        return true;
    return count <= Remaining() / recordSize;
}

TMemoryStream::TMemoryStream(const void* bytes, size_t count)
    : m_Data(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + count)
{
}

size_t TMemoryStream::Read(void* buffer, size_t count)
{
    if (m_Pos >= m_Data.size())
        return 0;
    const size_t n = std::min(count, m_Data.size() - m_Pos);
    std::memcpy(buffer, m_Data.data() + m_Pos, n);
    m_Pos += n;
    return n;
}

void TMemoryStream::Write(const void* buffer, size_t count)
{
    if (count == 0)
        return;
    if (m_Pos + count > m_Data.size())
        m_Data.resize(m_Pos + count);
    std::memcpy(m_Data.data() + m_Pos, buffer, count);
    m_Pos += count;
}

void TMemoryStream::SetPosition(int64_t position)
{
    m_Pos = static_cast<size_t>(std::max<int64_t>(0, position));
}

void TMemoryStream::Clear()
{
    m_Data.clear();
    m_Pos = 0;
}

void TMemoryStream::SetSize(size_t size)
{
    m_Data.resize(size);
    m_Pos = std::min(m_Pos, size);
}

TFileStream::TFileStream(const std::string& fileName, TMode mode) : m_FileName(fileName)
{
    m_File = std::fopen(fileName.c_str(), mode == TMode::Create ? "w+b" : "rb");
    if (!m_File) {
        const std::string why = std::strerror(errno);
        if (mode == TMode::Create)
            throw EStreamWriteError("Cannot create file \"" + fileName + "\": " + why);
        throw std::runtime_error("Cannot open file \"" + fileName + "\": " + why);
    }
    // Readers ask for the size and the position before every counted field
    // (CanHold): for a file read here both are kept, so asking costs no
    // system call and never drops the read buffer as seeking to the end
    // would.
    struct stat info {};
    if (mode == TMode::OpenRead && fstat(fileno(m_File), &info) == 0 && S_ISREG(info.st_mode))
        m_ReadSize = static_cast<int64_t>(info.st_size);
}

TFileStream::~TFileStream()
{
    if (m_File)
        std::fclose(m_File);
}

size_t TFileStream::Read(void* buffer, size_t count)
{
    const size_t read = m_File ? std::fread(buffer, 1, count, m_File) : 0;
    m_ReadPosition += static_cast<int64_t>(read);
    return read;
}

void TFileStream::Write(const void* buffer, size_t count)
{
    if (count == 0)
        return;
    if (!m_File || std::fwrite(buffer, 1, count, m_File) != count)
        throw EStreamWriteError("Cannot write file \"" + m_FileName + "\"");
}

int64_t TFileStream::Position() const
{
    if (m_ReadSize >= 0)
        return m_ReadPosition;
    return m_File ? static_cast<int64_t>(std::ftell(m_File)) : 0;
}

void TFileStream::SetPosition(int64_t position)
{
    if (!m_File)
        return;
    std::fseek(m_File, static_cast<long>(std::max<int64_t>(0, position)), SEEK_SET);
    if (m_ReadSize >= 0)
        m_ReadPosition = static_cast<int64_t>(std::ftell(m_File));
}

int64_t TFileStream::Size() const
{
    if (!m_File)
        return 0;
    if (m_ReadSize >= 0)
        return m_ReadSize;
    const long here = std::ftell(m_File);
    std::fseek(m_File, 0, SEEK_END);
    const long end = std::ftell(m_File);
    std::fseek(m_File, here, SEEK_SET);
    return end;
}

void TFileStream::Close()
{
    if (!m_File)
        return;
    const bool ok = std::fflush(m_File) == 0 && !std::ferror(m_File);
    const bool closed = std::fclose(m_File) == 0;
    m_File = nullptr;
    if (!ok || !closed)
        throw EStreamWriteError("Cannot write file \"" + m_FileName + "\"");
}

namespace {

template <typename U> U ReadLE(TStream& s)
{
    uint8_t b[sizeof(U)];
    s.ReadBuffer(b, sizeof(U));
    U v = 0;
    for (size_t i = 0; i < sizeof(U); ++i)
        v |= static_cast<U>(b[i]) << (8 * i);
    return v;
}

template <typename U> void WriteLE(TStream& s, U v)
{
    uint8_t b[sizeof(U)];
    for (size_t i = 0; i < sizeof(U); ++i)
        b[i] = static_cast<uint8_t>(v >> (8 * i));
    s.Write(b, sizeof(U));
}

} // namespace

uint8_t ReadUInt8(TStream& s) { return ReadLE<uint8_t>(s); }
int8_t ReadInt8(TStream& s) { return static_cast<int8_t>(ReadLE<uint8_t>(s)); }
int16_t ReadInt16(TStream& s) { return static_cast<int16_t>(ReadLE<uint16_t>(s)); }
uint16_t ReadUInt16(TStream& s) { return ReadLE<uint16_t>(s); }
int32_t ReadInt32(TStream& s) { return static_cast<int32_t>(ReadLE<uint32_t>(s)); }
uint32_t ReadUInt32(TStream& s) { return ReadLE<uint32_t>(s); }
int64_t ReadInt64(TStream& s) { return static_cast<int64_t>(ReadLE<uint64_t>(s)); }
float ReadSingle(TStream& s) { return std::bit_cast<float>(ReadLE<uint32_t>(s)); }
double ReadDouble(TStream& s) { return std::bit_cast<double>(ReadLE<uint64_t>(s)); }

std::string ReadStreamEx(TStream& s)
{
    const int32_t length = ReadInt32(s);
    if (length < 1)
        return {};
    return ReadFixedString(s, static_cast<size_t>(length));
}

std::string ReadFixedString(TStream& s, size_t count)
{
    if (!s.CanHold(static_cast<int64_t>(count), 1)) {
        s.SetPosition(s.Size());
        throw EStreamReadError();
    }
    std::string text(count, '\0');
    s.ReadBuffer(text.data(), count);
    return text;
}

std::string ReadSignature(TStream& s)
{
    return ReadFixedString(s, 6);
}

void WriteUInt8(TStream& s, uint8_t v) { WriteLE<uint8_t>(s, v); }
void WriteInt8(TStream& s, int8_t v) { WriteLE<uint8_t>(s, static_cast<uint8_t>(v)); }
void WriteInt16(TStream& s, int16_t v) { WriteLE<uint16_t>(s, static_cast<uint16_t>(v)); }
void WriteUInt16(TStream& s, uint16_t v) { WriteLE<uint16_t>(s, v); }
void WriteInt32(TStream& s, int32_t v) { WriteLE<uint32_t>(s, static_cast<uint32_t>(v)); }
void WriteUInt32(TStream& s, uint32_t v) { WriteLE<uint32_t>(s, v); }
void WriteInt64(TStream& s, int64_t v) { WriteLE<uint64_t>(s, static_cast<uint64_t>(v)); }
void WriteSingle(TStream& s, float v) { WriteLE<uint32_t>(s, std::bit_cast<uint32_t>(v)); }
void WriteDouble(TStream& s, double v) { WriteLE<uint64_t>(s, std::bit_cast<uint64_t>(v)); }

void WriteStreamEx(TStream& s, std::string_view text)
{
    WriteInt32(s, static_cast<int32_t>(text.size()));
    s.Write(text.data(), text.size());
}

void WriteFixedString(TStream& s, std::string_view text, size_t count)
{
    std::string field(text.substr(0, count));
    field.resize(count, '\0');
    s.Write(field.data(), count);
}

int CompareSignature(std::string_view a, std::string_view b)
{
    // char_traits<char> compares as unsigned char, so bytes above 127 sort high.
    return a.compare(b);
}
