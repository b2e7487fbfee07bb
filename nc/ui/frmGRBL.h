#pragma once
// TfrmGRBL: the machine-control window. It opens and closes the serial port,
// polls the controller every 250 ms and shows its state and position, jogs
// and zeroes the axes, selects work offsets, sends the GRBL "$" commands, a
// typed line or a macro, and streams a G-code file with pause, resume,
// abort and passes. Every string it sends is in nc/grbl/GRBLProtocol.h.
//
// The link (TGRBLCnc) lives from the machine command (nc/ui/MachineCommand.h)
// to the hiding of the window; hidden in a run, the window closes the port
// at once and frees the link once the run has returned.
//
// During a run only Pause, Abort, Reset, Exit, the connection, the layout
// switch and the position-marker box stay usable; jog, zero, work offsets,
// macros, typed lines, the "$" buttons, the position-mode toggle, check mode,
// Send and the file choice wait for its end.
//
// The check-mode box, the Pause button and the work-offset buttons show
// what the machine reports (its answers and status reports), not the last
// click; the Pause button shows a click until a status report asked for
// after it arrives.
//
// The port picker lists the system's serial ports and takes a typed device
// path (pseudo-terminals are not listed). Why a port did not open goes to
// the console. Main thread only.

#include "nc/grbl/GRBLCnc.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class TAppConfig;
class TGRBLCnc;
class TGRBLCont;
class TGrblClock;
class TGrblTimer;
class TGrblConsole;
class TGrblTransport;

class TfrmGRBL final : public QWidget {
public:
    static constexpr int FullWidth = 482, FullHeight = 536;
    static constexpr int CompactWidth = 164, CompactHeight = 416;
    static constexpr int PollMs = TGRBLCnc::PollMs;

    // The macros
    // live in config's settings file, the file dialog starts in its
    // "FilePath_Cnc".
    // port: the serial line; null takes the system's serial port. clock:
    // the time of the link and of the poll; null takes the system's.
    explicit TfrmGRBL(TAppConfig& config, std::unique_ptr<TGrblTransport> port = nullptr, TGrblClock* clock = nullptr,
                      QWidget* parent = nullptr);
    ~TfrmGRBL() override;

    // Asks for the program to stream, starting in the folder given; empty
    // when cancelled. A file dialog unless a test replaces it.
    std::function<std::string(const std::string& startFolder)> AskProgramFileName;

    // Makes the link and its controls (the machine command does this before
    // showing the window). A link still finishing a run is kept.
    void CreateLink();
    TGRBLCnc* Link() const { return m_Link.get(); }
    TGrblTransport& UsbPort() const { return *m_UsbPort; }
    bool CompactLayout() const { return m_CompactLayout; }
    QGroupBox* CompactGroup() const { return m_CompactGroup; }

    // The handlers, as the controls call them.
    void sbtGRBLOpenPortClick();
    void GRBLOpenCloseCom(bool closeOnly);
    void ListPorts();
    void GrblTimerTimer();
    void sbtGRBLOpenClick();
    void sbtGRBLLastClick();
    void sbtGRBLSendClick();
    void sbtGRLBPauseClick();
    void sbtGrblCompClick();
    void chkGRBLCheckClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildControls();
    void WireControls();
    void FormShow();
    void FormHide();
    void ChooseFile(const std::string& fileName);
    // The enabled state of every control from the port and the run.
    void EnaDisControlli(bool enable);
    void UpdateRunControls();
    void ReleaseLink();
    // The check-mode box, the Pause button and the work-offset buttons from
    // what the machine reported.
    void UpdateMachineControls();
    void PlaceBottomButtons();

    TAppConfig& m_Config;
    std::unique_ptr<TGrblTransport> m_UsbPort;
    TGrblClock& m_Clock;
    // After a Pause click the button waits for the report of a poll sent
    // after it: the reports up to this count came before.
    int64_t m_PauseSettledAfter = -1;
    bool m_PauseClicked = false;
    std::unique_ptr<TGrblConsole> m_Console;
    std::unique_ptr<TGRBLCnc> m_Link;
    std::unique_ptr<TGRBLCont> m_Cont;
    bool m_ReleasePending = false;
    bool m_CompactLayout = false;
    bool m_FileChosen = false;
    QGroupBox* m_CompactGroup = nullptr;

public:
    // The components, named as in the language file.
    QGroupBox* grpGRBLPort = nullptr;
    QComboBox* ComCombo1 = nullptr;
    QComboBox* ComCombo2 = nullptr;
    QPushButton* SpTBXButton2 = nullptr;
    QPushButton* sbtGRBLOpenPort = nullptr;
    QLabel* lblGRBLPort = nullptr;
    QLabel* lblGRBLBaud = nullptr;
    QTabWidget* pgCtrlGrbl = nullptr;
    QWidget* tabGrblMachine = nullptr;
    QWidget* tabGrblFile = nullptr;
    QWidget* tabGrblMacros = nullptr;
    QGroupBox* grpGRBLCommand = nullptr;
    QPushButton* sbtGRBL_cSH = nullptr;
    QPushButton* sbtGRBL_cSX = nullptr;
    QPushButton* sbtGRBL_cSGC = nullptr;
    QPushButton* sbtGRBL_cSG = nullptr;
    QLineEdit* Edit_data = nullptr;
    QGroupBox* grpGRBLMdi = nullptr;
    QPushButton* JogButtons[6] = {};  // sbtGRBLMovXM .. sbtGRBLMovZP, by tag
    QComboBox* cboGRBLInc = nullptr;
    QPushButton* ZeroButtons[4] = {}; // sbtGRBLZeroX .. sbtGRBLZeroAll, by tag
    QGroupBox* grpGRBLFile = nullptr;
    QLabel* lblGrblTxFile = nullptr;
    QPushButton* sbtGRBLLast = nullptr;
    QPushButton* sbtGRBLOpen = nullptr;
    QPushButton* sbtGRBLSend = nullptr;
    QSpinBox* sbrGRBLPassN = nullptr;
    QPushButton* sbtGRLBPause = nullptr;
    QPushButton* sbtGRLBAbort = nullptr;
    QLineEdit* txtGRBLRowF = nullptr;
    QCheckBox* chkGRBLCheck = nullptr;
    QGroupBox* grpGRBLMacros = nullptr;
    QLabel* lblGRBLHMacros = nullptr;
    QPushButton* sbtGRBLReset = nullptr;
    QGroupBox* grpGRBLStatus = nullptr;
    QLabel* lblGrblStat = nullptr;
    QLabel* lblGRBLX = nullptr;
    QLabel* lblGRBLY = nullptr;
    QLabel* lblGRBLZ = nullptr;
    QPushButton* sbtGRBL_WPos = nullptr;
    QCheckBox* chkGRBLShowGPos = nullptr;
    QGroupBox* grpGRBLOutput = nullptr;
    QPlainTextEdit* MemoGrbl = nullptr;
    QCheckBox* chkGRBLShowVOutput = nullptr;
    QPushButton* sbtGrblComp = nullptr;
    QPushButton* sbtGrblExit = nullptr;
    std::unique_ptr<TGrblTimer> GrblTimer;
};
