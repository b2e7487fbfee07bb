#include "nc/editor/TextSimulation.h"
#include "nc/ui/NodraDialogs.h"
#include "nc/ui/NodraMain.h"

#include "tests/support/RecordingNotifier.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class NodraTabs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        m_Editor = new TNodraFrmMain;
        m_Editor->show();
    }
    void TearDown() override
    {
        if (m_Editor) {
            m_Notifier.DefaultAnswer = EUserAnswer::No; // drop what is left unsaved
            m_Editor->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString Write(const char* name, const QByteArray& bytes)
    {
        const QString path = m_Dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void Type(const char* keys) { QTest::keyClicks(m_Editor->CurrentEditor(), keys); }
    QString SelectedText() const { return m_Editor->CurrentEditor()->selectedText(); }

    kbtest::TRecordingNotifier m_Notifier;
    QTemporaryDir m_Dir;
    QPointer<TNodraFrmMain> m_Editor;
};

TEST_F(NodraTabs, OpenSaveAndCaptionsFollowTheFile)
{
    EXPECT_EQ(m_Editor->windowTitle(), "Nodrapad v 0.9.9.2");
    EXPECT_EQ(m_Editor->CurrentCaption(), "Untitled1");
    EXPECT_EQ(m_Editor->StatusText(1), "ready...");
    EXPECT_EQ(m_Editor->CurrentEditor()->font().family(), "Courier New");

    // A fresh untitled tab takes the opened file, keeping its LF line ends.
    const QString a = Write("a.nc", "G0 X1\nG1 Y2\n");
    m_Notifier.QueueFileName(a.toStdString());
    m_Editor->OpenClick();
    EXPECT_EQ(m_Editor->Tabs()->count(), 1);
    EXPECT_EQ(m_Editor->CurrentCaption(), a);
    EXPECT_EQ(m_Editor->StatusText(1), "");

    // New, typed into: a second open goes to a tab of its own.
    m_Editor->NewClick();
    EXPECT_EQ(m_Editor->CurrentCaption(), "Untitled2");
    Type("X");
    EXPECT_EQ(m_Editor->CurrentCaption(), "Untitled2*");
    EXPECT_EQ(m_Editor->StatusText(1), "Modified");
    m_Notifier.QueueFileName(a.toStdString());
    m_Editor->OpenClick();
    EXPECT_EQ(m_Editor->Tabs()->count(), 3);

    // Save of an untitled tab asks for a name; the caption takes it.
    m_Editor->Tabs()->setCurrentIndex(1);
    const QString b = m_Dir.filePath("b.nc");
    m_Notifier.QueueFileName(b.toStdString());
    EXPECT_TRUE(m_Editor->SaveClick());
    EXPECT_EQ(m_Editor->CurrentCaption(), b);
    EXPECT_EQ(m_Editor->StatusText(1), "Wrote " + b);
    EXPECT_EQ(Read(b), "X");

    // Save of a modified file tab writes without asking, line ends as read.
    m_Editor->Tabs()->setCurrentIndex(0);
    m_Editor->CurrentEditor()->setCursorPosition(0, 5);
    QTest::keyClick(m_Editor->CurrentEditor(), Qt::Key_Return);
    EXPECT_EQ(m_Editor->CurrentCaption(), a + "*");
    m_Notifier.Strict = true;
    EXPECT_TRUE(m_Editor->SaveClick());
    EXPECT_EQ(Read(a), "G0 X1\n\nG1 Y2\n");
    EXPECT_EQ(m_Editor->CurrentCaption(), a);
    // Unmodified: nothing written, nothing shown.
    m_Editor->SetPostName("x");
    EXPECT_TRUE(m_Editor->SaveClick());
}

TEST_F(NodraTabs, ClosingTabsAsksForModifiedOnes)
{
    Type("G0");
    // Cancel keeps the tab; Yes then a cancelled save dialog keeps it too.
    m_Notifier.QueueAnswer(EUserAnswer::Dismissed);
    EXPECT_FALSE(m_Editor->CloseTabClick());
    m_Notifier.QueueAnswer(EUserAnswer::Yes);
    m_Notifier.QueueFileName("");
    EXPECT_FALSE(m_Editor->CloseTabClick());
    EXPECT_EQ(m_Editor->CurrentCaption(), "Untitled1*");
    EXPECT_EQ(m_Notifier.Messages().back().Text, "Save changes to Untitled1?");

    // No: the only tab is emptied and becomes Untitled1.
    m_Notifier.QueueAnswer(EUserAnswer::No);
    EXPECT_TRUE(m_Editor->CloseTabClick());
    EXPECT_EQ(m_Editor->Tabs()->count(), 1);
    EXPECT_EQ(m_Editor->CurrentCaption(), "Untitled1");
    EXPECT_TRUE(m_Editor->CurrentEditor()->text().isEmpty());

    // The window's close stops at a Cancel and keeps the window.
    m_Editor->NewClick();
    Type("G1");
    m_Notifier.QueueAnswer(EUserAnswer::Dismissed);
    EXPECT_FALSE(m_Editor->close());
    ASSERT_TRUE(m_Editor);
    EXPECT_EQ(m_Editor->CurrentCaption(), "Untitled2*");
    m_Notifier.QueueAnswer(EUserAnswer::No);
    EXPECT_TRUE(m_Editor->close());
}

TEST_F(NodraTabs, FindReplaceAndGoToLine)
{
    Type("G0 X1 G0 Y1");
    m_Editor->CurrentEditor()->setCursorPosition(0, 0);
    EXPECT_TRUE(m_Editor->FindText("g0", false));
    EXPECT_EQ(SelectedText(), "G0");
    EXPECT_EQ(SelectionStart(*m_Editor->CurrentEditor()), 0);
    EXPECT_FALSE(m_Editor->FindText("Z9", false));
    EXPECT_EQ(m_Notifier.Messages().back().Text, "Unable to find \"Z9\"");

    // Find Next twice in the replace dialog: the first, then the second match.
    m_Editor->CurrentEditor()->setCursorPosition(0, 0);
    TNodraReplaceDialog& replace = *m_Editor->ReplaceDialog();
    replace.Open();
    replace.FindEdit()->setText("G0");
    replace.ReplaceEdit()->setText("G00");
    replace.FindNextClicked();
    EXPECT_EQ(SelectionStart(*m_Editor->CurrentEditor()), 0);
    replace.FindNextClicked();
    EXPECT_EQ(SelectionStart(*m_Editor->CurrentEditor()), 6);
    // Replace takes only the last match, then searches on: nothing left.
    const size_t messages = m_Notifier.Messages().size();
    replace.ReplaceClicked();
    EXPECT_EQ(m_Editor->CurrentEditor()->text(), "G0 X1 G00 Y1");
    EXPECT_EQ(m_Notifier.Messages().size(), messages); // silent after a replacement
    replace.FindNextClicked();
    EXPECT_EQ(m_Notifier.Messages().back().Text, "\"G0\" not found");

    m_Editor->CurrentEditor()->setText("G0 X1 G0 Y1");
    m_Editor->CurrentEditor()->setCursorPosition(0, 0);
    const size_t before = m_Notifier.Messages().size();
    replace.ReplaceAllClicked();
    EXPECT_EQ(m_Editor->CurrentEditor()->text(), "G00 X1 G00 Y1");
    EXPECT_EQ(m_Notifier.Messages().size(), before);
    replace.hide();

    m_Editor->CurrentEditor()->setText("a\r\nb\r\nc\r\n");
    m_Editor->GoToLine(3);
    EXPECT_EQ(m_Editor->StatusText(0), "  ln 3 col 0");
    m_Notifier.QueueDialog("NodraFrmGoLine", [] { return 2; });
    m_Editor->GoLineClick();
    EXPECT_EQ(m_Editor->StatusText(0), "  ln 3 col 0");
    TNodraFrmGoLine goLine(m_Editor);
    EXPECT_FALSE(goLine.OkButton()->isEnabled());
    QTest::keyClicks(goLine.LineEdit(), "1x2");
    EXPECT_EQ(goLine.LineEdit()->text(), "12"); // digits only
    EXPECT_TRUE(goLine.OkButton()->isEnabled());
}

TEST_F(NodraTabs, EnterKeepsTheLineIndentAndLineEnd)
{
    const QString a = Write("indent.nc", "    G1 X1\r\n");
    m_Notifier.QueueFileName(a.toStdString());
    m_Editor->OpenClick();
    m_Editor->CurrentEditor()->setCursorPosition(0, 9);
    QTest::keyClick(m_Editor->CurrentEditor(), Qt::Key_Return);
    Type("G2");
    EXPECT_EQ(m_Editor->CurrentEditor()->text(), "    G1 X1\r\n    G2\r\n");
}

TEST_F(NodraTabs, ProgramsFromTheMainWindowAndDrops)
{
    const QString program = Write("p.nc", "G0 X1\r\n");
    m_Editor->OpenProgram(program.toStdString(), true); // the first showing replaces the initial tab
    EXPECT_EQ(m_Editor->Tabs()->count(), 1);
    EXPECT_EQ(m_Editor->CurrentCaption(), program);

    // Regenerated: the unmodified tab is replaced without a question.
    Write("p.nc", "G0 X2\r\n");
    m_Notifier.Strict = true;
    m_Editor->OpenProgram(program.toStdString(), false);
    EXPECT_EQ(m_Editor->Tabs()->count(), 1);
    EXPECT_EQ(m_Editor->CurrentEditor()->text(), "G0 X2\r\n");
    // Modified: a second tab of the file beside it.
    Type("Y");
    m_Editor->OpenProgram(program.toStdString(), false);
    ASSERT_EQ(m_Editor->Tabs()->count(), 2);
    EXPECT_EQ(m_Editor->TabCaption(0), program + "*");
    EXPECT_EQ(m_Editor->TabCaption(1), program);
    m_Notifier.Strict = false;

    // A drop goes to a new tab unless the active one is untitled and clean.
    const QString dropped = Write("d.nc", "M3\r\n");
    m_Editor->DropFile(dropped);
    EXPECT_EQ(m_Editor->Tabs()->count(), 3);
    EXPECT_EQ(m_Editor->CurrentCaption(), dropped);
    m_Editor->DropFile(QString(300, 'x'));
    EXPECT_EQ(m_Editor->Tabs()->count(), 3);
    // A file that cannot be read is refused and leaves the tab alone.
    m_Editor->DropFile(m_Dir.filePath("missing.nc"));
    EXPECT_EQ(m_Notifier.Messages().back().Kind, EMessageKind::Error);
}

TEST_F(NodraTabs, PrintPlacesPageNumberAndFileName)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
    const QString program = Write("print.nc", "G0 X1\r\nG1 Y2\r\n\r\n");
    m_Editor->OpenProgram(program.toStdString(), true);
    const QString pdf = m_Dir.filePath("out.pdf");
    m_Editor->Printer().setOutputFormat(QPrinter::PdfFormat);
    m_Editor->Printer().setOutputFileName(pdf);
    m_Editor->SetPageNumberPlace(EPrintPlace::Footer);
    m_Editor->SetFileNamePlace(EPrintPlace::Header);
    m_Notifier.QueueDialog("PrintDialog", [] { return 1; });
    m_Editor->PrintClick();

    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    QStringList lines;
    for (const QString& line : QString::fromUtf8(text.readAllStandardOutput()).split(QRegularExpression("[\\n\\f]")))
        if (!line.trimmed().isEmpty())
            lines.push_back(line);
    ASSERT_GE(lines.size(), 4) << lines.join("|").toStdString();
    EXPECT_TRUE(lines.front().contains("print.nc")) << lines.front().toStdString(); // header
    EXPECT_TRUE(lines.back().contains("Page: 1")) << lines.back().toStdString();    // footer
    EXPECT_TRUE(lines[1].contains("G0 X1"));
    EXPECT_EQ(m_Editor->CurrentEditor()->selectedText(), "");
}

class TFakeSimulation final : public TEditorSimulation {
public:
    void PrepareText() override { ++Prepared; }
    void PlayText(TGCodeTextSource& text) override
    {
        ButtonsOffDuringPlay = !Frame->findChild<QAction*>("sbtStep")->isEnabled() &&
                               !Frame->findChild<QAction*>("sbtToStart")->isEnabled();
        for (int i = 0; i < text.LineCount(); ++i)
            Lines.push_back(text.LineText(i));
        text.ShowCurrentZ(-1.5);
        ++Plays;
    }
    void StepText(TGCodeTextSource& text) override { Steps.push_back(text.CaretLine()); }
    void RewindText(TGCodeTextSource&) override { ++Rewinds; }
    void Stop() override { ++Stops; }
    bool Running() const override { return false; }
    void ClearSimulating() override {}
    void Wait(int) override {}
    void EndTextSimulation() override { ++Ended; }
    void SetSpeed(int speedIndex) override { Speed = speedIndex; }
    int SpeedIndex() const override { return Speed; }
    bool ExtentsComputed() const override { return true; }
    TSimulationExtents Extents() const override { return {0, 10, -1, 5, -2, 3}; }
    int ReaderDialect() const override { return Dialect; }
    void ShowLimitsBox(bool show) override { LimitsBox = show; }

    TNodraFrmMain* Frame = nullptr;
    int Dialect = 1; // a dialect the text simulation reads in part
    int Prepared = 0, Plays = 0, Rewinds = 0, Stops = 0, Ended = 0, Speed = 5;
    bool ButtonsOffDuringPlay = false, LimitsBox = false;
    std::vector<std::string> Lines;
    std::vector<int> Steps;
};

TEST(NodraSimulationBar, FirstPlayOfAPartlyReadDialectWarnsOnce)
{
    kbtest::TRecordingNotifier notifier;
    TFakeSimulation simulation;
    SetEditorSimulation(&simulation);
    QPointer<TNodraFrmMain> editor = new TNodraFrmMain;
    simulation.Frame = editor;
    editor->show();
    EXPECT_EQ(simulation.Prepared, 1);
    editor->CurrentEditor()->setText("G0 X1\r\nG1 Z-1.5\r\n");

    editor->PlayClick();
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].Kind, EMessageKind::Warning);
    EXPECT_EQ(simulation.Plays, 0);
    editor->PlayClick();
    EXPECT_EQ(simulation.Plays, 1);
    EXPECT_TRUE(simulation.ButtonsOffDuringPlay);
    EXPECT_EQ(simulation.Lines, (std::vector<std::string>{"G0 X1", "G1 Z-1.5", ""}));
    EXPECT_EQ(editor->findChild<QLineEdit*>("txtCurrentZ")->text(), "-1.5");
    EXPECT_TRUE(editor->findChild<QAction*>("sbtStep")->isEnabled());
    EXPECT_FALSE(editor->Playing());

    editor->CurrentEditor()->setCursorPosition(1, 0);
    editor->StepClick();
    EXPECT_EQ(simulation.Steps, std::vector<int>{1});
    editor->findChild<QAction*>("sbtIsoLimits")->setChecked(true);
    EXPECT_TRUE(simulation.LimitsBox);
    EXPECT_NE(editor->findChild<QWidget*>("grpIsoLimits"), nullptr);
    editor->findChild<QAction*>("sbtIsoLimits")->setChecked(false);
    EXPECT_FALSE(simulation.LimitsBox);

    notifier.DefaultAnswer = EUserAnswer::No;
    editor->close();
    EXPECT_EQ(simulation.Ended, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetEditorSimulation(nullptr);
}

TEST(NodraSimulationBar, ShowNodraEditorReusesTheWindow)
{
    kbtest::TRecordingNotifier notifier;
    QTemporaryDir dir;
    const QString program = dir.filePath("show.nc");
    {
        QFile file(program);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("G0 X1\r\n");
    }
    CurrentNcFile() = program.toStdString();
    ShowNodraEditor();
    QPointer<TNodraFrmMain> first = NodraEditor();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Tabs()->count(), 1);
    EXPECT_EQ(first->CurrentCaption(), program);
    ShowNodraEditor();
    EXPECT_EQ(NodraEditor(), first.data());
    EXPECT_EQ(first->Tabs()->count(), 1);
    EXPECT_TRUE(CloseNodraEditor());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    EXPECT_EQ(NodraEditor(), nullptr);
    CurrentNcFile().clear();
}

} // namespace
