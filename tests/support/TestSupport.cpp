#include "tests/support/TestSupport.h"

#include <csignal>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <sys/resource.h>

namespace kbtest {

TTempDir::TTempDir()
{
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto p = std::filesystem::temp_directory_path() / ("kbtest-" + std::to_string(rd()));
        if (std::filesystem::create_directory(p)) {
            m_Path = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TTempDir::~TTempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_Path, ec);
}

std::vector<uint8_t> ReadFileBytes(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(fileName, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileText(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFileText(const std::string& fileName, const std::string& text)
{
    std::ofstream out(fileName, std::ios::binary);
    out << text;
}

namespace {
template <typename U> void Put(std::vector<uint8_t>& d, U v)
{
    for (size_t i = 0; i < sizeof(U); ++i)
        d.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
} // namespace

TBytes& TBytes::U8(uint8_t v) { m_Data.push_back(v); return *this; }
TBytes& TBytes::I16(int16_t v) { Put<uint16_t>(m_Data, static_cast<uint16_t>(v)); return *this; }
TBytes& TBytes::I32(int32_t v) { Put<uint32_t>(m_Data, static_cast<uint32_t>(v)); return *this; }
TBytes& TBytes::U32(uint32_t v) { Put<uint32_t>(m_Data, v); return *this; }
TBytes& TBytes::F32(float v)
{
    uint32_t u;
    std::memcpy(&u, &v, 4);
    Put<uint32_t>(m_Data, u);
    return *this;
}
TBytes& TBytes::F64(double v)
{
    uint64_t u;
    std::memcpy(&u, &v, 8);
    Put<uint64_t>(m_Data, u);
    return *this;
}
TBytes& TBytes::Str(const std::string& raw)
{
    m_Data.insert(m_Data.end(), raw.begin(), raw.end());
    return *this;
}
TBytes& TBytes::StreamEx(const std::string& text)
{
    I32(static_cast<int32_t>(text.size()));
    return Str(text);
}

size_t ReplayCorpus(const std::string& folder, int (*entry)(const uint8_t*, size_t))
{
    size_t n = 0;
    if (!std::filesystem::is_directory(folder))
        return 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        if (!e.is_regular_file())
            continue;
        const auto bytes = ReadFileBytes(e.path().string());
        entry(bytes.data(), bytes.size());
        ++n;
    }
    return n;
}

TFileSizeLimit::TFileSizeLimit(uint64_t bytes)
{
    m_Handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        throw std::runtime_error("cannot read the file size limit");
    m_SoftLimit = limit.rlim_cur;
    limit.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        throw std::runtime_error("cannot set the file size limit");
}

TFileSizeLimit::~TFileSizeLimit()
{
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_SoftLimit;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_Handler);
}

} // namespace kbtest
