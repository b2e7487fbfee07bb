// The machine-control window on the offscreen platform.

#include "nc/ui/frmGRBL.h"

#include "tests/nc/grbl/GrblTestFakes.h"
#include "tests/nc_ui/GrblFakeTestSupport.h"

#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "nc/grbl/LastProgram.h"
#include "nc/ui/GRBLCont.h"
#include "nc/ui/MachineCommand.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace kbtest;

namespace {

std::string Lines(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "G1X" + std::to_string(i % 50) + "F1000\n";
    return text;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

ino_t Inode(const std::string& file)
{
    struct stat st {};
    stat(file.c_str(), &st);
    return st.st_ino;
}

class FrmGRBL : public ::testing::Test {
protected:
    FrmGRBL()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        WriteFileText(Dir.File("kestrabel.ini"),
                      "[Default]\nUnit=1\n[GRBLMacros]\nMacro0=G0X0Y0;G0Z5;\n[Toolbar]\nfile=1\n");
        Config = std::make_unique<TAppConfig>(Dir.Path().string());
    }
    ~FrmGRBL() override { SetLanguageIni(nullptr); }

    // A window on a recording port that answers the reset with the banner.
    std::unique_ptr<TfrmGRBL> RecordingWindow()
    {
        auto port = std::make_unique<TRecordingTransport>();
        Port = port.get();
        auto form = std::make_unique<TfrmGRBL>(*Config, std::move(port), &Clock);
        form->AskProgramFileName = [this](const std::string&) { return NextFile; };
        return form;
    }
    void OpenPort(TfrmGRBL& form, const std::string& device)
    {
        form.ComCombo1->setCurrentText(QString::fromStdString(device));
        form.sbtGRBLOpenPort->click();
    }
    void Choose(TfrmGRBL& form, const std::string& name, int lines)
    {
        NextFile = Dir.File(name);
        WriteFileText(NextFile, Lines(lines));
        form.sbtGRBLOpen->click();
    }

    TTempDir Dir;
    std::unique_ptr<TAppConfig> Config;
    TManualClock Clock;
    TRecordingTransport* Port = nullptr;
    std::string NextFile;
};

} // namespace

TEST_F(FrmGRBL, MachineCommandMakesOneLinkAndAFailedOpenGoesToTheConsole)
{
    auto form = RecordingWindow();
    mnuCncGrblClick(*form);
    ASSERT_TRUE(form->isVisible());
    TGRBLCnc* link = form->Link();
    ASSERT_NE(link, nullptr);
    mnuCncGrblClick(*form);
    EXPECT_EQ(form->Link(), link) << "the window shown: no second link";

    Port->OpenError = "No such file or directory";
    OpenPort(*form, "/dev/nothing-here");
    EXPECT_EQ(form->sbtGRBLOpenPort->text(), "Open port");
    EXPECT_FALSE(form->grpGRBLCommand->isEnabled());
    EXPECT_FALSE(form->sbtGRBLReset->isEnabled());
    EXPECT_FALSE(form->GrblTimer->IsActive());
    EXPECT_TRUE(form->MemoGrbl->toPlainText().contains("Port /dev/nothing-here not opened: No such file"));
    EXPECT_TRUE(Port->Writes.empty());

    Port->OpenError.clear();
    Port->AnswerOk = true;
    OpenPort(*form, "/dev/ttyFAKE");
    EXPECT_EQ(Port->Device, "/dev/ttyFAKE");
    EXPECT_EQ(form->sbtGRBLOpenPort->text(), "Close port");
    EXPECT_TRUE(form->grpGRBLCommand->isEnabled());
    EXPECT_TRUE(form->GrblTimer->IsActive());
    EXPECT_EQ(Port->Writes, (std::vector<std::string>{"\x18", "$10=2\n", "$G\n"}));

    form->hide();
    EXPECT_EQ(form->Link(), nullptr);
    EXPECT_FALSE(Port->IsOpen());
}

