#pragma once
// Small helpers shared by the test binaries.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kbtest {

// A fresh empty folder below the system temp folder, removed when the
// object goes away.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::filesystem::path& Path() const { return m_Path; }
    std::string File(const std::string& name) const { return (m_Path / name).string(); }

private:
    std::filesystem::path m_Path;
};

std::vector<uint8_t> ReadFileBytes(const std::string& fileName);
void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes);
std::string ReadFileText(const std::string& fileName);
void WriteFileText(const std::string& fileName, const std::string& text);

// A disk that fills up: while alive, no file of the process grows past
// bytes (writes beyond fail with EFBIG; the signal that would end the
// process is ignored meanwhile).
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(uint64_t bytes);
    ~TFileSizeLimit();
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    uint64_t m_SoftLimit;
    void (*m_Handler)(int);
};

// Little-endian byte builder for hand-made fixtures: writes each field the
// way the file layouts describe them, independently of the code under test.
class TBytes {
public:
    TBytes& U8(uint8_t v);
    TBytes& I16(int16_t v);
    TBytes& I32(int32_t v);
    TBytes& U32(uint32_t v);
    TBytes& F32(float v);
    TBytes& F64(double v);
    TBytes& Str(const std::string& raw); // the bytes, no length
    TBytes& StreamEx(const std::string& text); // int32 length + bytes
    const std::vector<uint8_t>& Data() const { return m_Data; }
    size_t Size() const { return m_Data.size(); }

private:
    std::vector<uint8_t> m_Data;
};

// Runs a fuzz entry over every file of a corpus folder; returns the count.
size_t ReplayCorpus(const std::string& folder, int (*entry)(const uint8_t*, size_t));

} // namespace kbtest
