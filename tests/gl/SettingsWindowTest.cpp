// The settings and post-choice pages in the running program: the Settings
// command of the File toolbar, the language switch retranslating both
// windows, the post choice naming the operations tree's root, the toolbar
// boxes, and the automatic update check at the tool window's showing.
//
// With KB_SHOTS_DIR set, the disabled test ShotsForReview writes pictures of
// every settings sub-page, the post choice, the about box and the update
// window there (scripts/shots/settings.sh runs it).

#include "app/Program.h"
#include "app/frmMain.h"
#include "app/mainwin/HelpCommands.h"
#include "app/mainwin/MachiningMenu.h"
#include "app/mainwin/frmAbout.h"
#include "app/toolwin/frmToolWin.h"
#include "app/update/UpdateCheck.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "tests/app/update/LoopbackServer.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QComboBox>
#include <QCheckBox>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// english.lng with every text prefixed: "A " or "B ".
void WritePrefixedLanguage(const fs::path& file, const std::string& prefix)
{
    std::ifstream in(fs::path(KB_DATA_DIR) / "languages" / "english.lng", std::ios::binary);
    std::ofstream out(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const size_t eq = line.find('=');
        if (!line.empty() && line[0] != '[' && line[0] != ';' && eq != std::string::npos)
            line.insert(eq + 1, prefix);
        out << line << '\n';
    }
}

struct SettingsWindow : ::testing::Test {
    SettingsWindow()
    {
        // A program folder of the shipped files with two more languages.
        for (const auto& entry : fs::directory_iterator(KB_DATA_DIR))
            if (entry.path().filename() != "languages")
                fs::create_symlink(entry.path(), ProgramDir.Path() / entry.path().filename());
        fs::create_directories(ProgramDir.Path() / "languages");
        fs::copy_file(fs::path(KB_DATA_DIR) / "languages" / "english.lng", ProgramDir.Path() / "languages" / "english.lng");
        WritePrefixedLanguage(ProgramDir.Path() / "languages" / "a.lng", "A ");
        WritePrefixedLanguage(ProgramDir.Path() / "languages" / "b.lng", "B ");
        const fs::path config = ConfigDir.Path() / "Kestrabel 3";
        fs::create_directories(config);
        kbtest::WriteFileText((config / "kestrabel.ini").string(),
                              "[Default]\r\nUpdateURL=" + Server.Url("/page") + "\r\n");
        Driver = std::make_unique<kbtest::TMainWindowDriver>(config.string(), "", ProgramDir.Path().string());
        EXPECT_TRUE(Driver->Ready());
        Program = &Driver->Program();
        Window().HelpCommands().Connected = [] { return true; };
    }
    ~SettingsWindow() override { SetUpdateCheckArmed(false); }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TfrmToolWin& Tool() const { return Window().ToolWin(); }
    template <class T = QAction> T& Find(const char* name) const { return kbtest::Child<T>(Window(), name); }
    template <class T = QWidget> T& Page(const char* name) const { return kbtest::Child<T>(Tool(), name); }
    void Choose(QComboBox& combo, const QString& text) const
    {
        const int index = combo.findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo.setCurrentIndex(index);
        emit combo.activated(index);
        kbtest::TMainWindowDriver::Settle();
    }

    kbtest::TTempDir ProgramDir;
    kbtest::TTempDir ConfigDir;
    kbtest::TLoopbackServer Server;
    kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<kbtest::TMainWindowDriver> Driver;
    TProgram* Program = nullptr;
};

TEST_F(SettingsWindow, ALanguageSwitchRetranslatesBothWindows)
{
    Find("sbtSetting").trigger();
    kbtest::TMainWindowDriver::Settle();
    EXPECT_EQ(Tool().ShownPages(), std::vector<std::string>{"tabSettings"});
    auto& languages = Page<QComboBox>("nol_cboLang");
    ASSERT_EQ(languages.count(), 3);
    EXPECT_EQ(languages.itemText(0), "a");
    EXPECT_EQ(languages.currentText(), "english");
    const QString method = Page<QComboBox>("cboMethod").itemText(0);

    for (const char* name : {"a", "b"}) {
        const QString prefix = QString::fromLatin1(name).toUpper() + QStringLiteral(" ");
        Choose(languages, QString::fromLatin1(name));
        EXPECT_EQ(Program->Config().Language, name);
        EXPECT_TRUE(Find("mnuNew").text().startsWith(prefix)) << Find("mnuNew").text().toStdString();
        EXPECT_EQ(Page<QComboBox>("cboMethod").itemText(0), prefix + method);
        EXPECT_EQ(QString::fromStdString(Window().StatusText(4)),
                  prefix + QString::fromStdString(ReadLangText(ReadLanguageFile(KB_DATA_DIR "/languages/english.lng").get(),
                                                               "String", LangKeys::String::StatusPostPage)));
    }
}