TEST_F(FrmGRBL, PauseTwiceEnterAndCheckMode)
{
    auto form = RecordingWindow();
    mnuCncGrblClick(*form);
    form->chkGRBLCheck->click();
    EXPECT_FALSE(form->chkGRBLCheck->isChecked()) << "no port: unchecked, nothing sent";
    Port->AnswerOk = true;
    OpenPort(*form, "/dev/ttyFAKE");
    Port->Writes.clear();

    form->sbtGRLBPause->click();
    EXPECT_EQ(form->sbtGRLBPause->text(), "Resume");
    form->sbtGRLBPause->click();
    EXPECT_EQ(form->sbtGRLBPause->text(), "Pause");
    form->Edit_data->setFocus();
    QTest::keyClick(form->Edit_data, Qt::Key_Return);
    form->Edit_data->setText("G0 X5");
    QTest::keyClick(form->Edit_data, Qt::Key_Return);
    EXPECT_TRUE(form->Edit_data->text().isEmpty());
    form->chkGRBLCheck->click();
    form->JogButtons[1]->click();
    form->ZeroButtons[1]->click();
    EXPECT_EQ(Port->Writes, (std::vector<std::string>{"!", "~", "\n", "G0 X5\n", "$C\n", "$J=G91 G21 X1 F100000\n",
                                                      "G10L20P1Y0\n", "$G\n"}));
}

TEST_F(FrmGRBL, CheckBoxAndPauseShowTheMachine)
{
    auto form = RecordingWindow();
    mnuCncGrblClick(*form);
    Port->AnswerOk = true;
    OpenPort(*form, "/dev/ttyFAKE");
    const auto status = [&](const std::string& state) {
        Port->OnReceived("<" + state + "|WPos:0.000,0.000,0.000|FS:0,0>\r\n");
    };

    // "$C" refused while moving: the box stays clear.
    Port->AnswerOk = false;
    form->chkGRBLCheck->click();
    EXPECT_EQ(Port->Writes.back(), "$C\n");
    Port->OnReceived("error:8\r\n");
    EXPECT_FALSE(form->chkGRBLCheck->isChecked());
    // Accepted: ticked; a banner (reset) leaves check mode: clear again.
    form->chkGRBLCheck->click();
    Port->OnReceived("[MSG:Enabled]\r\nok\r\n");
    EXPECT_TRUE(form->chkGRBLCheck->isChecked());
    Port->OnReceived("\r\nGrbl 1.1h ['$' for help]\r\n");
    EXPECT_FALSE(form->chkGRBLCheck->isChecked());

    // Pause follows the reported state.
    status("Run");
    Clock.Advance(TfrmGRBL::PollMs);
    EXPECT_EQ(form->sbtGRLBPause->text(), "Pause");
    form->sbtGRLBPause->click(); // "!"
    EXPECT_EQ(form->sbtGRLBPause->text(), "Resume");
    status("Run"); // a report from before the hold
    EXPECT_EQ(form->sbtGRLBPause->text(), "Resume") << "the last click shows until a later poll answers";
    Clock.Advance(TfrmGRBL::PollMs);
    status("Hold:1");
    Clock.Advance(TfrmGRBL::PollMs);
    EXPECT_EQ(form->sbtGRLBPause->text(), "Resume");
    EXPECT_TRUE(form->sbtGRLBPause->isChecked());
    // "~" while still slowing down is ignored by the machine: still Resume.
    form->sbtGRLBPause->click();
    EXPECT_EQ(Port->Writes.back(), "~");
    Clock.Advance(TfrmGRBL::PollMs);
    status("Hold:1");
    Clock.Advance(TfrmGRBL::PollMs);
    EXPECT_EQ(form->sbtGRLBPause->text(), "Resume");
    EXPECT_TRUE(form->sbtGRLBPause->isChecked());
    form->sbtGRLBPause->click();
    Clock.Advance(TfrmGRBL::PollMs);
    status("Run");
    Clock.Advance(TfrmGRBL::PollMs);
    EXPECT_EQ(form->sbtGRLBPause->text(), "Pause");
    EXPECT_FALSE(form->sbtGRLBPause->isChecked());
    // A hold from elsewhere (a door, a macro's "!") shows too.
    status("Door:0");
    Clock.Advance(TfrmGRBL::PollMs);
    EXPECT_EQ(form->sbtGRLBPause->text(), "Resume");
    form->hide();
}

