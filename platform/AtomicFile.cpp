// WriteFileAtomically (declared in platform/IniFile.h): the one way files
// the user keeps are written, so that a failed or refused save never costs
// the file on disk.

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

std::string WriteFileAtomically(const std::string& fileName, std::string_view bytes)
{
    const std::string target = ResolveLinks(fileName);
    if (target.empty())
        return "cannot save " + Quoted(fileName) + ": " + std::strerror(errno);

    // The file replaced keeps its permissions; one that may not be written
    // is refused. Its mode bits decide, not access(), which grants root
    // every file.
    struct stat existing {};
    const bool exists = lstat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return "cannot save " + Quoted(fileName) + ": it is not a regular file";
    if (exists && ((existing.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0))
        return "cannot save " + Quoted(fileName) + ": the file is read-only";
    const mode_t mode = exists ? (existing.st_mode & 07777) : NewFileMode();

    // A name of its own, created exclusively: never a file or link that
    // was there before, and two saves never share one.
    std::string pattern = target + ".XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return "cannot create a temporary file beside " + Quoted(fileName) + ": " + std::strerror(errno);
    const std::string tempName(temp.data());
    const auto fail = [&](const std::string& what) {
        const std::string why = std::strerror(errno);
        unlink(tempName.c_str());
        return what + Quoted(fileName) + ": " + why;
    };
    if (exists && geteuid() == 0)
        (void)fchown(fd, existing.st_uid, existing.st_gid);
    const bool written = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    if (!written) {
        const std::string error = fail("cannot write ");
        close(fd);
        return error;
    }
    if (close(fd) != 0)
        return fail("cannot write ");
    if (rename(tempName.c_str(), target.c_str()) != 0)
        return fail("cannot replace ");
    SyncFolder(fs::path(target).parent_path());
    return {};
}
