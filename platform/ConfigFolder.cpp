#include "platform/ConfigFolder.h"

#include "platform/IniFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// Copies every file below defaults/<sub> that root/<sub> lacks and record does
// not name; records each file it copies or finds in place.
void CopyMissingDefaults(const fs::path& defaults, const fs::path& root, const std::string& sub, TIniFile& record,
                         std::vector<std::string>& errors)
{
    std::error_code ec;
    const fs::path source = defaults / sub;
    if (!fs::is_directory(source, ec))
        return;
    fs::recursive_directory_iterator it(source, ec);
    if (ec) {
        errors.push_back(Describe("cannot read", source, ec));
        return;
    }
    for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc))
            continue;
        const fs::path relative = fs::path(sub) / it->path().lexically_relative(source);
        const std::string key = relative.generic_string();
        if (!record.ReadString(kCopiedDefaultsSection, key, "").empty())
            continue; // copied before: a file the user deleted stays deleted
        const fs::path to = root / relative;
        if (!fs::exists(to, fileEc)) {
            fs::create_directories(to.parent_path(), fileEc);
            if (!fileEc)
                fs::copy_file(it->path(), to, fs::copy_options::skip_existing, fileEc);
            if (fileEc) {
                errors.push_back(Describe("cannot copy", it->path(), fileEc));
                continue;
            }
        }
        record.WriteString(kCopiedDefaultsSection, key, "1");
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
    const fs::path settingsFile = root / kSettingsFileName;
    // A settings file that is there but cannot be read is never rewritten.
    const bool settingsReadable = !fs::exists(settingsFile, ec) || std::ifstream(settingsFile).good();
    TIniFile record(settingsFile.string());
    const std::vector<std::string> recordedBefore = record.ReadSection(kCopiedDefaultsSection);
    for (const std::string& name : kConfigSubFolders) {
        const fs::path sub = root / name;
        fs::create_directories(sub, ec);
        if (ec || !fs::is_directory(sub, statEc)) {
            result.Errors.push_back(Describe("cannot create", sub, ec ? ec : std::make_error_code(std::errc::not_a_directory)));
            continue;
        }
        const bool filled = std::find(kDefaultFilledSubFolders.begin(), kDefaultFilledSubFolders.end(), name) !=
                            kDefaultFilledSubFolders.end();
        if (filled && !defaultsFolder.empty())
            CopyMissingDefaults(fs::path(defaultsFolder), root, name, record, result.Errors);
    }
    if (record.ReadSection(kCopiedDefaultsSection) != recordedBefore) {
        if (!settingsReadable)
            result.Errors.push_back("cannot read \"" + settingsFile.string() + "\": the copied defaults are not recorded");
        else if (!record.UpdateFile())
            result.Errors.push_back("cannot record the copied defaults: " + record.LastError());
    }
    return result;
}