TEST_F(FrmGRBL, LayoutsFullCompactAndBack)
{
    auto form = RecordingWindow();
    mnuCncGrblClick(*form);
    EXPECT_FALSE(form->CompactLayout());
    EXPECT_EQ(form->size(), QSize(TfrmGRBL::FullWidth, TfrmGRBL::FullHeight));
    form->sbtGrblComp->click();
    EXPECT_TRUE(form->CompactLayout());
    EXPECT_EQ(form->size(), QSize(TfrmGRBL::CompactWidth, TfrmGRBL::CompactHeight));
    ASSERT_NE(form->CompactGroup(), nullptr);
    EXPECT_EQ(form->sbtGRLBPause->parentWidget(), form->CompactGroup());
    EXPECT_EQ(form->sbtGRLBAbort->pos(), QPoint(16, 48));
    EXPECT_EQ(form->txtGRBLRowF->geometry().topLeft(), QPoint(8, 78));
    EXPECT_FALSE(form->pgCtrlGrbl->isVisible());
    EXPECT_EQ(form->grpGRBLStatus->pos(), QPoint(8, 35));
    EXPECT_EQ(form->sbtGrblComp->text(), "Expand");

    form->sbtGrblComp->click();
    EXPECT_EQ(form->CompactGroup(), nullptr);
    EXPECT_EQ(form->findChild<QGroupBox*>("CompactGroup"), nullptr);
    EXPECT_EQ(form->sbtGRLBPause->parentWidget(), form->grpGRBLFile);
    EXPECT_EQ(form->sbtGRLBPause->pos(), QPoint(8, 116));
    EXPECT_EQ(form->sbtGRLBAbort->pos(), QPoint(154, 116));
    EXPECT_EQ(form->txtGRBLRowF->geometry(), QRect(112, 152, 161, form->txtGRBLRowF->height()));
    EXPECT_EQ(form->sbtGRBLReset->pos(), QPoint(8, 109));

    // Hidden compact, shown again: full.
    form->sbtGrblComp->click();
    form->hide();
    mnuCncGrblClick(*form);
    EXPECT_FALSE(form->CompactLayout());
    EXPECT_EQ(form->size(), QSize(TfrmGRBL::FullWidth, TfrmGRBL::FullHeight));
    EXPECT_TRUE(form->pgCtrlGrbl->isVisible());
}

TEST_F(FrmGRBL, RowDisplayAcrossRunsAndTheLastProgram)
{
    auto form = RecordingWindow();
    mnuCncGrblClick(*form);
    Port->AnswerOk = true;
    OpenPort(*form, "/dev/ttyFAKE");
    EXPECT_FALSE(form->sbtGRBLSend->isEnabled());
    Choose(*form, "a.nc", 340);
    EXPECT_EQ(form->txtGRBLRowF->text(), "0 / 340");
    EXPECT_TRUE(form->sbtGRBLSend->isEnabled());
    form->sbtGRBLSend->click();
    EXPECT_EQ(form->txtGRBLRowF->text(), "340 / 340");
    EXPECT_LE(form->MemoGrbl->blockCount(), TGRBLCnc::ConsoleMaxLines);

    const std::string last = Dir.File("last.nc");
    WriteFileText(last, Lines(100));
    const TLastProgramHook before = SetLastProgramHook([last] { return last; });
    form->sbtGRBLLast->click();
    SetLastProgramHook(before);
    EXPECT_EQ(form->txtGRBLRowF->text(), "340 / 100");
    EXPECT_EQ(form->Link()->FileName, last);

    // A file that cannot be opened leaves the choice as it was.
    NextFile = Dir.File("missing.nc");
    form->sbtGRBLOpen->click();
    EXPECT_EQ(form->Link()->FileName, last);
}

