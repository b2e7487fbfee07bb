#include "app/mainwin/HelpCommands.h"
#include "app/mainwin/frmAbout.h"
#include "app/toolwin/SettingsPages.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/QV_00Prog.h"
#include "cad/ui/FormTranslate.h"
#include "cad/ui/QtWorkMonitor.h"
#include "core/entities/VectFont.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "nc/writer/ScriveGCode.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Catches the addresses the desktop is asked to open.
class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    TUrlCatcher()
    {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~TUrlCatcher() override
    {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    std::vector<std::string> Urls;
public slots:
    void Open(const QUrl& url) { Urls.push_back(url.toString().toStdString()); }
};

struct SettingsPages : ::testing::Test {
    SettingsPages() : Config(Dir.Path().string())
    {
        std::filesystem::create_directories(Dir.Path() / "pst");
        std::filesystem::create_directories(Dir.Path() / "languages");
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Win = std::make_unique<TfrmToolWin>(Prg, Config, &Monitor, KB_DATA_DIR);
        for (int i = 0; i < 6; ++i) {
            if (i == 4) {
                auto* dock = new QDockWidget(&Main);
                Main.addDockWidget(Qt::LeftDockWidgetArea, dock);
                Bars[i] = dock;
            } else {
                auto* bar = new QToolBar(&Main);
                Main.addToolBar(bar);
                Bars[i] = bar;
            }
        }
        Main.show();
        Hooks.Bars = Bars;
        Hooks.ImpostaTbr = [this] { ++TbrApplied; };
        Hooks.SetBackground = [this](uint32_t c) { Background = c; };
        Hooks.SetLatheFeedUnitCaptions = [this](bool mm) {
            LatheUnit = mm ? 1 : 0;
            SetLatheFeedUnitCaptions(*Win, mm);
        };
        Hooks.Retranslate = [this] { TranslateForms({Win.get()}, LanguageIni()); };
        Hooks.SetOperationsRootText = [this](const std::string& text) { RootText = text; };
    }
    ~SettingsPages() override
    {
        Pages.reset();
        Win.reset();
        SetLanguageIni(nullptr);
        CADSysClearFontRegistry();
    }
    TSettingsPages& Make()
    {
        Pages = std::make_unique<TSettingsPages>(*Win, Config, (Dir.Path() / "languages").string(), Hooks);
        return *Pages;
    }
    template <typename T = QWidget>
    T& Find(const char* name) const
    {
        T* widget = Win->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    void Type(const char* edit, const char* text)
    {
        auto& line = Find<QLineEdit>(edit);
        line.setFocus();
        line.selectAll();
        QTest::keyClicks(&line, QString::fromLatin1(text));
    }
    static std::array<int, 3> Rgb(const QPushButton& box)
    {
        const QColor c = box.property("color").value<QColor>();
        return {c.red(), c.green(), c.blue()};
    }
    void Language(const char* name, const std::string& text)
    {
        kbtest::WriteFileText((Dir.Path() / "languages" / (std::string(name) + ".lng")).string(), text);
    }

    kbtest::TTempDir Dir;
    TAppConfig Config;
    TQV_00Prog Prg;
    TQtWorkMonitor Monitor{nullptr, nullptr};
    std::unique_ptr<TfrmToolWin> Win;
    QMainWindow Main;
    std::array<QWidget*, 6> Bars{};
    TSettingsHooks Hooks;
    std::unique_ptr<TSettingsPages> Pages;
    kbtest::TRecordingNotifier Notifier;
    int TbrApplied = 0;
    int LatheUnit = -1;
    uint32_t Background = 0;
    std::string RootText;
};

TEST_F(SettingsPages, CurveSegmentsAreKeptBetweenOneAndTheCap)
{
    Make();
    Win->ShowPages({"tabSettings"}, "twSettings", 332, 388);
    Type("txtMaxCurveSeg", "2500");
    EXPECT_EQ(Config.MaxCurveSeg, 1000);
    EXPECT_EQ(Find<QLineEdit>("txtMaxCurveSeg").text(), "1000");
    EXPECT_EQ(Find<QLineEdit>("txtMaxCurveSeg").cursorPosition(), 4);
    Type("txtMaxCurveSeg", "0");
    EXPECT_EQ(Config.MaxCurveSeg, 1);
    EXPECT_EQ(Find<QLineEdit>("txtMaxCurveSeg").text(), "1");
    Type("txtMaxCurveSeg", "350");
    EXPECT_EQ(Config.MaxCurveSeg, 350);
    // Letters do not get in; a cleared edit keeps the last value.
    Type("txtMaxCurveSeg", "ab");
    EXPECT_EQ(Config.MaxCurveSeg, 350);
    Type("txtSystemTol", "0,005");
    EXPECT_DOUBLE_EQ(Config.SystemTol, 0.005);
}

TEST_F(SettingsPages, UnitSwitchShowsTheInchValuesAtOnce)
{
    // The lathe tool page's own feed-unit buttons follow.
    Make();
    Config.MaxCurveSeg = 700;
    auto& units = Find<QComboBox>("cboUnits");
    units.setCurrentIndex(1);
    emit units.activated(1);
    EXPECT_FALSE(Config.Unit);
    EXPECT_EQ(Config.MaxCurveSeg, 200);
    EXPECT_EQ(Find<QLineEdit>("txtMaxCurveSeg").text(), "200");
    char tol[32];
    std::snprintf(tol, sizeof tol, "%0.6f", UnitDefaults(false).SystemTol);
    EXPECT_EQ(Find<QLineEdit>("txtSystemTol").text().toStdString(), tol);
    std::snprintf(tol, sizeof tol, "%0.3f", UnitDefaults(false).SimulTol);
    EXPECT_EQ(Find<QLineEdit>("txtSimulTol").text().toStdString(), tol);
    EXPECT_EQ(LatheUnit, 0);
    EXPECT_EQ(Find<QRadioButton>("rbtLatheUMin").text().toStdString(), LangText(LangKeys::String::LatheFeedMinInch));
    EXPECT_EQ(Find<QRadioButton>("rbtLatheURev").text().toStdString(), LangText(LangKeys::String::LatheFeedRevInch));
    EXPECT_EQ(LangText(LangKeys::String::LatheFeedRevInch), ReadLangText("String", "749"));
}

TEST_F(SettingsPages, ResetRestoresColoursEditorAndFiveBars)
{
    Make();
    Config.Chain = 0x123456;
    Config.BackGround = Config.DefLayers = Config.Grid = 1;
    Config.ToolPathG0 = Config.ToolPathG1 = Config.ToolPathG2 = 1;
    Config.UseExtEditor = true;
    Pages->LoadSettingsPage();
    for (QWidget* bar : Bars)
        bar->hide();
    QTest::mouseClick(&Find<QPushButton>("sbtReset"), Qt::LeftButton);
    EXPECT_EQ(Config.BackGround, 8421504u);
    EXPECT_EQ(Config.DefLayers, 65280u);
    EXPECT_EQ(Config.Grid, 8388608u);
    EXPECT_EQ(Config.ToolPathG0, 65535u);
    EXPECT_EQ(Config.ToolPathG1, 16776960u);
    EXPECT_EQ(Config.ToolPathG2, 255u);
    EXPECT_EQ(Config.Chain, 0x123456u);
    EXPECT_EQ(Background, 8421504u);
    const std::pair<const char*, std::array<int, 3>> shown[] = {
        {"ColorBoxBackground", {128, 128, 128}}, {"ColorBoxDefLayers", {0, 255, 0}}, {"ColorBoxGrid", {0, 0, 128}},
        {"ColorBoxG0", {255, 255, 0}},           {"ColorBoxG1", {0, 255, 255}},      {"ColorBoxG2", {255, 0, 0}},
        {"ColorBoxCh", {0x56, 0x34, 0x12}},
    };
    for (const auto& [box, rgb] : shown)
        EXPECT_EQ(Rgb(Find<QPushButton>(box)), rgb) << box;
    EXPECT_FALSE(Find<QCheckBox>("chkUseExtEditor").isChecked());
    EXPECT_FALSE(Config.UseExtEditor);
    const bool visible[] = {true, true, true, true, true, false};
    for (size_t i = 0; i < Bars.size(); ++i) {
        EXPECT_EQ(!Bars[i]->isHidden(), visible[i]) << i;
        EXPECT_EQ(Find<QCheckBox>(("chkViewTbr" + std::to_string(i + 1)).c_str()).isChecked(), visible[i]) << i;
    }
}

TEST_F(SettingsPages, ToolbarBoxesFollowTheBarsAndTheStyle)
{
    Make();
    auto& box = Find<QCheckBox>("chkViewTbr6");
    EXPECT_TRUE(box.isChecked());
    Bars[5]->hide(); // the bar's close button
    EXPECT_FALSE(box.isChecked());
    box.setChecked(true);
    EXPECT_FALSE(Bars[5]->isHidden());
    Find<QCheckBox>("chkViewTbr5").setChecked(false);
    EXPECT_TRUE(Bars[4]->isHidden());
    // Hidden with the window is not closed.
    Main.hide();
    EXPECT_TRUE(box.isChecked());

    Win->ShowPages({"tabSettings"}, "twSettings", 332, 388);
    Find<QRadioButton>("rbtTbrSetStyle1").click();
    EXPECT_FALSE(Config.TbrImagesOnly);
    Find<QRadioButton>("rbtTbrSetStyle2").click();
    EXPECT_TRUE(Config.TbrImagesOnly);
    EXPECT_EQ(TbrApplied, 2);
}

TEST_F(SettingsPages, LanguagesAreListedAndSwitched)
{
    Language("b", "[frmToolWin]\r\nlblSystemTol.Caption=Bee tolerance\r\n");
    Language("a", "[frmToolWin]\r\nlblSystemTol.Caption=Ay tolerance\r\n");
    kbtest::WriteFileText((Dir.Path() / "languages" / "notes.txt").string(), "x");
    Make();
    EXPECT_EQ(TSettingsPages::LanguageNames((Dir.Path() / "languages").string()),
              (std::vector<std::string>{"a", "b"}));
    Config.Language = "english";
    Pages->sbtConfigClick();
    auto& combo = Find<QComboBox>("nol_cboLang");
    EXPECT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.currentText(), "english");
    combo.setCurrentIndex(1);
    emit combo.activated(1);
    EXPECT_EQ(Config.Language, "b");
    EXPECT_EQ(Find<QLabel>("lblSystemTol").text(), "Bee tolerance");
    combo.setCurrentIndex(0);
    emit combo.activated(0);
    EXPECT_EQ(Find<QLabel>("lblSystemTol").text(), "Ay tolerance");

    Win->hide();
    std::filesystem::remove_all(Dir.Path() / "languages");
    Pages->sbtConfigClick();
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(combo.currentText(), "a");
}

TEST_F(SettingsPages, PostChoiceRenamesTheRootAndWarnsOfOldFiles)
{
    kbtest::WriteFileText((Dir.Path() / "pst" / "New.pst").string(), "[Default]\r\nPstVersion=3\r\nFileExtension=nc\r\n");
    kbtest::WriteFileText((Dir.Path() / "pst" / "Old.pst").string(), "[Default]\r\nPstVersion=2\r\n");
    Make();
    auto& posts = Find<QComboBox>("cboPostName");
    ASSERT_EQ(posts.count(), 2);
    posts.setCurrentIndex(0);
    emit posts.activated(0);
    EXPECT_EQ(Config.Pst, "New");
    EXPECT_EQ(RootText, LangMainText(LangKeys::frmMain::OpTreeRoot) + " New");
    EXPECT_EQ(GCodeWriter().PstVersion, 3);
    EXPECT_TRUE(Notifier.Messages().empty());
    posts.setCurrentIndex(1);
    emit posts.activated(1);
    EXPECT_EQ(RootText, LangMainText(LangKeys::frmMain::OpTreeRoot) + " Old");
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text,
              LangText(LangKeys::String::ErrorCaption) + LangText(LangKeys::String::PstOldVersion));

    // The editor opens modally on the current post; its list comes back.
    Notifier.QueueDialog("frmPstEdit", [] { return 2; });
    QTest::mouseClick(&Find<QPushButton>("sbtPstEdit"), Qt::LeftButton);
    EXPECT_EQ(Notifier.Prompts().back(), "dialog frmPstEdit");
    EXPECT_EQ(posts.currentText(), "Old");

    auto& ext = Find<QLineEdit>("txtPstExt");
    ext.setText("tap");
    emit ext.editingFinished();
    EXPECT_EQ(GCodeWriter().FileExtension, "tap");
}

