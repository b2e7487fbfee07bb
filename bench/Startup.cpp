// The program's start to its first drawn frame, beside a minimal Qt program
// showing the same drawing view, both started as new processes in the same
// run, in turn, several times each.
//
// - Program: the program as scripts/run.sh starts it (no file), with an
//   existing settings folder (made by an untimed start before the rounds).
// - FirstStart: the same with the settings folder removed before each start,
//   so the program makes it and copies the defaults into it.
// - Minimal: this benchmark started again with --minimal-window: a
//   QApplication with the program's surface format and a main window of the
//   program's default size holding the scene view widget (TSceneViewer)
//   over an empty scene.
//
// Each start is timed here, from just before the child is spawned to the
// "first-frame" line it writes on its standard output once the view's first
// frame is on the screen (KB_FIRST_FRAME_EXIT, cad/ui/FirstFrameReport.h);
// the child then quits. Children get a scratch HOME and XDG folders, so
// nothing of the user's is read or written. Medians and the ratios to
// Minimal are printed at the end (the aim: Program at 2x Minimal or less),
// with each child's peak resident size.
//
// Needs a display with OpenGL and the program built beside it: run it under
//   taskset -c 2-7 xvfb-run -a -s "-screen 0 1280x800x24" build-rel/bin/bench_Startup [rounds]
// (Plain main, not Google Benchmark: the three kinds of start alternate
// within each round, so a change of load on the machine reaches all three.)

#include "cad/scene/QVScene.h"
#include "cad/ui/FirstFrameReport.h"
#include "cad/ui/SceneViewer.h"
#include "core/settings/AppConfig.h"

#include <QApplication>
#include <QMainWindow>

#include <algorithm>
#include <array>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* MinimalWindowArg = "--minimal-window";
constexpr int DefaultRounds = 7;
constexpr int ChildTimeoutMs = 120000;

// The minimal program: the program's GL set-up and window size, the scene
// view over an empty scene, and nothing else.
int RunMinimalWindow(int argc, char** argv)
{
    UseSceneSurfaceFormat();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const TAppConfig config("");
    TQVScene scene(config);
    QMainWindow window;
    auto* view = new TSceneViewer(scene);
    window.setCentralWidget(view);
    window.move(config.fWPL, config.fWPT);
    window.resize(config.fWPW, config.fWPH);
    ReportFirstFrame(*view, stdout);
    window.show();
    return app.exec();
}

struct TStart {
    double Ms = 0;
    double PeakMb = 0;
};

// The children's environment: this one with the home and XDG folders moved
// to the scratch folder, the report switched on and Qt's platform left to
// the display.
std::vector<std::string> ChildEnvironment(const fs::path& scratch)
{
    const std::array<std::pair<const char*, fs::path>, 5> moved = {{{"HOME", scratch / "home"},
                                                                    {"XDG_DATA_HOME", scratch / "data"},
                                                                    {"XDG_CONFIG_HOME", scratch / "config"},
                                                                    {"XDG_CACHE_HOME", scratch / "cache"},
                                                                    {"XDG_RUNTIME_DIR", scratch / "run"}}};
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        const bool replaced = name == "QT_QPA_PLATFORM" || name == "KB_FIRST_FRAME_EXIT" ||
                              std::any_of(moved.begin(), moved.end(), [&](const auto& m) { return name == m.first; });
        if (!replaced)
            env.push_back(entry);
    }
    for (const auto& [name, folder] : moved) {
        fs::create_directories(folder);
        env.push_back(std::string(name) + "=" + folder.string());
    }
    fs::permissions(scratch / "run", fs::perms::owner_all, fs::perm_options::replace);
    env.push_back("KB_FIRST_FRAME_EXIT=1");
    return env;
}

// Reads the child's output until the report line; false on its end or the
// time-out.
bool WaitForReport(int fd)
{
    std::string seen;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ChildTimeoutMs);
    while (seen.find("first-frame\n") == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0)
            return false;
        char buffer[256];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        seen.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

// Starts program with args, times it to its report, waits for its end.
std::optional<TStart> TimeStart(const std::string& program, const std::vector<std::string>& args,
                                const std::vector<std::string>& env, const fs::path& log)
{
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(spawned));
        return std::nullopt;
    }
    const bool reported = WaitForReport(out[0]);
    const Clock::time_point end = Clock::now();
    if (!reported)
        kill(pid, SIGKILL);
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!reported) {
        std::fprintf(stderr, "%s drew no first frame (its messages: %s)\n", program.c_str(), log.c_str());
        return std::nullopt;
    }
    return TStart{std::chrono::duration<double, std::milli>(end - start).count(),
                  static_cast<double>(usage.ru_maxrss) / 1024.0};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct TSeries {
    const char* Name;
    std::vector<double> Ms;
    std::vector<double> PeakMb;
};

int RunRounds(const std::string& self, int rounds)
{
    char scratchName[] = "/tmp/kb-bench-startup.XXXXXX";
    if (!mkdtemp(scratchName)) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path scratch = scratchName;
    const std::vector<std::string> env = ChildEnvironment(scratch);
    const fs::path settingsFolder = scratch / "data" / "Kestrabel 3";
    const std::string program = KB_PROGRAM;
    const fs::path log = scratch / "child-stderr.txt";

    TSeries minimal{"Minimal", {}, {}};
    TSeries existing{"Program", {}, {}};
    TSeries first{"FirstStart", {}, {}};
    auto timed = [&](TSeries& series, const std::string& path, const std::vector<std::string>& args) {
        const std::optional<TStart> s = TimeStart(path, args, env, log);
        if (!s)
            return false;
        series.Ms.push_back(s->Ms);
        series.PeakMb.push_back(s->PeakMb);
        return true;
    };
    // Untimed: the files into the page cache, the settings folder made.
    TSeries warmUp{"", {}, {}};
    bool ok = timed(warmUp, self, {MinimalWindowArg}) && timed(warmUp, program, {});
    for (int round = 0; ok && round < rounds; ++round) {
        ok = timed(minimal, self, {MinimalWindowArg}) && timed(existing, program, {});
        std::error_code ec;
        fs::remove_all(settingsFolder, ec);
        ok = ok && timed(first, program, {});
        if (ok)
            std::printf("round %d: Minimal %.0f ms, Program %.0f ms, FirstStart %.0f ms\n", round + 1,
                        minimal.Ms.back(), existing.Ms.back(), first.Ms.back());
    }
    if (ok) {
        const double reference = Median(minimal.Ms);
        for (const TSeries* s : {&minimal, &existing, &first})
            std::printf("%-10s median %7.0f ms  %5.2fx Minimal  peak %5.0f MB\n", s->Name, Median(s->Ms),
                        Median(s->Ms) / reference, Median(s->PeakMb));
        std::printf("Program / Minimal = %.2f (aim: 2 or less)\n", Median(existing.Ms) / reference);
    }
    // Kept after a failure for the child's messages.
    std::error_code ec;
    if (ok)
        fs::remove_all(scratch, ec);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], MinimalWindowArg) == 0)
        return RunMinimalWindow(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : DefaultRounds;
    std::error_code ec;
    const std::string self = fs::read_symlink("/proc/self/exe", ec).string();
    return RunRounds(self, rounds);
}