TEST_F(FrmGRBL, MacrosKeptOtherSectionsKeptUnchangedNotRewritten)
{
    const std::string ini = Dir.File("kestrabel.ini");
    {
        auto form = RecordingWindow();
        mnuCncGrblClick(*form);
        Port->AnswerOk = true;
        OpenPort(*form, "/dev/ttyFAKE");
        EXPECT_EQ(form->findChild<QLineEdit*>("edtGRBLMacro0")->text(), "G0X0Y0;G0Z5;");
        Port->Writes.clear();
        form->findChild<QPushButton*>("sbtGRBLMacro0")->click();
        EXPECT_EQ(Port->Writes, (std::vector<std::string>{"G0X0Y0\n", "G0Z5\n"}));
        form->findChild<QPushButton*>("sbtGRBLWcs2")->click();
        EXPECT_EQ(form->Link()->WcsIndex, 2);
        EXPECT_TRUE(form->findChild<QPushButton*>("sbtGRBLWcs2")->isChecked());
        EXPECT_FALSE(form->findChild<QPushButton*>("sbtGRBLWcs0")->isChecked());

        // Unchanged: the file is not written.
        const ino_t inode = Inode(ini);
        form->hide();
        EXPECT_EQ(Inode(ini), inode);

        mnuCncGrblClick(*form);
        form->findChild<QLineEdit*>("edtGRBLMacro3")->setText("$H;");
        form->hide();
        EXPECT_EQ(form->findChild<QLineEdit*>("edtGRBLMacro3"), nullptr) << "the controls go with the link";
    }
    const std::string text = ReadFileText(ini);
    EXPECT_NE(text.find("Macro3=$H;"), std::string::npos);
    EXPECT_NE(text.find("Macro0=G0X0Y0;G0Z5;"), std::string::npos);
    EXPECT_NE(text.find("[Toolbar]\nfile=1"), std::string::npos);

    // The next window reads them back.
    auto form = RecordingWindow();
    mnuCncGrblClick(*form);
    EXPECT_EQ(form->findChild<QLineEdit*>("edtGRBLMacro3")->text(), "$H;");
}

TEST_F(FrmGRBL, MarkerFollowsTheReportedPosition)
{
    TRecordingMarker marker;
    auto form = RecordingWindow();
    mnuCncGrblClick(*form);
    OpenPort(*form, "/dev/ttyFAKE");
    form->chkGRBLShowGPos->click();
    EXPECT_EQ(marker.Shows, 1);
    Port->OnReceived("<Idle|MPos:1.000,2.000,3.000|FS:0,0>\r\n");
    form->GrblTimerTimer();
    EXPECT_EQ(form->lblGRBLX->text(), "1.000");
    EXPECT_EQ(form->lblGRBLY->text(), "2.000");
    EXPECT_EQ(form->lblGrblStat->text(), "Idle");
    ASSERT_EQ(marker.Moves.size(), 1u);
    Port->OnReceived("<Alarm|MPos:x,2.000,3.000|FS:0,0>\r\n");
    form->GrblTimerTimer();
    EXPECT_EQ(form->lblGrblStat->text(), "Idle") << "labels stay";
    EXPECT_EQ(marker.Moves.size(), 1u);
    form->hide();
    EXPECT_EQ(marker.Hides, 1);
}

// --- on the fake GRBL ------------------------------------------------------------

