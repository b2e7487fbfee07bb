#include "nc/ui/frmGRBL.h"

#include "cad/program/EventGuard.h"
#include "cad/ui/AnsiText.h"
#include "cad/ui/FormTranslate.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "nc/grbl/GRBLClock.h"
#include "nc/grbl/GRBLCnc.h"
#include "nc/grbl/LastProgram.h"
#include "nc/grbl/MachineMarker.h"
#include "nc/grbl/SerialPortTransport.h"
#include "nc/ui/GRBLCont.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>

#include <cmath>

namespace {

QString GRBLCaption(std::string_view name) { return AnsiToQString(LangGRBLCaption(name)); }

// The console memo as the link writes to it.
class TMemoConsole final : public TGrblConsole {
public:
    explicit TMemoConsole(QPlainTextEdit& memo) : m_Memo(memo) {}
    void AppendLine(const std::string& line) override { m_Memo.appendPlainText(AnsiToQString(line)); }
    int LineCount() const override { return m_Memo.document()->isEmpty() ? 0 : m_Memo.blockCount(); }
    void DeleteFirstLines(int count) override
    {
        m_Memo.setUpdatesEnabled(false);
        QTextCursor cursor(m_Memo.document());
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, count);
        cursor.removeSelectedText();
        m_Memo.setUpdatesEnabled(true);
    }

private:
    QPlainTextEdit& m_Memo;
};

template <class W> W* Make(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text, int x, int y, int w, int h = 25)
{
    auto* button = Make<QPushButton>(parent, name, x, y, w, h);
    button->setText(QString::fromLatin1(text));
    return button;
}

QGroupBox* Group(QWidget* parent, const char* name, const char* title, int x, int y, int w, int h)
{
    auto* group = Make<QGroupBox>(parent, name, x, y, w, h);
    group->setTitle(QString::fromLatin1(title));
    return group;
}

QLabel* Label(QWidget* parent, const char* name, const char* text, int x, int y, int w, int h = 17)
{
    auto* label = Make<QLabel>(parent, name, x, y, w, h);
    label->setText(QString::fromLatin1(text));
    return label;
}

// Runs a handler under the event guard.
template <class F> auto Guarded(F fn)
{
    return [fn = std::move(fn)] { GuardedCall(fn); };
}

} // namespace

