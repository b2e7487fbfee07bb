#pragma once
// The main window's machining commands around the program's output: opening
// a G-code file in the built-in or an external editor (also the program
// writer's "show the result", whose hook this object installs while it
// lives), the machine window, the toolpath display toggle, and the toolpath
// of one operation to a DXF file or into the drawing.
//
// Every question goes through the prompt service. Main thread only; the
// settings, the document, the simulation services and the tool window
// outlive the object.

#include <functional>
#include <memory>
#include <string>

class QWidget;
class TAppConfig;
class TOpManager;
class TOpManagerField;
class TQV_01Cmp2D;
class TSimulationServices;
class TfrmGRBL;
class TfrmToolWin;

class TNcCommands {
public:
    TNcCommands(TAppConfig& config, TQV_01Cmp2D& document, TSimulationServices& simulation, TfrmToolWin& toolWin,
                TOpManager& manager, QWidget* mainWindow);
    ~TNcCommands();
    TNcCommands(const TNcCommands&) = delete;
    TNcCommands& operator=(const TNcCommands&) = delete;

    // The file becomes the editor's current file. External: the program of
    // "ExtEditor" is started with the file as its one argument (a failure is
    // shown with its reason); an empty "ExtEditor" hands the file to the
    // desktop's own program for it. Built-in: the toolpaths are hidden while
    // an operation is being edited, then the G-code editor shows the file.
    void OpenInNcEditor(bool useExternal, const std::string& fileName);
    // Asks for a G-code file (in "FilePath_Cnc", the writer's output name
    // and extension) and opens it by "UseExtEditor"; the file's folder
    // becomes "FilePath_Cnc". Nothing when cancelled.
    void mnuEditNcClick();
    // The machine-control window, made on first use; a window already
    // shown is only brought to the front (one link at a time).
    void mnuCncGrblClick();
    // Every operation's drawn toolpath shown or hidden together.
    void sbtShowHidePathClick();
    // The toolpath-to-geometry dialog for the operation (not for laser
    // engraving); confirmed, the toolpath goes to the DXF file of
    // "FilePath_T2Dxf" on the current layer's name, or into the drawing.
    // A file that cannot be written is reported and an older one stays.
    void mnuTP2GeoClick(TOpManagerField& operation);

    // Shows the layer dialog modally (the toolpath dialog's layer button).
    std::function<void()> RunLayerDialog;
    TfrmGRBL* MachineWindow() const { return m_frmGRBL.get(); }

private:
    TAppConfig& m_Config;
    TQV_01Cmp2D& m_Document;
    TSimulationServices& m_Simulation;
    TfrmToolWin& m_ToolWin;
    TOpManager& m_Manager;
    QWidget* m_MainWindow;
    std::unique_ptr<TfrmGRBL> m_frmGRBL;
    std::function<void(const std::string&)> m_PreviousEditorHook;
};
