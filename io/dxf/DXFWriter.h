#pragma once
// Writes ASCII DXF pairs in one fixed layout: the code right-aligned in three
// columns ("%3d"), then the value in the form its code's kind asks for
// (DXFCodeKind): texts cut to 255 characters, doubles "%.6f" with a point,
// integers "%6d", and an empty value line for every other code. Numbers are
// formatted without the process locale. Lines end in CR LF, the line end of
// DXF files as other programs write them.

#include "io/dxf/DXFValue.h"

#include <cstdio>
#include <string>

class TDXFWrite {
public:
    // Creates or truncates the file. Raises EStreamWriteError when it cannot.
    explicit TDXFWrite(const std::string& fileName);
    // Writes into memory; Text() holds what was written.
    TDXFWrite();
    // Closes the file silently; call Close() to learn of a failed write.
    ~TDXFWrite();
    TDXFWrite(const TDXFWrite&) = delete;
    TDXFWrite& operator=(const TDXFWrite&) = delete;

    // Empties the file (or the memory text) and writes from its start again.
    void Restart();
    // Writes one pair. The code must be a 16-bit DXF group code
    // (-32768..32767; std::out_of_range otherwise). A text value loses line
    // ends (each CR or LF becomes a blank), so it can never split the pair.
    // Raises EStreamWriteError when the file cannot be written.
    void WritePair(int code, const TDXFValue& value);
    // Writes 0 "SECTION" and 2 with the section's name; only Header, Tables,
    // Blocks and Entities are written (std::invalid_argument otherwise).
    void BeginSection(TDXFSection kind);
    // Writes 0 "ENDSEC".
    void EndSection();
    // Flushes and closes the file; raises EStreamWriteError when the data
    // could not all be written. Later writes to the file raise too. Nothing
    // to do for a writer into memory.
    void Close();

    const std::string& Text() const { return m_Text; }

private:
    void Emit(const std::string& lines);

    bool m_ToMemory = false;
    std::string m_FileName;
    std::FILE* m_File = nullptr;
    std::string m_Text;
};