TfrmGRBL::TfrmGRBL(TAppConfig& config, std::unique_ptr<TGrblTransport> port, TGrblClock* clock, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_Config(config), m_UsbPort(port ? std::move(port) : std::make_unique<TSerialPortTransport>()),
      m_Clock(clock ? *clock : SystemGrblClock())
{
    setObjectName(QStringLiteral("frmGRBL"));
    setWindowTitle(QStringLiteral("GRBL"));
    BuildControls();
    m_Console = std::make_unique<TMemoConsole>(*MemoGrbl);
    WireControls();
    AskProgramFileName = [this](const std::string& startFolder) {
        const QString name = QFileDialog::getOpenFileName(this, QString(), QFile::decodeName(startFolder.c_str()),
                                                          QStringLiteral("G-Code files (*)"));
        return QFile::encodeName(name).toStdString();
    };
    setFixedSize(FullWidth, FullHeight);
}

TfrmGRBL::~TfrmGRBL()
{
    GrblTimer->Stop();
    m_UsbPort->OnReceived = nullptr;
    m_UsbPort->OnFailed = nullptr;
    m_Cont.reset();
    m_Link.reset();
}

void TfrmGRBL::BuildControls()
{
    grpGRBLPort = Group(this, "grpGRBLPort", "Port", 8, 8, 148, 96);
    lblGRBLPort = Label(grpGRBLPort, "lblGRBLPort", "Port", 8, 20, 40);
    ComCombo1 = Make<QComboBox>(grpGRBLPort, "ComCombo1", 50, 18, 90, 22);
    ComCombo1->setEditable(true);
    lblGRBLBaud = Label(grpGRBLPort, "lblGRBLBaud", "Baud", 8, 46, 40);
    ComCombo2 = Make<QComboBox>(grpGRBLPort, "ComCombo2", 50, 44, 90, 22);
    for (const char* baud : {"9600", "19200", "38400", "57600", "115200", "230400", "250000"})
        ComCombo2->addItem(QString::fromLatin1(baud));
    ComCombo2->setCurrentText(QStringLiteral("115200"));
    SpTBXButton2 = Button(grpGRBLPort, "SpTBXButton2", "...", 8, 68, 28, 22);
    sbtGRBLOpenPort = Button(grpGRBLPort, "sbtGRBLOpenPort", "Open", 40, 68, 100, 22);

    pgCtrlGrbl = Make<QTabWidget>(this, "pgCtrlGrbl", 166, 8, 310, 354);
    tabGrblMachine = new QWidget;
    tabGrblMachine->setObjectName(QStringLiteral("tabGrblMachine"));
    tabGrblFile = new QWidget;
    tabGrblFile->setObjectName(QStringLiteral("tabGrblFile"));
    tabGrblMacros = new QWidget;
    tabGrblMacros->setObjectName(QStringLiteral("tabGrblMacros"));
    pgCtrlGrbl->addTab(tabGrblMachine, QStringLiteral("Machine Control"));
    pgCtrlGrbl->addTab(tabGrblFile, QStringLiteral("File"));
    pgCtrlGrbl->addTab(tabGrblMacros, QStringLiteral("Macros"));

    grpGRBLCommand = Group(tabGrblMachine, "grpGRBLCommand", "Commands", 4, 4, 296, 104);
    sbtGRBL_cSH = Button(grpGRBLCommand, "sbtGRBL_cSH", "$H", 8, 20, 66);
    sbtGRBL_cSX = Button(grpGRBLCommand, "sbtGRBL_cSX", "$X", 78, 20, 66);
    sbtGRBL_cSGC = Button(grpGRBLCommand, "sbtGRBL_cSGC", "$#", 148, 20, 66);
    sbtGRBL_cSG = Button(grpGRBLCommand, "sbtGRBL_cSG", "$G", 218, 20, 66);
    Edit_data = Make<QLineEdit>(grpGRBLCommand, "Edit_data", 8, 56, 276, 24);

    grpGRBLMdi = Group(tabGrblMachine, "grpGRBLMdi", "MDI", 4, 112, 296, 208);
    static const char* jogNames[6] = {"sbtGRBLMovXM", "sbtGRBLMovXP", "sbtGRBLMovYM",
                                      "sbtGRBLMovYP", "sbtGRBLMovZM", "sbtGRBLMovZP"};
    static const char* jogTexts[6] = {"X-", "X+", "Y-", "Y+", "Z-", "Z+"};
    static const int jogPlace[6][2] = {{8, 64}, {88, 64}, {48, 96}, {48, 32}, {136, 96}, {136, 32}};
    for (int tag = 0; tag < 6; ++tag)
        JogButtons[tag] = Button(grpGRBLMdi, jogNames[tag], jogTexts[tag], jogPlace[tag][0], jogPlace[tag][1], 40, 28);
    cboGRBLInc = Make<QComboBox>(grpGRBLMdi, "cboGRBLInc", 192, 64, 90, 24);
    cboGRBLInc->setEditable(true);
    for (const char* step : {"0.01", "0.1", "0.5", "1", "5", "10", "50", "100"})
        cboGRBLInc->addItem(QString::fromLatin1(step));
    cboGRBLInc->setCurrentText(QStringLiteral("1"));
    static const char* zeroNames[4] = {"sbtGRBLZeroX", "sbtGRBLZeroY", "sbtGRBLZeroZ", "sbtGRBLZeroAll"};
    static const char* zeroTexts[4] = {"X0", "Y0", "Z0", "XYZ0"};
    for (int tag = 0; tag < 4; ++tag)
        ZeroButtons[tag] = Button(grpGRBLMdi, zeroNames[tag], zeroTexts[tag], 8 + 70 * tag, 132, 66);

    grpGRBLFile = Group(tabGrblFile, "grpGRBLFile", "File", 4, 4, 296, 300);
    lblGrblTxFile = Label(grpGRBLFile, "lblGrblTxFile", "", 8, 20, 280);
    sbtGRBLLast = Button(grpGRBLFile, "sbtGRBLLast", "Last", 8, 44, 90);
    sbtGRBLOpen = Button(grpGRBLFile, "sbtGRBLOpen", "Open", 102, 44, 90);
    sbtGRBLSend = Button(grpGRBLFile, "sbtGRBLSend", "Send", 196, 44, 90);
    sbtGRBLSend->setEnabled(false);
    sbrGRBLPassN = Make<QSpinBox>(grpGRBLFile, "sbrGRBLPassN", 8, 80, 60, 24);
    sbrGRBLPassN->setRange(1, 99);
    sbrGRBLPassN->setValue(1);
    sbtGRLBPause = Button(grpGRBLFile, "sbtGRLBPause", "Pause", 8, 116, 116);
    sbtGRLBPause->setCheckable(true);
    sbtGRLBAbort = Button(grpGRBLFile, "sbtGRLBAbort", "Abort", 154, 116, 116);
    txtGRBLRowF = Make<QLineEdit>(grpGRBLFile, "txtGRBLRowF", 112, 152, 161, 22);
    txtGRBLRowF->setReadOnly(true);
    txtGRBLRowF->setText(QStringLiteral("0"));
    chkGRBLCheck = Make<QCheckBox>(grpGRBLFile, "chkGRBLCheck", 8, 188, 200, 20);
    chkGRBLCheck->setText(QStringLiteral("Check mode"));

    grpGRBLMacros = Group(tabGrblMacros, "grpGRBLMacros", "Macros", 4, 4, 296, 318);
    lblGRBLHMacros = Label(grpGRBLMacros, "lblGRBLHMacros", "", 8, 18, 280, 40);
    lblGRBLHMacros->setWordWrap(true);

    sbtGRBLReset = Button(this, "sbtGRBLReset", "Reset", 8, 109, 148);
    grpGRBLStatus = Group(this, "grpGRBLStatus", "Status", 8, 136, 148, 226);
    lblGrblStat = Label(grpGRBLStatus, "lblGrblStat", "Idle", 8, 20, 132, 24);
    lblGrblStat->setAlignment(Qt::AlignCenter);
    QLabel* axes[3] = {};
    static const char* axisNames[3] = {"lblGRBLX", "lblGRBLY", "lblGRBLZ"};
    for (int i = 0; i < 3; ++i) {
        axes[i] = Label(grpGRBLStatus, axisNames[i], "0.000", 8, 52 + 32 * i, 132, 26);
        axes[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        axes[i]->setStyleSheet(QStringLiteral("background-color: black; color: lime;"));
    }
    lblGRBLX = axes[0];
    lblGRBLY = axes[1];
    lblGRBLZ = axes[2];
    sbtGRBL_WPos = Button(grpGRBLStatus, "sbtGRBL_WPos", "WPos", 8, 152, 132);
    sbtGRBL_WPos->setCheckable(true);
    chkGRBLShowGPos = Make<QCheckBox>(grpGRBLStatus, "chkGRBLShowGPos", 8, 188, 132, 20);
    chkGRBLShowGPos->setText(QStringLiteral("Show position"));

    grpGRBLOutput = Group(this, "grpGRBLOutput", "Output", 8, 368, 465, 130);
    MemoGrbl = Make<QPlainTextEdit>(grpGRBLOutput, "MemoGrbl", 8, 18, 449, 84);
    MemoGrbl->setReadOnly(true);
    MemoGrbl->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    chkGRBLShowVOutput = Make<QCheckBox>(grpGRBLOutput, "chkGRBLShowVOutput", 8, 106, 200, 20);
    chkGRBLShowVOutput->setText(QStringLiteral("Show status"));

    sbtGrblComp = Button(this, "sbtGrblComp", "Compact", 0, 0, 76);
    sbtGrblExit = Button(this, "sbtGrblExit", "Exit", 0, 0, 76);
    PlaceBottomButtons();

    GrblTimer = m_Clock.MakeTimer();
}

void TfrmGRBL::PlaceBottomButtons()
{
    const int w = m_CompactLayout ? CompactWidth : FullWidth;
    const int h = m_CompactLayout ? CompactHeight : FullHeight;
    sbtGrblComp->move(w - 160, h - 32);
    sbtGrblExit->move(w - 80, h - 32);
}

void TfrmGRBL::WireControls()
{
    m_UsbPort->OnReceived = [this](std::string_view bytes) {
        if (m_Link)
            GuardedCall([&] { m_Link->ParseReply(bytes); });
    };
    m_UsbPort->OnFailed = [this](const std::string& reason) {
        GuardedCall([&] {
            if (m_Link)
                m_Link->PortLost(reason);
            else
                m_Console->AppendLine(reason);
            GRBLOpenCloseCom(true);
        });
    };
    const auto link = [this](auto fn) {
        return [this, fn] {
            if (m_Link)
                GuardedCall([&] { fn(*m_Link); });
        };
    };
    connect(sbtGRBLOpenPort, &QPushButton::clicked, this, Guarded([this] { sbtGRBLOpenPortClick(); }));
    connect(SpTBXButton2, &QPushButton::clicked, this, Guarded([this] { ListPorts(); }));
    GrblTimer->OnTimeout = Guarded([this] { GrblTimerTimer(); });
    connect(sbtGRBLOpen, &QPushButton::clicked, this, Guarded([this] { sbtGRBLOpenClick(); }));
    connect(sbtGRBLLast, &QPushButton::clicked, this, Guarded([this] { sbtGRBLLastClick(); }));
    connect(sbtGRBLSend, &QPushButton::clicked, this, Guarded([this] { sbtGRBLSendClick(); }));
    connect(sbtGRLBPause, &QPushButton::clicked, this, Guarded([this] { sbtGRLBPauseClick(); }));
    connect(sbtGRLBAbort, &QPushButton::clicked, this, link([](TGRBLCnc& l) { l.RequestAbort(); }));
    connect(sbtGRBLReset, &QPushButton::clicked, this, link([](TGRBLCnc& l) { l.SoftReset(); }));
    connect(sbtGRBL_cSH, &QPushButton::clicked, this, link([](TGRBLCnc& l) { l.SendLine("$H"); }));
    connect(sbtGRBL_cSX, &QPushButton::clicked, this, link([](TGRBLCnc& l) { l.SendLine("$X"); }));
    connect(sbtGRBL_cSGC, &QPushButton::clicked, this, link([](TGRBLCnc& l) { l.SendLine("$#"); }));
    connect(sbtGRBL_cSG, &QPushButton::clicked, this, link([](TGRBLCnc& l) { l.SendLine("$G"); }));
    for (int tag = 0; tag < 6; ++tag)
        connect(JogButtons[tag], &QPushButton::clicked, this, link([this, tag](TGRBLCnc& l) {
                    l.Jog(tag, QStringToAnsi(cboGRBLInc->currentText()));
                }));
    for (int tag = 0; tag < 4; ++tag)
        connect(ZeroButtons[tag], &QPushButton::clicked, this, link([tag](TGRBLCnc& l) { l.Zero(tag); }));
    connect(sbtGRBL_WPos, &QPushButton::clicked, this, link([this](TGRBLCnc& l) {
                const bool machine = sbtGRBL_WPos->isChecked();
                sbtGRBL_WPos->setText(GRBLCaption(machine ? LangKeys::frmGRBL::sbtGRBL_MPos : LangKeys::frmGRBL::sbtGRBL_WPos));
                sbtGRBL_WPos->setStyleSheet(machine ? QStringLiteral("color: red;") : QString());
                l.SendLine(machine ? "$10=1" : "$10=2");
            }));
    connect(chkGRBLShowGPos, &QCheckBox::clicked, this, link([this](TGRBLCnc& l) {
                TMachineMarker* marker = MachineMarker();
                if (chkGRBLShowGPos->isChecked()) {
                    if (marker)
                        marker->ShowMachineMarker();
                    l.TrackPosition = true;
                } else {
                    l.TrackPosition = false;
                    if (marker)
                        marker->HideMachineMarker();
                }
            }));
    connect(chkGRBLShowVOutput, &QCheckBox::clicked, this,
            link([this](TGRBLCnc& l) { l.VerboseStatus = chkGRBLShowVOutput->isChecked(); }));
    connect(Edit_data, &QLineEdit::returnPressed, this, link([this](TGRBLCnc& l) {
                const std::string text = QStringToAnsi(Edit_data->text());
                Edit_data->clear();
                l.SendLine(text);
            }));
    connect(chkGRBLCheck, &QCheckBox::clicked, this, Guarded([this] { chkGRBLCheckClick(); }));
    connect(sbtGrblComp, &QPushButton::clicked, this, Guarded([this] { sbtGrblCompClick(); }));
    connect(sbtGrblExit, &QPushButton::clicked, this, [this] { hide(); });
}

// --- the link ------------------------------------------------------------------

void TfrmGRBL::CreateLink()
{
    if (m_Link) {
        // Hidden during a run that has not returned yet: that link goes on.
        m_ReleasePending = false;
        return;
    }
    m_Link = std::make_unique<TGRBLCnc>(*m_UsbPort, *m_Console, m_Clock);
    m_Link->OnRowDisplay = [this](const std::string& text) { txtGRBLRowF->setText(AnsiToQString(text)); };
    m_Link->OnRunChanged = [this](bool) { UpdateRunControls(); };
    m_Link->OnMachineChanged = [this] { UpdateMachineControls(); };
    m_Cont = std::make_unique<TGRBLCont>(*grpGRBLMdi, *grpGRBLMacros, m_Config.SettingsFileName(), *m_Link);
    m_FileChosen = false;
    EnaDisControlli(m_UsbPort->IsOpen());
}

void TfrmGRBL::ReleaseLink()
{
    m_ReleasePending = false;
    m_Cont.reset();
    m_Link.reset();
}

// --- show and hide -------------------------------------------------------------

void TfrmGRBL::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        GuardedCall([this] { FormShow(); });
}

void TfrmGRBL::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        GuardedCall([this] { FormHide(); });
}

