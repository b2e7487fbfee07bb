#pragma once
// The Settings button and the help drop-down (sbtAbout) of the File toolbar:
// help, tutorial, about box, update check and the maker's web site.
//
// Help opens the program folder's help/ pages (intro.html for help,
// tutors.html for the tutorial) when help/intro.html is there, else the
// online documentation: "/docs/it/kbel3/..." for the language "italian"
// (any case), "/docs/en/kbel3/..." for every other. Pages open through the
// desktop (QDesktopServices). The update check runs in manual mode; a
// started update ends the program through the main window's close.

#include "app/update/UpdateCheck.h"

#include <functional>
#include <memory>
#include <string>

class QMainWindow;
class QToolBar;
class QAction;
class TAppConfig;
class TfrmAbout;
class TSettingsPages;

class THelpCommands {
public:
    // The online documentation and the maker's site.
    static constexpr const char* OnlineBase = "https://kestrabel.orvento.example";

    // Adds sbtSetting and sbtAbout to toolbar before beforeAction (null:
    // at the end).
    THelpCommands(QMainWindow& window, TAppConfig& config, std::string programFolder, TSettingsPages& settings,
                  QToolBar& toolbar, QAction* beforeAction);
    ~THelpCommands();
    THelpCommands(const THelpCommands&) = delete;
    THelpCommands& operator=(const THelpCommands&) = delete;

    // The address help (tutorial false) or the tutorial opens.
    static std::string HelpAddress(const std::string& programFolder, const std::string& language, bool tutorial);

    void sbtConfigClick();
    void mnuHelpClick();
    void mnuTutorClick();
    void mnuAboutClick();
    void mnuWebUpdateClick();
    void mnuWebClick();

    TfrmAbout& About() const { return *m_About; }
    // What the update check of this program uses.
    TUpdateSetup UpdateSetup() const;
    // The connection check of the automatic mode; empty: the system's.
    std::function<bool()> Connected;

private:
    QMainWindow& m_Window;
    TAppConfig& m_Config;
    std::string m_ProgramFolder;
    TSettingsPages& m_Settings;
    std::unique_ptr<TfrmAbout> m_About;
};
