#pragma once
// The line level of ASCII DXF reading: a DXF file is a sequence of pairs, a
// line with an integer group code, then a line with the value. TDXFRead walks
// the pairs of a file or of a memory buffer, types each value by its group
// code (DXFCodeKind), finds sections and collects the pairs of one entity or
// one header variable into a DXFGroupArray.
//
// Damaged input never hangs the reader and never makes it read or store out
// of bounds: every walk stops at the end of the input, a line longer than
// MaxDXFLineLength and a code line that is not a 16-bit integer raise
// EDXFReadError. CR LF, LF and lone CR line ends read alike.
//
// The pairs are split and typed ahead on a thread of the reader's own, a
// bounded number of them before the caller asks; each is handed over in
// order with exactly what reading it in place would have given (its value,
// the line reached, the end-of-input state, or the error it raised). A
// reader is used by one thread at a time, as before.

#include "io/dxf/DXFValue.h"

#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// An input error of the DXF text (or of the file under it).
class EDXFReadError : public std::runtime_error {
public:
    explicit EDXFReadError(const std::string& message) : std::runtime_error(message) {}
};

// The longest line the reader takes (without its line end). DXF texts are at
// most a few thousand characters; anything far longer is damage.
inline constexpr size_t MaxDXFLineLength = 65536;

// The values of one group by group code. Codes 0..255 use slots 0..255 and
// codes 1000..1256 slots 256..512; every other code is dropped. A slot that
// no pair filled is empty (reads as 0 or ""). The array is only ever
// overwritten, never cleared, by TDXFRead::ReadGroup.
class DXFGroupArray {
public:
    static constexpr size_t SlotCount = 513;
    // The slot of a code, or nothing for a code that has none.
    static std::optional<size_t> SlotOf(uint16_t code)
    {
        if (code <= 255)
            return code;
        if (code >= 1000 && code <= 1256)
            return code - 744u;
        return std::nullopt;
    }

    // The value stored for a code; the empty value for an unfilled slot or a
    // code without slot.
    const TDXFValue& operator[](uint16_t code) const
    {
        const auto slot = SlotOf(code);
        return slot ? m_Slots[*slot] : EmptyValue;
    }
    bool Has(uint16_t code) const { return !(*this)[code].IsEmpty(); }
    // Stores the value in the code's slot; a code without slot is dropped.
    void Store(uint16_t code, const TDXFValue& value);
    void Clear();

private:
    static const TDXFValue EmptyValue;
    std::array<TDXFValue, SlotCount> m_Slots;
    // The slots stored since the last Clear, so that clearing an array
    // reused group after group costs what the groups filled.
    std::vector<uint16_t> m_Filled;
};

// Receives the text of the message the reader shows when it cannot open its
// input (the caller turns it into a message box).
using TDXFMessageHandler = std::function<void(const std::string&)>;

class TDXFRead {
public:
    // Opens the file, reads the first pair and moves to the first section.
    // Never raises: when the file cannot be opened or its start cannot be
    // read, the message " error raised, with message: " plus the reason goes
    // to onMessage and to OpenError(), and OpenFailed() is set.
    explicit TDXFRead(const std::string& fileName, const TDXFMessageHandler& onMessage = {});
    // The same on the bytes of a DXF text held in memory.
    static std::unique_ptr<TDXFRead> FromMemory(std::string bytes, const TDXFMessageHandler& onMessage = {});
    ~TDXFRead();
    TDXFRead(const TDXFRead&) = delete;
    TDXFRead& operator=(const TDXFRead&) = delete;

    // Back to the start of the input: reopens the file, reads the first pair
    // and moves to the first section. Raises EDXFReadError when the file
    // cannot be opened again or its start cannot be read.
    void Rewind();