void TfrmGRBL::FormShow()
{
    TranslateForms({this}, LanguageIni());
    ListPorts();
    EnaDisControlli(false);
    m_CompactLayout = true;
    sbtGrblCompClick();
}

void TfrmGRBL::FormHide()
{
    if (m_Link) {
        GRBLOpenCloseCom(true);
        if (m_Link->Busy())
            m_ReleasePending = true; // the run or connect frees it on return
        else
            ReleaseLink();
        TMachineMarker* marker = MachineMarker();
        if (marker && marker->OperationPrepared())
            marker->HideMachineMarker();
    }
}

void TfrmGRBL::ListPorts()
{
    const QString typed = ComCombo1->currentText();
    ComCombo1->clear();
    for (const std::string& port : TSerialPortTransport::AvailablePorts())
        ComCombo1->addItem(QFile::decodeName(port.c_str()));
    if (!typed.isEmpty())
        ComCombo1->setCurrentText(typed);
    else if (ComCombo1->count() == 0)
        ComCombo1->setCurrentText(QStringLiteral("/dev/ttyUSB0"));
}

// --- the port ------------------------------------------------------------------

void TfrmGRBL::sbtGRBLOpenPortClick() { GRBLOpenCloseCom(false); }

void TfrmGRBL::GRBLOpenCloseCom(bool closeOnly)
{
    if (m_UsbPort->IsOpen()) {
        if (m_Link)
            m_Link->PortClosed();
        GrblTimer->Stop();
        m_UsbPort->Close();
        EnaDisControlli(false);
        sbtGRBLOpenPort->setText(GRBLCaption(LangKeys::frmGRBL::sbtGRBLOpenPort));
        return;
    }
    if (closeOnly || !m_Link)
        return;
    const std::string device = QFile::encodeName(ComCombo1->currentText().trimmed()).toStdString();
    const int baud = ComCombo2->currentText().toInt();
    if (const std::string error = m_UsbPort->Open(device, baud > 0 ? baud : 115200); !error.empty()) {
        m_Console->AppendLine(LangFormat(ReadLangText("frmGRBL", LangKeys::frmGRBL::PortNotOpened), {device, error}));
        return;
    }
    sbtGRBLOpenPort->setText(GRBLCaption(LangKeys::frmGRBL::sbtGRBLClosePort));
    TGRBLCnc* link = m_Link.get();
    const bool connected = link->Connect();
    if (m_ReleasePending) {
        ReleaseLink(); // hidden while connecting
        return;
    }
    if (!connected || !m_UsbPort->IsOpen())
        return;
    EnaDisControlli(true);
    GrblTimer->Start(PollMs, true);
}

