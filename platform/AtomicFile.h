#pragma once
// A file written piece by piece that replaces the old one only when it is
// complete: the streaming form of WriteFileAtomically (platform/IniFile.h),
// under the same rules. The bytes go to a temporary file of a unique name
// beside the file (the end of its chain of symbolic links), created
// exclusively with the old file's permission bits; Commit flushes it to
// disk, renames it over the file and syncs the folder. A file whose mode
// bits grant no write is refused. Until Commit succeeds the old file stays
// as it was, and a writer destroyed without Commit leaves no temporary file
// behind. The first failure is kept; bytes after it are dropped.

#include <cstddef>
#include <string>
#include <string_view>

class TAtomicFileWriter {
public:
    // Creates the temporary file; Error() tells when that failed.
    explicit TAtomicFileWriter(const std::string& fileName);
    ~TAtomicFileWriter();
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    // Appends bytes; they reach the temporary file in blocks.
    void Write(std::string_view bytes)
    {
        if (m_Fd >= 0 && m_Buffer.size() + bytes.size() <= kBlockSize)
            m_Buffer += bytes;
        else
            WriteBlock(bytes);
    }
    // The first failure, with the file's name and the reason; empty while
    // all is well.
    const std::string& Error() const { return m_Error; }
    // Puts the file in place of the old one; the failure, or empty. Once
    // only: the writer is done afterwards either way.
    std::string Commit();

private:
    static constexpr size_t kBlockSize = size_t{1} << 16;

    void WriteBlock(std::string_view bytes);
    bool Flush();
    void Fail(const std::string& what);
    void Discard();

    std::string m_FileName; // as the caller named it, for messages
    std::string m_Target;   // the file replaced
    std::string m_TempName;
    int m_Fd = -1;
    std::string m_Buffer;
    std::string m_Error;
};