TEST_F(FrmGRBL, PollsEveryQuarterSecondOnTheFake)
{
    TFakeGrbl fake(Dir, {});
    ASSERT_FALSE(fake.Device.empty());
    TfrmGRBL form(*Config, nullptr, &Clock);
    mnuCncGrblClick(form);
    OpenPort(form, fake.Device);
    ASSERT_TRUE(form.GrblTimer->IsActive()) << form.MemoGrbl->toPlainText().toStdString();
    // Each quarter of a second on the clock is one poll, none in between.
    for (int quarter = 1; quarter <= 4; ++quarter) {
        Clock.Advance(TfrmGRBL::PollMs - 1);
        Clock.Advance(1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.Link()->StatusReports() == quarter; }, 5000));
    }
    Clock.Advance(TfrmGRBL::PollMs - 1);
    EXPECT_EQ(fake.Count("RT ?"), 4);
    Clock.Advance(1);
    EXPECT_EQ(form.lblGrblStat->text(), "Idle");

    // The controller goes away: the port is closed, the window says why.
    fake.Stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.UsbPort().IsOpen(); }, 5000));
    EXPECT_FALSE(form.GrblTimer->IsActive());
    EXPECT_FALSE(form.grpGRBLCommand->isEnabled());
    EXPECT_EQ(form.sbtGRBLOpenPort->text(), "Open port");
    EXPECT_TRUE(form.MemoGrbl->toPlainText().contains("Connection to the machine lost ("));
    form.hide();
}

TEST_F(FrmGRBL, CheckBoxFollowsTheMachineOnTheFake)
{
    // A long jog keeps the machine moving: "$C" is refused.
    TFakeGrbl fake(Dir, {"--block-ms", "3000"});
    ASSERT_FALSE(fake.Device.empty());
    TfrmGRBL form(*Config, nullptr, &Clock);
    mnuCncGrblClick(form);
    OpenPort(form, fake.Device);
    const auto settled = [&] {
        return QTest::qWaitFor([&] { return form.Link()->Unanswered() == 0 && form.Link()->Queued() == 0; }, 5000);
    };
    ASSERT_TRUE(settled());
    form.JogButtons[1]->click();
    form.chkGRBLCheck->click();
    ASSERT_TRUE(settled());
    EXPECT_EQ(fake.Count("OUT error:8"), 1);
    EXPECT_FALSE(form.chkGRBLCheck->isChecked());

    // Stopped by a reset (ALARM:3), unlocked: check mode on, then off,
    // which resets the machine.
    form.sbtGRBLReset->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.Count("OUT ALARM:3") == 1; }, 5000));
    form.GRBLOpenCloseCom(true);
    OpenPort(form, fake.Device);
    form.Link()->SendLine("$X");
    ASSERT_TRUE(settled());
    form.chkGRBLCheck->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.chkGRBLCheck->isChecked(); }, 5000));
    form.chkGRBLCheck->click();
    // Banners: the two connects, the reset and the end of check mode.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return fake.Count("OUT Grbl 1.1h ['$' for help]") == 4 && !form.chkGRBLCheck->isChecked(); }, 5000))
        << Joined(fake.Log());
    form.hide();
}

TEST_F(FrmGRBL, PauseShowsTheHoldTheFakeKeeps)
{
    TFakeGrbl fake(Dir, {"--block-ms", "3000"});
    ASSERT_FALSE(fake.Device.empty());
    TfrmGRBL form(*Config, nullptr, &Clock);
    mnuCncGrblClick(form);
    OpenPort(form, fake.Device);
    // One poll: its report, and the window's update from it.
    const auto poll = [&] {
        const int64_t reports = form.Link()->StatusReports();
        Clock.Advance(TfrmGRBL::PollMs);
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.Link()->StatusReports() > reports; }, 5000));
    };
    form.JogButtons[1]->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.Count("IN $J=G91 G21 X1 F100000") == 1; }, 5000));
    // Pause, and at once Resume while the machine still slows down: the
    // machine ignores it and holds.
    form.sbtGRLBPause->click();
    form.sbtGRLBPause->click();
    EXPECT_EQ(form.sbtGRLBPause->text(), "Pause") << "the click, until a report";
    for (int i = 0; i < 40 && form.Link()->MachineState() != "Hold:0"; ++i)
        poll();
    ASSERT_EQ(form.Link()->MachineState(), "Hold:0");
    Clock.Advance(TfrmGRBL::PollMs);
    EXPECT_EQ(form.sbtGRLBPause->text(), "Resume");
    EXPECT_TRUE(form.sbtGRLBPause->isChecked());
    EXPECT_EQ(fake.Count("RT resume"), 1);
    form.hide();
}

