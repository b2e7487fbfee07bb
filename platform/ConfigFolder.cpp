#include "platform/ConfigFolder.h"

#include "platform/IniFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool IsAbsolute(const std::string& path)
{
    return !path.empty() && path.front() == '/';
}

// "/a/b/" -> "/a/b"; the root itself stays "/".
std::string WithoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string Describe(const std::string& what, const fs::path& path, const std::error_code& ec)
{
    return what + " \"" + path.string() + "\": " + ec.message();
}

// Copies every entry of source into target without replacing anything there.
void CopyDefaults(const fs::path& source, const fs::path& target, std::vector<std::string>& errors)
{
    std::error_code ec;
    if (!fs::is_directory(source, ec))
        return;
    fs::directory_iterator it(source, ec);
    if (ec) {
        errors.push_back(Describe("cannot read", source, ec));
        return;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path to = target / it->path().filename();
        std::error_code copyEc;
        fs::copy(it->path(), to, fs::copy_options::recursive | fs::copy_options::skip_existing, copyEc);
        if (copyEc)
            errors.push_back(Describe("cannot copy", it->path(), copyEc));
    }
    if (ec)
        errors.push_back(Describe("cannot read", source, ec));
}

} // namespace

TConfigFolderEnv TConfigFolderEnv::FromProcess()
{
    TConfigFolderEnv env;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"))
        env.XdgDataHome = xdg;
    if (const char* home = std::getenv("HOME"); home && *home) {
        env.Home = home;
    } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
        env.Home = pw->pw_dir;
    }
    return env;
}

std::string GetCommonAppDataFolder(const TConfigFolderEnv& env)
{
    // A relative $XDG_DATA_HOME is invalid and must be ignored.
    if (IsAbsolute(env.XdgDataHome))
        return WithoutTrailingSeparators(env.XdgDataHome);
    if (IsAbsolute(env.Home))
        return WithoutTrailingSeparators(env.Home) + "/.local/share";
    return {};
}

std::string DefaultConfigFolder(const TConfigFolderEnv& env)
{
    const std::string dataHome = GetCommonAppDataFolder(env);
    if (dataHome.empty())
        return {};
    return (dataHome == "/" ? "" : dataHome) + "/" + kConfigFolderName;
}

std::string ReadUserPath(const std::string& systemIniFile)
{
    if (systemIniFile.empty())
        return {};
    const TIniFile ini(systemIniFile);
    return WithoutTrailingSeparators(ini.ReadString(kSystemIniSection, kUserPathKey, ""));
}

std::string ConfigFolderPath(const TConfigFolderEnv& env)
{
    const std::string userPath = ReadUserPath(env.SystemIniFile);
    if (IsAbsolute(userPath))
        return userPath;
    return DefaultConfigFolder(env);
}

TConfigFolderResult PrepareConfigFolder(const std::string& folder, const std::string& defaultsFolder)
{
    TConfigFolderResult result;
    if (folder.empty()) {
        result.Errors.push_back("no configuration folder");
        return result;
    }
    const fs::path root(folder);
    std::error_code ec;
    result.Created = !fs::exists(root, ec);
    fs::create_directories(root, ec);
    std::error_code statEc;
    if (ec || !fs::is_directory(root, statEc)) {
        result.Errors.push_back(Describe("cannot create", root, ec ? ec : std::make_error_code(std::errc::not_a_directory)));
        return result;
    }
    for (const std::string& name : kConfigSubFolders) {
        const fs::path sub = root / name;
        fs::create_directories(sub, ec);
        if (ec || !fs::is_directory(sub, statEc)) {
            result.Errors.push_back(Describe("cannot create", sub, ec ? ec : std::make_error_code(std::errc::not_a_directory)));
            continue;
        }
        const bool filled = std::find(kDefaultFilledSubFolders.begin(), kDefaultFilledSubFolders.end(), name) !=
                            kDefaultFilledSubFolders.end();
        if (filled && !defaultsFolder.empty() && fs::is_empty(sub, ec) && !ec)
            CopyDefaults(fs::path(defaultsFolder) / name, sub, result.Errors);
    }
    return result;
}