TEST_F(SettingsPages, ARestartKeepsWhatThePagesStored)
{
    Make();
    Type("txtMaxCurveSeg", "640");
    Find<QCheckBox>("chkForUpdate").setChecked(false);
    Find<QCheckBox>("chkDxfPolyInLA").setChecked(true);
    Find<QCheckBox>("chkShowHints").setChecked(false);
    Notifier.QueueColor(0x00102030);
    QTest::mouseClick(&Find<QPushButton>("ColorBoxCh"), Qt::LeftButton);
    Find<QRadioButton>("rbtTbrSetStyle1").click();
    ASSERT_TRUE(Config.Save()) << Config.SaveError();
    TAppConfig again(Dir.Path().string());
    EXPECT_EQ(again.MaxCurveSeg, 640);
    EXPECT_FALSE(again.CheckForUpdate);
    EXPECT_TRUE(again.DxfPolyInLA);
    EXPECT_FALSE(again.ShowInt);
    EXPECT_EQ(again.Chain, 0x00102030u);
    EXPECT_FALSE(again.TbrImagesOnly);
}

TEST_F(SettingsPages, TheEditorMustBeAProgram)
{
    Make();
    Find<QCheckBox>("chkUseExtEditor").setChecked(true);
    kbtest::WriteFileText(Dir.File("notes.txt"), "x");
    Notifier.QueueFileName(Dir.File("notes.txt"));
    QTest::mouseClick(&Find<QPushButton>("sbtExtEditor"), Qt::LeftButton);
    EXPECT_NE(Config.ExtEditor, Dir.File("notes.txt"));
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.LastFileRequest().Filters[0].Extensions, std::vector<std::string>{"*"});
    Notifier.QueueFileName("/bin/sh");
    QTest::mouseClick(&Find<QPushButton>("sbtExtEditor"), Qt::LeftButton);
    EXPECT_EQ(Config.ExtEditor, "/bin/sh");
    EXPECT_EQ(Find<QPushButton>("sbtExtEditor").text(), "/bin/sh");
}

