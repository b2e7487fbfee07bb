#pragma once
// The update check as the program runs it: the progress window
// (TFrmWebUpdate) wired to a TmxWebUpdate, the automatic check armed on
// about one start in twenty, and RunWebUpdate for the Help menu (manual)
// and the tool window's showing (automatic).
//
// The page's address is the compiled default unless the settings file's
// key "UpdateURL" names another. In automatic mode nothing happens without
// a connection (Connected false); every run disarms the automatic check.

#include <functional>
#include <string>

class QWidget;

// The compiled default of the update-information page.
extern const char* const DefaultUpdateURL;

struct TUpdateSetup {
    std::string URL = DefaultUpdateURL;
    std::string InstalledVersion;
    std::string TargetFolder; // empty: the temporary folder
    int TimeoutMs = 30000;
    // How long "806" stays before the window closes.
    int NoUpdateHoldMs = 2000;
    // Whether a connection may be there; empty: NetworkMayBeReachable.
    std::function<bool()> Connected;
    // Starts the downloaded file with the page's run parameters; empty:
    // RunInstaller.
    std::function<bool(const std::string& path, const std::string& parameters)> RunFile;
    // Ends the program after a started update (the main window's close).
    std::function<void()> Terminate;
};

// The address of the settings file's "UpdateURL", else the default.
std::string UpdateURLFromSettings(const std::string& settingsFileName);

// Starts the downloaded installer. Without parameters the desktop opens
// the file as it opens any file of its kind; with parameters the file is
// made executable for its owner and run as a program with them, split as a
// shell splits words (quotes keep spaces). False when nothing started.
bool RunInstaller(const std::string& path, const std::string& parameters);

// False only when the system says there is no network; an unknown state
// (no network service on the machine) counts as reachable.
bool NetworkMayBeReachable();

// Arms the automatic check of this run when random0to19() gives 5; the
// default source is seeded from the clock.
void PickStartupUpdateCheck(const std::function<int()>& random0to19 = {});
bool UpdateCheckArmed();
void SetUpdateCheckArmed(bool armed);

// Runs the check with its progress window (owner parent); true when an
// update was started. Disarms the automatic check in every case.
bool RunWebUpdate(QWidget* parent, bool automatic, const TUpdateSetup& setup);
