#pragma once
// What the main window keeps between runs besides the settings: the layout
// of its toolbars and docks (Qt's saveState, base64, as "Layout" in the
// settings file's section "Toolbar", beside "TbrImagesOnly"), the recent
// files (section "MRURF", app/mainwin/RecentFiles.h) and its bounds (the
// settings "fWPL", "fWPT", "fWPW", "fWPH", "fWPMax").

#include <QByteArray>

#include <string>

class QMainWindow;
class TAppConfig;
class TIniFile;
class TRecentFiles;

// The stored toolbar layout; empty when there is none.
QByteArray ReadToolbarLayout(const TIniFile& ini);
void WriteToolbarLayout(TIniFile& ini, const QByteArray& state);

// Reads the settings file's toolbar layout and recent files.
void LoadToolbarsAndRecentFiles(const std::string& settingsFile, QByteArray& state, TRecentFiles& recent);
// Writes both into the settings file, every other section and key kept
// (through a temporary file and a rename). False, with the reason in error,
// when the file could not be written; the old file then stays.
bool SaveToolbarsAndRecentFiles(const std::string& settingsFile, const QByteArray& state,
                                const TRecentFiles& recent, std::string& error);

// The window's bounds into the settings: the restored bounds (also while
// maximised) and whether it is maximised.
void StoreWindowBounds(const QMainWindow& window, TAppConfig& config);