TEST_F(SettingsPages, HelpOpensTheFolderOrTheOnlinePageOfTheLanguage)
{
    const std::string folder = Dir.Path().string();
    const std::string online = THelpCommands::OnlineBase;
    EXPECT_EQ(THelpCommands::HelpAddress(folder, "ITALIAN", false), online + "/docs/it/kbel3/intro.html");
    EXPECT_EQ(THelpCommands::HelpAddress(folder, "english", true), online + "/docs/en/kbel3/tutors.html");
    std::filesystem::create_directories(Dir.Path() / "help");
    kbtest::WriteFileText(Dir.File("help/intro.html"), "<html></html>");
    EXPECT_EQ(THelpCommands::HelpAddress(folder, "italian", true), folder + "/help/tutors.html");

    // Through the toolbar's menu, as the user clicks it.
    Make();
    QToolBar bar;
    Config.Language = "Italian";
    THelpCommands help(Main, Config, folder + "/nothing", *Pages, bar, nullptr);
    TUrlCatcher catcher;
    Main.findChild<QAction*>(QStringLiteral("mnuHelp"))->trigger();
    Main.findChild<QAction*>(QStringLiteral("mnuWeb"))->trigger();
    ASSERT_EQ(catcher.Urls.size(), 2u);
    EXPECT_EQ(catcher.Urls[0], online + "/docs/it/kbel3/intro.html");
    EXPECT_EQ(catcher.Urls[1], online + "/");
    EXPECT_TRUE(Notifier.Messages().empty());
}