void TfrmGRBL::GrblTimerTimer()
{
    if (!m_Link || !m_UsbPort->IsOpen())
        return;
    if (m_PauseClicked && m_PauseSettledAfter < 0)
        m_PauseSettledAfter = m_Link->StatusReports();
    m_Link->SendRealtime(GrblStatusPoll);
    if (const std::optional<TGrblStatusDisplay> display = m_Link->StatusDisplay()) {
        lblGrblStat->setText(AnsiToQString(display->State));
        lblGRBLX->setText(AnsiToQString(display->Axis[0]));
        lblGRBLY->setText(AnsiToQString(display->Axis[1]));
        lblGRBLZ->setText(AnsiToQString(display->Axis[2]));
    }
    UpdateMachineControls();
}

void TfrmGRBL::UpdateMachineControls()
{
    if (!m_Link)
        return;
    chkGRBLCheck->setChecked(m_Link->CheckMode());
    if (m_Cont && m_Link->WcsKnown())
        m_Cont->ShowWcs(m_Link->WcsIndex);
    // Until a report shows the machine, the button shows the last click.
    if (m_Link->MachineState().empty())
        return;
    if (m_PauseClicked) {
        if (m_PauseSettledAfter < 0 || m_Link->StatusReports() <= m_PauseSettledAfter)
            return;
        m_PauseClicked = false;
    }
    const bool holding = m_Link->Holding();
    sbtGRLBPause->setChecked(holding);
    sbtGRLBPause->setText(holding ? QStringLiteral("Resume") : QStringLiteral("Pause"));
}

