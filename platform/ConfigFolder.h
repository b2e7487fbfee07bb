#pragma once
// The configuration folder of the program: the folder that holds the
// settings file, the layer defaults, the post-processors, the tool libraries,
// the samples and the G-code output.
//
// It is "<data home>/Kestrabel 3", the data home being $XDG_DATA_HOME when
// that is an absolute path and ~/.local/share otherwise. An administrator may
// move it for every user with the key "UserPath" of section "[Kestrabel 3]"
// in the system-wide ini file; that file is only ever read.
//
// Every function takes the environment as a parameter, so callers other than
// the program's start-up (tests above all) never touch the real home folder
// or /etc.

#include <string>
#include <vector>

inline constexpr const char* kConfigFolderName = "Kestrabel 3";
inline constexpr const char* kSystemIniFile = "/etc/xdg/Orvento/Kestrabel 3.ini";
inline constexpr const char* kSystemIniSection = "Kestrabel 3";
inline constexpr const char* kUserPathKey = "UserPath";

// The sub-folders of a configuration folder, and those of them that a new
// folder gets the program's defaults in (from the same names below the
// program's data folder).
inline const std::vector<std::string> kConfigSubFolders = {"pst", "tools", "samples", "gcode"};
inline const std::vector<std::string> kDefaultFilledSubFolders = {"pst", "tools", "samples"};

struct TConfigFolderEnv {
    std::string XdgDataHome;   // $XDG_DATA_HOME as set, may be empty
    std::string Home;          // the user's home folder
    std::string SystemIniFile = kSystemIniFile;

    // The real environment of this process ($HOME, or the password entry
    // when it is unset).
    static TConfigFolderEnv FromProcess();
};

// The user's data home: $XDG_DATA_HOME when absolute, else <home>/.local/share;
// empty when there is no usable home either.
std::string GetCommonAppDataFolder(const TConfigFolderEnv& env);

// The data home + "/Kestrabel 3"; empty when there is no data home.
std::string DefaultConfigFolder(const TConfigFolderEnv& env);

// "UserPath" of the system-wide ini file, trailing separators removed; empty
// when the file, the section or the key is missing, or the value is empty.
std::string ReadUserPath(const std::string& systemIniFile);

// The configuration folder: the administrator's "UserPath" when it is an
// absolute path, the default folder otherwise. An empty or relative value
// falls back to the default, so the settings never land at the file-system
// root or in whatever folder the program happened to be started from.
std::string ConfigFolderPath(const TConfigFolderEnv& env);

struct TConfigFolderResult {
    bool Created = false;             // the folder itself did not exist before
    std::vector<std::string> Errors;  // what could not be created or copied
    bool Ok() const { return Errors.empty(); }
};

// The settings file of a configuration folder, and its section that records
// the default files already copied there (key: the path below the folder,
// "pst/GRBL_mm.pst").
inline constexpr const char* kSettingsFileName = "kestrabel.ini";
inline constexpr const char* kCopiedDefaultsSection = "CopiedDefaults";

// Creates the folder and its sub-folders when missing. Every file below
// defaultsFolder/<name>, for each name of kDefaultFilledSubFolders, is copied
// when the folder lacks it and the settings file does not record it as
// copied before; a file that is there is never replaced. Copied files and
// files found in place are recorded, so defaults added by a later version
// reach an existing folder while a shipped file the user deleted stays
// deleted. A missing defaults folder is not an error: there is just nothing
// to copy. Work goes on past a failure; every failure is listed in the result.
TConfigFolderResult PrepareConfigFolder(const std::string& folder, const std::string& defaultsFolder);
