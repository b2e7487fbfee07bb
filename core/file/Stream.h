#pragma once
// Byte streams and the little-endian field readers and writers that every
// binary file of the program uses (documents, block library, undo journal,
// tool libraries, operations). Fields are read and written one by one in
// little-endian order; a struct is never copied as a whole.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Raised by every field reader when the stream ends before the field does.
// A loader that allows the stream to end at a given point catches it there.
class EStreamReadError : public std::runtime_error {
public:
    EStreamReadError() : std::runtime_error("Stream read error") {}
};

// Raised when bytes cannot be written (disk full, file closed).
class EStreamWriteError : public std::runtime_error {
public:
    explicit EStreamWriteError(const std::string& what) : std::runtime_error(what) {}
};

// A seekable byte stream.
class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Writes all count bytes or raises EStreamWriteError.
    virtual void Write(const void* buffer, size_t count) = 0;
    virtual int64_t Position() const = 0;
    virtual void SetPosition(int64_t position) = 0;
    virtual int64_t Size() const = 0;

    int64_t Remaining() const;
    // Reads exactly count bytes or raises EStreamReadError (the position then
    // stands at the end of what could be read).
    void ReadBuffer(void* buffer, size_t count);
    // True when count records of recordSize bytes can still be read: the
    // check every declared count gets before anything is allocated for it.
    bool CanHold(int64_t count, int64_t recordSize) const;
};

// A stream in memory; grows on write.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : m_Data(std::move(bytes)) {}
    TMemoryStream(const void* bytes, size_t count);

    size_t Read(void* buffer, size_t count) override;
    void Write(const void* buffer, size_t count) override;
    int64_t Position() const override { return static_cast<int64_t>(m_Pos); }
    void SetPosition(int64_t position) override;
    int64_t Size() const override { return static_cast<int64_t>(m_Data.size()); }

    void Clear();
    void SetSize(size_t size);
    const std::vector<uint8_t>& Data() const { return m_Data; }

private:
    std::vector<uint8_t> m_Data;
    size_t m_Pos = 0;
};

// A stream on a file. Open failures raise EStreamWriteError for writing
// modes and EStreamReadError's sibling std::runtime_error for reading. A
// regular file opened for reading is measured once, when it is opened.
class TFileStream : public TStream {
public:
    enum class TMode { OpenRead, Create };
    TFileStream(const std::string& fileName, TMode mode);
    ~TFileStream() override;

    size_t Read(void* buffer, size_t count) override;
    void Write(const void* buffer, size_t count) override;
    int64_t Position() const override;
    void SetPosition(int64_t position) override;
    int64_t Size() const override;
    // Flushes and closes; raises EStreamWriteError when the data could not
    // all be written. The destructor closes silently.
    void Close();

private:
    std::FILE* m_File = nullptr;
    std::string m_FileName;
    // A regular file opened for reading: its size when opened, and the
    // position as read and set here; -1 for other files.
    int64_t m_ReadSize = -1;
    int64_t m_ReadPosition = 0;
};

// Little-endian field readers. Each raises EStreamReadError at the end.
uint8_t ReadUInt8(TStream& s);
int8_t ReadInt8(TStream& s);
int16_t ReadInt16(TStream& s);
uint16_t ReadUInt16(TStream& s);
int32_t ReadInt32(TStream& s);
uint32_t ReadUInt32(TStream& s);
int64_t ReadInt64(TStream& s);
float ReadSingle(TStream& s);
double ReadDouble(TStream& s);
// A TStreamEx string: int32 length then that many 8-bit characters; a length
// below 1 reads as the empty string. A length beyond the stream's end raises
// before anything is allocated.
std::string ReadStreamEx(TStream& s);
// Reads exactly count bytes as a string (fixed-size fields, signatures).
std::string ReadFixedString(TStream& s, size_t count);
// The 6-character version signature of a document or library.
std::string ReadSignature(TStream& s);

void WriteUInt8(TStream& s, uint8_t v);
void WriteInt8(TStream& s, int8_t v);
void WriteInt16(TStream& s, int16_t v);
void WriteUInt16(TStream& s, uint16_t v);
void WriteInt32(TStream& s, int32_t v);
void WriteUInt32(TStream& s, uint32_t v);
void WriteInt64(TStream& s, int64_t v);
void WriteSingle(TStream& s, float v);
void WriteDouble(TStream& s, double v);
void WriteStreamEx(TStream& s, std::string_view text);
// Writes the text cut or padded with NUL bytes to exactly count bytes.
void WriteFixedString(TStream& s, std::string_view text, size_t count);

// Version signatures are compared as plain byte strings: "CAD422" < "QV-002"
// < "QV-3.2" < "QV-3.6"; a shorter literal that is a prefix sorts lower
// ("CAD4" < "CAD4  "). Returns <0, 0 or >0.
int CompareSignature(std::string_view a, std::string_view b);
inline bool SignatureLess(std::string_view a, std::string_view b) { return CompareSignature(a, b) < 0; }
inline bool SignatureGreater(std::string_view a, std::string_view b) { return CompareSignature(a, b) > 0; }
