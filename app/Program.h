#pragma once
// The program's start-up: the shared objects in the order the program
// builds them, and the main window over them.
//
// In order: the message boxes, the application title, the configuration
// folder (made when missing) and the settings, the language table, the
// machining hooks (the arc filter's fitter, the chain tolerance as the
// machining curves' tolerance), the
// stored entity classes (blocks included), stroke font 0
// ("RomanC.fnd" of the program folder), the scene view, the document bound
// to it, the block library ("Library.blk" of the program folder, when
// there is one), the interaction program bound to the view with the snap
// steps of the settings (and the grid setter's program), the view
// services, the layer defaults ("Layers.ini"), the grid (shown by "SGrid",
// axes by "SAxis", enabled and built), and the main window with the window
// bounds of the settings, the simulation page on its tool window and the
// machining output commands (which open written programs in the editor),
// translated (it makes its properties panel and the layer and grid
// dialogs), with its status texts, toolbar style, hints,
// and the toolbar layout and recent files of the settings file. The document's operations section keeps its default hooks
// until the operation manager installs its own.
//
// A font or block library that cannot be read is reported in a message box
// with its file name, and start-up goes on without it. Everything is freed
// in the reverse order, the main window first; the globals installed here
// (message boxes, language table, class and font registries, undo
// journal, view services, application title) are put back as they were, so a test can
// start the program more than once in one process.
// Main thread only; needs a QApplication (and the scene surface format,
// cad/ui/SceneViewer.h).

#include "cad/program/EventGuard.h"

#include <memory>
#include <string>

class TAppConfig;
class TfrmMain;
class TMachiningHooks;
class TNcCommands;
class TQtUserNotifier;
class TQVScene;
class TSimulationServices;
class TQV_00Prog;
class TQV_01Cmp2D;
class TUndoRedo;
class TUserNotifier;
class TViewServicesScope;

struct TStartOptions {
    std::string ProgramFolder; // the folder of languages/, RomanC.fnd, Library.blk
    std::string ConfigFolder;  // empty: no settings file, defaults only
    std::string FileToOpen;    // the first command-line argument; may be empty
    // False leaves the message boxes to the notifier already installed (a
    // test's, which answers without a person).
    bool InstallMessageBoxes = true;
};

class TProgram {
public:
    explicit TProgram(const TStartOptions& options);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    // Shows the main window (maximised when the settings say so). Its first
    // showing zooms to the drawing and opens the start-up file.
    void Show();

    TAppConfig& Config() const { return *m_Config; }
    TQVScene& Scene() const { return *m_Scene; }
    TQV_01Cmp2D& Document() const { return *m_Document; }
    TQV_00Prog& Prg() const { return *m_Prg; }
    TfrmMain& MainWindow() const { return *m_MainWindow; }
    TSimulationServices& Simulation() const { return *m_Simulation; }
    TNcCommands& NcCommands() const { return *m_NcCommands; }

private:
    // Frees the fonts and the class table when the program goes.
    struct TRegistries {
        TRegistries();
        ~TRegistries();
    };

    void Start(const TStartOptions& options);
    // Frees what exists, in the reverse order, and puts back the globals.
    void Shutdown();
    void RegisterFont0(const std::string& programFolder);
    void LoadBlockLibrary(const std::string& programFolder);

    std::unique_ptr<TQtUserNotifier> m_Notifier;
    TUserNotifier* m_PreviousNotifier = nullptr;
    std::string m_PreviousTitle = ApplicationTitle();
    std::unique_ptr<TAppConfig> m_Config;
    std::unique_ptr<TMachiningHooks> m_MachiningHooks;
    std::unique_ptr<TRegistries> m_Registries;
    std::unique_ptr<TQVScene> m_Scene;
    std::unique_ptr<TQV_01Cmp2D> m_Document;
    std::unique_ptr<TUndoRedo> m_Undo;
    TUndoRedo* m_PreviousUndo = nullptr;
    std::unique_ptr<TQV_00Prog> m_Prg;
    std::unique_ptr<TViewServicesScope> m_ViewServices;
    std::unique_ptr<TSimulationServices> m_Simulation;
    std::unique_ptr<TfrmMain> m_MainWindow;
    std::unique_ptr<TNcCommands> m_NcCommands;
};

// The folder of the running program (where the build puts RomanC.fnd,
// SFonts/ and languages/).
std::string ProgramFolder();