// --- the program ---------------------------------------------------------------

void TfrmGRBL::ChooseFile(const std::string& fileName)
{
    const std::string before = m_Link->FileName;
    m_Link->FileName = fileName;
    try {
        m_Link->CountFileLines();
    } catch (...) {
        m_Link->FileName = before;
        throw;
    }
    const QString path = QFile::decodeName(fileName.c_str());
    lblGrblTxFile->setText(lblGrblTxFile->fontMetrics().elidedText(path, Qt::ElideMiddle, lblGrblTxFile->width()));
    lblGrblTxFile->setToolTip(path);
    m_FileChosen = true;
    txtGRBLRowF->setText(AnsiToQString(std::to_string(m_Link->SentCount) + m_Link->TotalSuffix));
    UpdateRunControls();
}

void TfrmGRBL::sbtGRBLOpenClick()
{
    if (!m_Link || m_Link->Running() || !AskProgramFileName)
        return;
    const std::string name = AskProgramFileName(m_Config.FilePath_Cnc);
    if (!name.empty())
        ChooseFile(name);
}

void TfrmGRBL::sbtGRBLLastClick()
{
    if (!m_Link || m_Link->Running())
        return;
    const std::string name = LastProgramFileName();
    if (!name.empty())
        ChooseFile(name);
}