TEST_F(FrmGRBL, ControlsInARunAndExitInARun)
{
    TFakeGrbl fake(Dir, {"--block-ms", "20"});
    ASSERT_FALSE(fake.Device.empty());
    TRecordingMarker marker;
    TfrmGRBL form(*Config, nullptr, &Clock);
    form.AskProgramFileName = [this](const std::string&) { return NextFile; };
    mnuCncGrblClick(form);
    OpenPort(form, fake.Device);
    Choose(form, "run.nc", 200);
    form.chkGRBLShowGPos->click();

    // Exit when the row display shows line 20.
    std::map<std::string, bool> during;
    QObject::connect(form.txtGRBLRowF, &QLineEdit::textChanged, &form, [&](const QString& text) {
        if (text != "20 / 200")
            return;
        const auto macroSend = form.findChild<QPushButton*>("sbtGRBLMacro0");
        during = {{"jog", form.JogButtons[0]->isEnabled()},
                  {"zero", form.ZeroButtons[3]->isEnabled()},
                  {"wcs", form.findChild<QPushButton*>("sbtGRBLWcs1")->isEnabled()},
                  {"macro", macroSend->isEnabled()},
                  {"typed", form.Edit_data->isEnabled()},
                  {"$H", form.sbtGRBL_cSH->isEnabled()},
                  {"position mode", form.sbtGRBL_WPos->isEnabled()},
                  {"check", form.chkGRBLCheck->isEnabled()},
                  {"send", form.sbtGRBLSend->isEnabled()},
                  {"open", form.sbtGRBLOpen->isEnabled()},
                  {"last", form.sbtGRBLLast->isEnabled()},
                  {"pause", form.sbtGRLBPause->isEnabled()},
                  {"abort", form.sbtGRLBAbort->isEnabled()},
                  {"reset", form.sbtGRBLReset->isEnabled()},
                  {"exit", form.sbtGrblExit->isEnabled()},
                  {"show position", form.chkGRBLShowGPos->isEnabled()}};
        form.sbtGrblExit->click();
    });
    form.sbtGRBLSend->click();
    const std::map<std::string, bool> expected = {
        {"jog", false},   {"zero", false}, {"wcs", false},  {"macro", false},  {"typed", false},
        {"$H", false},    {"position mode", false},         {"check", false},  {"send", false},
        {"open", false},  {"last", false}, {"pause", true}, {"abort", true},   {"reset", true},
        {"exit", true},   {"show position", true}};
    EXPECT_EQ(during, expected);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Link(), nullptr) << "freed once the run returned";
    EXPECT_FALSE(form.UsbPort().IsOpen());
    EXPECT_EQ(marker.Hides, 1);
    // The connect's two lines and twenty program lines, no more.
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.Received().size() >= 22u; }, 5000));
    EXPECT_EQ(fake.Received().size(), 22u);

    // A new machine command works on a fresh link.
    mnuCncGrblClick(form);
    ASSERT_NE(form.Link(), nullptr);
    EXPECT_EQ(form.Link()->SentCount, 0);
    EXPECT_FALSE(form.Link()->Running());
    EXPECT_TRUE(form.sbtGRBLOpen->isEnabledTo(form.grpGRBLFile)) << "only the closed port keeps it off";
    form.hide();
}