TEST_F(SettingsWindow, ThePostChoiceNamesTheTreeRoot)
{
    Window().MachiningMenu().mnuSelPostClick();
    kbtest::TMainWindowDriver::Settle();
    auto& posts = Page<QComboBox>("cboPostName");
    ASSERT_GT(posts.count(), 1);
    const QString other = posts.itemText(posts.currentIndex() == 0 ? 1 : 0);
    Choose(posts, other);
    EXPECT_EQ(Program->Config().Pst, other.toStdString());
    QTreeWidget& tree = Window().MachiningMenu().TreeCnc();
    ASSERT_GT(tree.topLevelItemCount(), 0);
    EXPECT_EQ(tree.topLevelItem(0)->text(0).toStdString(),
              LangMainText(LangKeys::frmMain::OpTreeRoot) + " " + other.toStdString());
}

TEST_F(SettingsWindow, AClosedToolbarUnticksItsBox)
{
    Window().tbrMRU().hide();
    kbtest::TMainWindowDriver::Settle();
    EXPECT_FALSE(Page<QCheckBox>("chkViewTbr6").isChecked());
    Page<QCheckBox>("chkViewTbr6").setChecked(true);
    EXPECT_TRUE(Window().tbrMRU().isVisible());
}

TEST_F(SettingsWindow, TheArmedCheckWaitsForItsSettingAndRunsOnce)
{
    SetUpdateCheckArmed(true);
    Program->Config().CheckForUpdate = false;
    Find("sbtSetting").trigger();
    QTest::qWait(100);
    Tool().close();
    EXPECT_TRUE(UpdateCheckArmed());
    EXPECT_TRUE(Server.Requests().empty());

    Program->Config().CheckForUpdate = true;
    Server.Page("/page", kbtest::UpdatePage(TfrmAbout::GetFileInfo("FileVersion"), Server.Url("/setup")));
    Find("sbtSetting").trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Server.Requests().empty(); }, 5000));
    EXPECT_FALSE(UpdateCheckArmed());
    // Nothing newer: the window goes after its two seconds, nothing asked.
    EXPECT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, 5000));
    QTest::qWait(2500);
    Tool().close();
    Find("sbtSetting").trigger();
    QTest::qWait(100);
    EXPECT_EQ(Server.Requests().size(), 1u);
    EXPECT_TRUE(Notifier.Messages().empty());
}

TEST_F(SettingsWindow, DISABLED_ShotsForReview)
{
    const QString folder = qEnvironmentVariable("KB_SHOTS_DIR");
    ASSERT_FALSE(folder.isEmpty()) << "KB_SHOTS_DIR names the folder of the pictures";
    Find("sbtSetting").trigger();
    kbtest::TMainWindowDriver::Settle();
    auto& tabs = Page<QTabWidget>("pgCtrSettings");
    for (int i = 0; i < tabs.count(); ++i) {
        tabs.setCurrentIndex(i);
        QTest::qWait(150);
        ASSERT_TRUE(Tool().grab().save(folder + QStringLiteral("/settings-%1.png").arg(tabs.widget(i)->objectName())));
    }
    Tool().close();
    Window().MachiningMenu().mnuSelPostClick();
    QTest::qWait(150);
    ASSERT_TRUE(Tool().grab().save(folder + QStringLiteral("/settings-post.png")));
    Tool().close();

    Find("mnuAbout").trigger();
    QTest::qWait(150);
    ASSERT_TRUE(Window().HelpCommands().About().grab().save(folder + QStringLiteral("/settings-about.png")));
    Window().HelpCommands().About().close();

    // The update window while it shows "806".
    Server.Page("/page", kbtest::UpdatePage(TfrmAbout::GetFileInfo("FileVersion"), Server.Url("/setup")));
    QTimer::singleShot(1000, [folder] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("frmWebUpdate") && w->isVisible())
                w->grab().save(folder + QStringLiteral("/settings-update.png"));
    });
    Find("mnuWebUpdate").trigger();
}

} // namespace
