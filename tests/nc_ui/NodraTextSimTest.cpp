// The editor's simulation bar on the real text simulation: the warning of a
// partly read dialect on the first play only, a play of the editor's text,
// and closing the editor while a play runs.

#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "nc/gcode/LeggeGCode.h"
#include "nc/sim/EditorTextSim.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/ui/NodraMain.h"
#include "nc/writer/ScriveGCode.h"
#include "platform/IniFile.h"

#include "tests/support/RecordingNotifier.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

class NodraTextSim : public ::testing::Test {
protected:
    NodraTextSim() : m_SavedPost(GCodeWriter())
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        SetEditorSimulation(&m_Simulation);
    }
    ~NodraTextSim() override
    {
        if (m_Editor) {
            m_Notifier.DefaultAnswer = EUserAnswer::No;
            m_Editor->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetEditorSimulation(nullptr);
        static_cast<TPostProcessor&>(GCodeWriter()) = m_SavedPost;
        SetLanguageIni(nullptr);
    }

    void UsePost(const std::string& name)
    {
        GCodeWriter().LoadFromIni(TIniFile(PostFileName(KB_DATA_SOURCE_DIR, name)), name, true);
    }
    void OpenEditor(const char* text)
    {
        m_Editor = new TNodraFrmMain;
        m_Editor->show();
        m_Editor->CurrentEditor()->setText(text);
    }
    // A click on the play button of the bar.
    void ClickPlay()
    {
        auto* bar = m_Editor->findChild<QToolBar*>("tbrSimulation");
        QWidget* button = bar->widgetForAction(m_Editor->findChild<QAction*>("sbtPlay"));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    kbtest::TRecordingNotifier m_Notifier;
    TSystemSimClock m_Clock;
    TSimulatore2D m_Sim;
    TEditorTextSimulation m_Simulation{m_Sim};
    QPointer<TNodraFrmMain> m_Editor;

private:
    TPostProcessor m_SavedPost;
};

TEST_F(NodraTextSim, HeidenhainWarnsOnTheFirstPlayOnly)
{
    UsePost("HEI_mm");
    OpenEditor("L Z5.000 R0 FMAX\nL X10.000 Y0.000 R0 FMAX\nL Z-2.000 F300\nCC X10.000 Y5.000\n"
               "C X15.000 Y5.000 DR+\nL X15.000 Y20.000\n");
    EXPECT_TRUE(m_Sim.TextMode()) << "prepared when shown";

    ClickPlay();
    ASSERT_EQ(m_Notifier.Messages().size(), 1u);
    EXPECT_EQ(m_Notifier.Messages()[0].Kind, EMessageKind::Warning);
    EXPECT_EQ(m_Notifier.Messages()[0].Text, LangText(LangKeys::String::DialectNotSimulated));
    EXPECT_EQ(m_Sim.LastPosition().EndPoint.X, 0.0) << "nothing played";

    ClickPlay();
    EXPECT_EQ(m_Notifier.Messages().size(), 1u);
    const TAVertice3d& end = m_Sim.LastPosition();
    EXPECT_EQ(end.EndPoint.X, 15.0);
    EXPECT_EQ(end.EndPoint.Y, 20.0);
    EXPECT_EQ(end.EndPoint.Z, -2.0);
    EXPECT_EQ(m_Editor->findChild<QLineEdit*>("txtCurrentZ")->text(), "-2");
    EXPECT_TRUE(m_Editor->findChild<QAction*>("sbtStep")->isEnabled());
    EXPECT_TRUE(m_Editor->findChild<QAction*>("sbtIsoLimits")->isEnabled());
    EXPECT_EQ(m_Sim.Bounds().MaxX, 15.0f);
}

TEST_F(NodraTextSim, IsoPlaysWithoutWarning)
{
    UsePost("GRBL_mm");
    OpenEditor("G0 X1 Y2 Z5\nG1 Z-1 F100\nG2 X5 Y2 R2\n");
    ClickPlay();
    EXPECT_TRUE(m_Notifier.Messages().empty());
    EXPECT_EQ(m_Sim.LastPosition().EndPoint.X, 5.0);
    EXPECT_EQ(m_Sim.LastPosition().Kind, -1);
}

TEST_F(NodraTextSim, ClosingDuringAPlayEndsIt)
{
    UsePost("GRBL_mm");
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "G1 X" + std::to_string(i) + " Y0 Z-1\n";
    OpenEditor(text.c_str());
    m_Sim.SetClock(&m_Clock);
    m_Sim.SetSpeed(6); // 15 ms a line: the close comes within the play
    m_Notifier.DefaultAnswer = EUserAnswer::No;
    QTimer::singleShot(50, m_Editor.data(), [this] { m_Editor->close(); });
    ClickPlay();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m_Editor.isNull());
    EXPECT_FALSE(m_Sim.Running());
    EXPECT_FALSE(m_Sim.OperationPrepared());
    EXPECT_LT(m_Sim.LastPosition().EndPoint.X, 199.0) << "stopped before the end";
}

} // namespace
