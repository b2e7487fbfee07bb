#pragma once
// An independent reading of G-code files: the npm package gcode-toolpath
// replays a file (tests/nc/writer/replay_gcode.js) and gives its moves,
// block by block, in millimetres.
//
// The package is installed at test time into a cache folder (KB_NPM_CACHE,
// or one below the temporary folder); without node, npm or the network the
// callers skip.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace kbtest {

// One move of the replay; Cx, Cy the centre of an arc.
struct TReplayMove {
    bool Arc = false;
    std::string Motion;
    double X1 = 0, Y1 = 0, Z1 = 0, X2 = 0, Y2 = 0, Z2 = 0, Cx = 0, Cy = 0;
};

// One block of the file with the moves it made.
struct TReplayBlock {
    std::string Text;
    std::vector<TReplayMove> Moves;
};

// Runs a shell command; its standard output, or nothing when it failed.
inline std::optional<std::string> RunCommand(const std::string& command)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    if (pclose(pipe) != 0)
        return std::nullopt;
    return out;
}

inline std::string ShellQuoted(const std::string& text)
{
    return "'" + text + "'";
}

// The folder holding node_modules/gcode-toolpath, installed when missing;
// empty with the reason when that cannot be done.
inline std::string ReplayPackageFolder(std::string& reason)
{
    namespace fs = std::filesystem;
    if (!RunCommand("command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1 && echo")) {
        reason = "node or npm is not installed";
        return {};
    }
    const char* env = std::getenv("KB_NPM_CACHE");
    const fs::path folder = env && *env ? fs::path(env)
                                        : fs::temp_directory_path() / ("kestrabel-npm-" + std::to_string(getuid()));
    if (fs::exists(folder / "node_modules/gcode-toolpath/package.json"))
        return folder.string();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!RunCommand("timeout 180 npm install --prefix " + ShellQuoted(folder.string()) +
                    " --no-audit --no-fund --loglevel=error gcode-toolpath@3.0.0 >/dev/null 2>&1 && echo")) {
        reason = "npm could not install gcode-toolpath (no network?)";
        return {};
    }
    return folder.string();
}

// Every block of the file with its moves, in file order.
inline std::vector<TReplayBlock> ReplayBlocks(const std::string& packageFolder, const std::string& file)
{
    const std::string script = std::string(KB_FIXTURES_DIR) + "/../nc/writer/replay_gcode.js";
    const std::optional<std::string> out = RunCommand("NODE_PATH=" + ShellQuoted(packageFolder + "/node_modules") +
                                                      " node " + ShellQuoted(script) + " " + ShellQuoted(file));
    EXPECT_TRUE(out.has_value()) << "replay failed: " << file;
    std::vector<TReplayBlock> blocks;
    std::istringstream lines(out.value_or(""));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("# ", 0) == 0) {
            blocks.push_back({line.substr(2), {}});
            continue;
        }
        if (blocks.empty())
            continue;
        std::istringstream words(line);
        std::string type;
        TReplayMove m;
        double cz = 0;
        words >> type >> m.Motion >> m.X1 >> m.Y1 >> m.Z1 >> m.X2 >> m.Y2 >> m.Z2;
        m.Arc = type == "A";
        if (m.Arc)
            words >> m.Cx >> m.Cy >> cz;
        blocks.back().Moves.push_back(m);
    }
    return blocks;
}

} // namespace kbtest