    // Reads the next pair into Code() and Value(). True when a pair was read
    // and the input does not end right after it. At the end of the input
    // Code() is the code just read (0 when none was left) and Value() keeps
    // its previous contents, so the last pair of a file ("0" "EOF") is never
    // delivered as a success. Raises EDXFReadError for a code line that is
    // not a decimal integer in -32768..32767 and for an over-long line.
    bool NextPair();
    // NextPair, and True only when the new code is not 0 either.
    bool NextPairInEntity();
    // Walks (from the current pair on) to the next pair 0 "SECTION", reads
    // the section name and stands on the first pair inside the section.
    // Section() is None when the input ends first or the name is unknown.
    void NextSection();
    // Walks to the next pair of code c or 0 and collects the group that
    // starts there: its pair and every following pair up to the next code c
    // or 0, on which the reader then stands; a repeated code keeps the last
    // value. Returns c when a group was collected, 0 when none was (the walk
    // met code 0 while c is not 0, or the input had already ended). With
    // c = 0 the result is 0 either way; Eof() tells an absent group.
    int ReadGroup(uint16_t c, DXFGroupArray& group);

    TDXFSection Section() const { return m_Section; }
    uint16_t Code() const { return m_Code; }
    const TDXFValue& Value() const { return m_Value; }
    bool OpenFailed() const { return m_OpenFailed; }
    const std::string& OpenError() const { return m_OpenError; }
    // True once a read met the end of the input; every further read then
    // gives code 0 and False.
    bool Eof() const { return m_Eof; }
    // True once the pair 0 "EOF" that ends a whole DXF file was read, also
    // when it was the last pair of the input (and so not delivered).
    bool EndMarkerRead() const { return m_EndMarker; }
    // The 1-based line the reader has reached (for messages).
    int64_t LineNumber() const { return m_Line; }
    // How far the reader has come through its input since the last start,
    // from 0 to 1 (for a progress bar).
    double ReadFraction() const;

private:
    // Reads the pairs ahead (io/dxf/DXFReadAhead.h).
    class TAhead;

    TDXFRead() = default;
    // The pair at the reader's own position into Code() and value, as
    // NextPair promises for Value().
    bool ReadPair(TDXFValue& value);
    // Passes over a UTF-8 byte order mark at the start of the input.
    void SkipByteOrderMark();
    void Open(const TDXFMessageHandler& onMessage);
    void Start();
    void CloseFile();

    // The next byte, or -1 at the end of the input.
    int Peek()
    {
        return m_Pos < m_Buffer.size() ? static_cast<unsigned char>(m_Buffer[m_Pos]) : PeekAfterRefill();
    }
    int PeekAfterRefill();
    // The code line at the reader's position when it lies whole in the
    // buffer in the form files write (blanks, at most five digits, the line
    // end): taken into code, true. False, with nothing taken, for any other
    // line; the general reading then decides.
    bool TakePlainCodeLine(uint16_t& code);
    // The code line at the reader's position, read by the general rule (see
    // NextPair); 0 when the input ends before any code.
    uint16_t ReadCodeLine();
    int Get();
    bool Refill();
    void SkipLineEnd(int c);
    void SkipRestOfLine();
    // The rest of the current line, without its line end, into line.
    void ReadLine(std::string& line);
    // The same as a view: into the buffer when the line, its end and the
    // byte after it lie there, else into m_RawLine (read by ReadLine). Valid
    // until the next read.
    std::string_view ReadValueLine();

    std::string m_FileName;
    bool m_FromMemory = false;
    std::FILE* m_File = nullptr;
    std::string m_Buffer; // the whole text in memory, or the current chunk of the file
    size_t m_Pos = 0;
    int64_t m_ChunkStart = 0; // the file offset of m_Buffer's first byte
    int64_t m_InputSize = 0;  // the file's size at the start, or the text's

    TDXFSection m_Section = TDXFSection::None;
    uint16_t m_Code = 0;
    TDXFValue m_Value;
    std::string m_RawLine; // a value line read across chunks, kept for its capacity
    bool m_OpenFailed = false;
    std::string m_OpenError;
    bool m_Eof = false;
    bool m_EndMarker = false;
    int64_t m_Line = 1;
    // While set, the input belongs to it and the pairs come from it.
    std::unique_ptr<TAhead> m_Ahead;
    // How many bytes of the input the pairs taken from m_Ahead span.
    int64_t m_Done = 0;
};