TEST_F(SettingsPages, AboutNamesTheVersionAndTheTranslator)
{
    EXPECT_EQ(TfrmAbout::GetFileInfo("ProductName"), "Kestrabel 3");
    EXPECT_FALSE(TfrmAbout::GetFileInfo("FileVersion").empty());
    EXPECT_EQ(TfrmAbout::GetFileInfo("Comments"), "");
    Language("italian", "[String]\r\nAutor=T\r\n");
    Language("plain", "[String]\r\n450=Errore\r\n");
    Config.Language = "italian";
    SetLanguageIni(ReadLanguageFile(Dir.File("languages/italian.lng")));
    TfrmAbout about(Config);
    about.show();
    EXPECT_EQ(about.nol_lbltTranslation().text(), "Italian language translated by T");
    EXPECT_TRUE(about.nol_lblAboutInfo().text().startsWith(
        QString::fromStdString("Kestrabel 3 Version " + TfrmAbout::GetFileInfo("FileVersion"))));
    // The web site and the mail address stand beside their pictures.
    for (const char* name : {"lblwwwImage", "lblMailtoImage"}) {
        auto* picture = about.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_FALSE(picture->pixmap().isNull()) << name;
    }
    about.hide();
    SetLanguageIni(ReadLanguageFile(Dir.File("languages/plain.lng")));
    about.show();
    EXPECT_EQ(about.nol_lbltTranslation().text(), "");
}

} // namespace

#include "SettingsPagesTest.moc"