void TfrmGRBL::sbtGRBLSendClick()
{
    if (!m_Link || m_Link->Running() || !m_FileChosen)
        return;
    struct TReleaseAfterRun {
        TfrmGRBL& Form;
        ~TReleaseAfterRun()
        {
            if (Form.m_ReleasePending)
                Form.ReleaseLink();
        }
    } release{*this};
    m_Link->StreamFile(int(std::lround(sbrGRBLPassN->value())));
}

void TfrmGRBL::sbtGRLBPauseClick()
{
    const bool hold = sbtGRLBPause->isChecked();
    sbtGRLBPause->setText(hold ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    if (m_Link)
        m_Link->SendRealtime(hold ? GrblFeedHold : GrblResume);
    // The next reports tell whether the machine followed.
    m_PauseClicked = true;
    m_PauseSettledAfter = -1;
}

void TfrmGRBL::chkGRBLCheckClick()
{
    const bool connected = m_Link && m_UsbPort->IsOpen() && m_Link->PortOpen();
    if (connected)
        m_Link->SendLine("$C");
    // The box shows the machine's mode; the answer to "$C" sets it.
    chkGRBLCheck->setChecked(connected && m_Link->CheckMode());
}

// --- enabled states ------------------------------------------------------------

void TfrmGRBL::EnaDisControlli(bool enable)
{
    for (QWidget* w : std::initializer_list<QWidget*>{sbtGRBLReset, grpGRBLStatus, grpGRBLOutput, grpGRBLFile,
                                                      grpGRBLCommand, grpGRBLMdi})
        w->setEnabled(enable);
    UpdateRunControls();
}

void TfrmGRBL::UpdateRunControls()
{
    const bool idle = !(m_Link && m_Link->Running());
    for (QWidget* w : std::initializer_list<QWidget*>{grpGRBLCommand, grpGRBLMdi})
        w->setEnabled(idle && m_UsbPort->IsOpen());
    for (QWidget* w : std::initializer_list<QWidget*>{sbtGRBL_WPos, chkGRBLCheck, sbtGRBLOpen, sbtGRBLLast})
        w->setEnabled(idle);
    sbtGRBLSend->setEnabled(idle && m_FileChosen);
    if (m_Cont)
        m_Cont->SetMacroSendEnabled(idle);
}

// --- layouts -------------------------------------------------------------------

void TfrmGRBL::sbtGrblCompClick()
{
    const bool wasCompact = m_CompactLayout;
    m_CompactLayout = !m_CompactLayout;
    if (wasCompact) {
        grpGRBLPort->show();
        grpGRBLOutput->show();
        pgCtrlGrbl->show();
        sbtGRBLReset->move(8, 109);
        grpGRBLStatus->move(8, 136);
        sbtGRLBPause->setParent(grpGRBLFile);
        sbtGRLBPause->move(8, 116);
        sbtGRLBAbort->setParent(grpGRBLFile);
        sbtGRLBAbort->move(154, 116);
        txtGRBLRowF->setParent(grpGRBLFile);
        txtGRBLRowF->setGeometry(112, 152, 161, txtGRBLRowF->height());
        for (QWidget* w : std::initializer_list<QWidget*>{sbtGRLBPause, sbtGRLBAbort, txtGRBLRowF})
            w->show();
        delete m_CompactGroup;
        m_CompactGroup = nullptr;
        sbtGrblComp->setText(GRBLCaption(LangKeys::frmGRBL::sbtGrblComp));
        setFixedSize(FullWidth, FullHeight);
    } else {
        grpGRBLPort->hide();
        grpGRBLOutput->hide();
        pgCtrlGrbl->hide();
        sbtGRBLReset->move(8, 8);
        grpGRBLStatus->move(8, 35);
        m_CompactGroup = Group(this, "CompactGroup", "", 8, 268, 148, 104);
        m_CompactGroup->setTitle(GRBLCaption(LangKeys::frmGRBL::tabGrblFile));
        sbtGRLBPause->setParent(m_CompactGroup);
        sbtGRLBPause->move(16, 16);
        sbtGRLBAbort->setParent(m_CompactGroup);
        sbtGRLBAbort->move(16, 48);
        txtGRBLRowF->setParent(m_CompactGroup);
        txtGRBLRowF->setGeometry(8, 78, 132, txtGRBLRowF->height());
        for (QWidget* w : std::initializer_list<QWidget*>{sbtGRLBPause, sbtGRLBAbort, txtGRBLRowF})
            w->show();
        m_CompactGroup->show();
        sbtGrblComp->setText(GRBLCaption(LangKeys::frmGRBL::sbtGrblExp));
        setFixedSize(CompactWidth, CompactHeight);
    }
    PlaceBottomButtons();
}
