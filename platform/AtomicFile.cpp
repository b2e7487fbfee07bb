// WriteFileAtomically (declared in platform/IniFile.h) and its streaming
// form TAtomicFileWriter: the one way files the user keeps are written, so
// that a failed or refused save never costs the file on disk.

#include "platform/AtomicFile.h"
#include "platform/IniFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinkHops = 40;

std::string Quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

// The file a save of fileName replaces: fileName itself, or the end of the
// chain of symbolic links it starts, so that the link stays and its target
// gets the new bytes. Empty (with errno) for a chain too long to follow.
std::string ResolveLinks(const std::string& fileName)
{
    fs::path path(fileName);
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec)))
            return path.string();
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) {
            errno = ec.value();
            return {};
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    errno = ELOOP;
    return {};
}

// The process's file creation mask. Read from the kernel's status file where
// it is there: setting the mask to read it back would, for a moment, give
// files other threads create meanwhile the wrong permissions.
mode_t CreationMask()
{
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask);
    }
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

// The permission bits a new file gets from this process.
mode_t NewFileMode()
{
    return 0666 & ~CreationMask();
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced costs
// nothing but that.
void SyncFolder(const fs::path& folder)
{
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)fsync(fd);
    close(fd);
}

} // namespace

TAtomicFileWriter::TAtomicFileWriter(const std::string& fileName) : m_FileName(fileName)
{
    m_Target = ResolveLinks(fileName);
    if (m_Target.empty()) {
        m_Error = "cannot save " + Quoted(fileName) + ": " + std::strerror(errno);
        return;
    }

    // The file replaced keeps its permissions; one that may not be written
    // is refused. Its mode bits decide, not access(), which grants root
    // every file.
    struct stat existing {};
    const bool exists = lstat(m_Target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        m_Error = "cannot save " + Quoted(fileName) + ": it is not a regular file";
        return;
    }
    if (exists && ((existing.st_mode & 0222) == 0 || access(m_Target.c_str(), W_OK) != 0)) {
        m_Error = "cannot save " + Quoted(fileName) + ": the file is read-only";
        return;
    }
    const mode_t mode = exists ? (existing.st_mode & 07777) : NewFileMode();

    // A name of its own, created exclusively: never a file or link that
    // was there before, and two saves never share one.
    std::string pattern = m_Target + ".XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    m_Fd = mkostemp(temp.data(), O_CLOEXEC);
    if (m_Fd < 0) {
        m_Error = "cannot create a temporary file beside " + Quoted(fileName) + ": " + std::strerror(errno);
        return;
    }
    m_TempName = temp.data();
    if (exists && geteuid() == 0)
        (void)fchown(m_Fd, existing.st_uid, existing.st_gid);
    if (fchmod(m_Fd, mode) != 0)
        Fail("cannot write ");
    else
        m_Buffer.reserve(kBlockSize);
}

TAtomicFileWriter::~TAtomicFileWriter()
{
    Discard();
}

void TAtomicFileWriter::Fail(const std::string& what)
{
    if (m_Error.empty())
        m_Error = what + Quoted(m_FileName) + ": " + std::strerror(errno);
    Discard();
}

void TAtomicFileWriter::Discard()
{
    if (m_Fd >= 0) {
        close(m_Fd);
        m_Fd = -1;
    }
    if (!m_TempName.empty()) {
        unlink(m_TempName.c_str());
        m_TempName.clear();
    }
    m_Buffer.clear();
}

bool TAtomicFileWriter::Flush()
{
    if (m_Fd < 0)
        return false;
    if (!WriteAll(m_Fd, m_Buffer)) {
        Fail("cannot write ");
        return false;
    }
    m_Buffer.clear();
    return true;
}

void TAtomicFileWriter::WriteBlock(std::string_view bytes)
{
    if (m_Fd < 0)
        return;
    if (m_Buffer.size() + bytes.size() <= kBlockSize) {
        m_Buffer += bytes;
        return;
    }
    if (!Flush())
        return;
    if (bytes.size() < kBlockSize)
        m_Buffer += bytes;
    else if (!WriteAll(m_Fd, bytes))
        Fail("cannot write ");
}

std::string TAtomicFileWriter::Commit()
{
    if (m_Fd < 0) {
        if (m_Error.empty())
            m_Error = "cannot save " + Quoted(m_FileName) + ": already saved";
        return m_Error;
    }
    if (!Flush())
        return m_Error;
    if (fsync(m_Fd) != 0) {
        Fail("cannot write ");
        return m_Error;
    }
    const int fd = m_Fd;
    m_Fd = -1;
    if (close(fd) != 0) {
        Fail("cannot write ");
        return m_Error;
    }
    if (rename(m_TempName.c_str(), m_Target.c_str()) != 0) {
        Fail("cannot replace ");
        return m_Error;
    }
    m_TempName.clear();
    SyncFolder(fs::path(m_Target).parent_path());
    return {};
}

std::string WriteFileAtomically(const std::string& fileName, std::string_view bytes)
{
    TAtomicFileWriter file(fileName);
    file.Write(bytes);
    if (!file.Error().empty())
        return file.Error();
    return file.Commit();
}
