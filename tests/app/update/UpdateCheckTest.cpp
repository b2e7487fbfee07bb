#include "app/update/UpdateCheck.h"
#include "app/update/UpdateInfo.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "tests/app/update/LoopbackServer.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using kbtest::UpdatePage;

TEST(UpdateVersions, ComparePartByPartWithMissingPartsAsZero)
{
    const struct {
        const char* Installed;
        const char* Page;
        bool Newer;
    } cases[] = {
        {"3.0.0.120", "3.0.0.121", true}, {"3.0.1.0", "3.0.0.999", false}, {"3.1", "3.1.5", true},
        {"3.0", "3.x", false},            {"3.1.0", "3.1", false},         {"3.0.0", "3.0.0", false},
        {"2.9.9", "10.0", true},          {"", "1", true},                 {"3.0.0.121", "3.0.0.120", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNewerVersion(c.Installed, c.Page), c.Newer) << c.Installed << " / " << c.Page;
}

TEST(UpdatePage, ReadsUpperCaseMetaNamesAndTheLaterDuplicate)
{
    const TUpdatePageValues values = ParseUpdatePage(SplitPageLines(
        "<META NAME=\"qvVersion\" CONTENT=\"3.1.0.5\">\r\n"
        "<meta name=\"qvProduct\" content=\"lower\">\n"
        "<META NAME=\"qvProduct\" content=\"Kestrabel 3\">\r"
        "<META NAME=\"qvDownload\" CONTENT=\"first\">\n"
        "<META NAME=\"qvDownload\" CONTENT=\"second\">\n"
        "<META NAME=\"qvversion\" CONTENT=\"9.9\">\n"
        "<META NAME=\"qvRunParameters\" CONTENT=\"unclosed\n"
        "<META NAME=\"qvAuthor\">\n"));
    EXPECT_EQ(values.Version, "3.1.0.5");
    EXPECT_EQ(values.ProductName, "Kestrabel 3");
    EXPECT_EQ(values.Download, "second");
    EXPECT_EQ(values.RunParameters, "");
    EXPECT_EQ(values.Author, "");
}

TEST(UpdatePage, AddressesAndClientNames)
{
    EXPECT_EQ(CheckedUpdateAddress("example.org/u.html"), "https://example.org/u.html");
    EXPECT_EQ(CheckedUpdateAddress("https://example.org/u.html"), "https://example.org/u.html");
    EXPECT_EQ(CheckedUpdateAddress("http://127.0.0.1:8080/u"), "http://127.0.0.1:8080/u");
    EXPECT_EQ(CheckedUpdateAddress("http://localhost/u"), "http://localhost/u");
    EXPECT_EQ(CheckedUpdateAddress("http://[::1]/u"), "http://[::1]/u");
    for (const char* refused : {"http://example.org/u", "ftp://example.org/u", "file:///etc/passwd", "", "https://"})
        EXPECT_EQ(CheckedUpdateAddress(refused), "") << refused;

    const std::pair<const char*, const char*> names[] = {
        {"../x", "x"}, {"a\\b\\setup.exe", "setup.exe"}, {"setup.bin", "setup.bin"},
        {"", ""},      {".", ""},                         {"..", ""},
        {"dir/", ""},  {"/etc/..", ""},
    };
    for (const auto& [given, kept] : names)
        EXPECT_EQ(SafeClientFileName(given), kept) << given;
}

struct UpdateCheck : ::testing::Test {
    UpdateCheck()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Setup.InstalledVersion = "3.0.0.120";
        Setup.URL = Server.Url("/page");
        Setup.TargetFolder = Dir.Path().string();
        Setup.NoUpdateHoldMs = 0;
        Setup.TimeoutMs = 5000;
        Setup.Connected = [] { return true; };
        Setup.RunFile = [this](const std::string& path, const std::string& parameters) {
            Started.push_back(path);
            Parameters.push_back(parameters);
            return RunWorks;
        };
        Setup.Terminate = [this] { ++Terminated; };
    }
    ~UpdateCheck() override
    {
        SetLanguageIni(nullptr);
        SetUpdateCheckArmed(false);
    }
    // The texts of the plain messages (questions left out), in order.
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> texts;
        for (const auto& m : Notifier.Messages())
            if (!m.Question)
                texts.push_back(m.Text);
        return texts;
    }
    static std::string Text(std::string_view key) { return LangText(key); }
    bool Run() { return RunWebUpdate(nullptr, false, Setup); }

    kbtest::TTempDir Dir;
    kbtest::TLoopbackServer Server;
    kbtest::TRecordingNotifier Notifier;
    TUpdateSetup Setup;
    std::vector<std::string> Started;
    std::vector<std::string> Parameters;
    bool RunWorks = true;
    int Terminated = 0;
};

TEST_F(UpdateCheck, NewerVersionIsDownloadedUnderItsBaseNameStartedThenTheProgramEnds)
{
    const QByteArray installer(5000, 'i');
    Server.Page("/page", UpdatePage("3.0.0.121", Server.Url("/setup"), "../x"));
    Server.Page("/setup", installer, "application/octet-stream");
    Notifier.QueueAnswer(EUserAnswer::Yes);
    // The progress window, still up when the installer starts, shows its
    // picture.
    QSize picture;
    Setup.RunFile = [this, &picture](const std::string& path, const std::string&) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("frmWebUpdate"))
                if (auto* image = w->findChild<QLabel*>(QStringLiteral("imgUpdate")))
                    picture = image->pixmap().size();
        Started.push_back(path);
        return RunWorks;
    };
    EXPECT_TRUE(Run());
    EXPECT_EQ(picture, QSize(126, 88));
    ASSERT_EQ(Started.size(), 1u);
    const std::filesystem::path saved(Started[0]);
    EXPECT_EQ(saved.filename(), "x");
    EXPECT_NE(saved.parent_path(), Dir.Path()); // a private folder of its own
    EXPECT_EQ(saved.parent_path().parent_path(), Dir.Path());
    QFile file(QString::fromStdString(Started[0]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), installer);
    EXPECT_EQ(Terminated, 1);
    const std::vector<std::string> shown = Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], LangFormat(Text(LangKeys::String::UpdateSaveTo) + " %s", {Started[0]}));
    EXPECT_EQ(shown[1], Text(LangKeys::String::UpdateDone));
    EXPECT_EQ(Server.Requests(), (std::vector<std::string>{"/page", "/setup"}));
}

// The page's run parameters reach the installer; a page without them starts
// it with none.
TEST_F(UpdateCheck, TheInstallerGetsThePagesRunParameters)
{
    Server.Page("/setup", QByteArray(100, 'i'), "application/octet-stream");
    for (const std::string& given : {std::string("/S /D=/opt/k3 --quiet"), std::string()}) {
        Server.Page("/page", UpdatePage("3.0.0.121", Server.Url("/setup"), "setup.bin", "Kestrabel 3", given));
        Notifier.QueueAnswer(EUserAnswer::Yes);
        Parameters.clear();
        EXPECT_TRUE(Run()) << given;
        EXPECT_EQ(Parameters, std::vector<std::string>{given});
    }
}

// The installer runs as a program with the words of the parameters; the
// script writes what it got into a file beside it.
TEST(UpdateInstaller, RunsTheFileWithTheParametersSplitAsWords)
{
    kbtest::TTempDir dir;
    const std::string script = (dir.Path() / "setup.sh").string();
    const std::string out = (dir.Path() / "args.txt").string();
    kbtest::WriteFileText(script, "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > \"" + out + ".part\"\nmv \"" +
                                      out + ".part\" \"" + out + "\"\n");
    ASSERT_TRUE(RunInstaller(script, "/S --dir \"/opt/k 3\""));
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(out); }, 20000));
    EXPECT_EQ(kbtest::ReadFileText(out), "[/S]\n[--dir]\n[/opt/k 3]\n");
    EXPECT_FALSE(RunInstaller((dir.Path() / "missing").string(), "/S"));
}

TEST_F(UpdateCheck, NothingNewerAndNoAnswerLeaveEverythingAsItWas)
{
    for (const char* version : {"3.0.1.0", "3.0.0.999"}) {
        // Installed 3.0.1.0 against a page of 3.0.0.999: not newer.
        Setup.InstalledVersion = "3.0.1.0";
        Server.Page("/page", UpdatePage(version, Server.Url("/setup")));
        EXPECT_FALSE(Run()) << version;
    }
    Setup.InstalledVersion = "3.0";
    Server.Page("/page", UpdatePage("3.x", Server.Url("/setup")));
    EXPECT_FALSE(Run());
    EXPECT_TRUE(Notifier.Messages().empty());

    Setup.InstalledVersion = "3.1";
    Server.Page("/page", UpdatePage("3.1.5", Server.Url("/setup")));
    Notifier.QueueAnswer(EUserAnswer::No);
    EXPECT_FALSE(Run());
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_TRUE(Notifier.Messages()[0].Question);
    EXPECT_NE(Notifier.Messages()[0].Text.find("3.1.5"), std::string::npos);
    EXPECT_EQ(std::count(Server.Requests().begin(), Server.Requests().end(), "/setup"), 0);
    EXPECT_TRUE(Started.empty());
    EXPECT_EQ(Terminated, 0);
}

TEST_F(UpdateCheck, FailuresShowOnlyTheDownloadError)
{
    const std::string failed = Text(LangKeys::String::UpdateFailed);
    const struct {
        const char* What;
        QByteArray Page;
        QByteArray Installer; // raw answer of /setup
    } cases[] = {
        {"no page", {}, {}},
        {"no product", UpdatePage("3.1", Server.Url("/setup"), "x", ""), {}},
        {"short transfer", UpdatePage("3.1", Server.Url("/setup")),
         "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\nonly a few bytes"},
        {"no length", UpdatePage("3.1", Server.Url("/setup")),
         "HTTP/1.0 200 OK\r\nConnection: close\r\n\r\nbytes without a declared length"},
        {"refused name", UpdatePage("3.1", Server.Url("/setup"), ".."), {}},
        {"plain http elsewhere", UpdatePage("3.1", "http://example.org/setup"), {}},
    };
    for (const auto& c : cases) {
        kbtest::TLoopbackServer server;
        Setup.URL = server.Url("/page");
        if (!c.Page.isEmpty())
            server.Page("/page", QByteArray(c.Page).replace(QByteArray::fromStdString(Server.Url("")),
                                                              QByteArray::fromStdString(server.Url(""))));
        if (!c.Installer.isEmpty())
            server.Raw("/setup", c.Installer);
        Notifier.Clear();
        Notifier.QueueAnswer(EUserAnswer::Yes);
        EXPECT_FALSE(Run()) << c.What;
        const std::vector<std::string> shown = Shown();
        ASSERT_FALSE(shown.empty()) << c.What;
        EXPECT_EQ(shown.back(), failed) << c.What;
        EXPECT_EQ(std::count(shown.begin(), shown.end(), Text(LangKeys::String::UpdateDone)), 0) << c.What;
    }
    EXPECT_TRUE(Started.empty());
    EXPECT_EQ(Terminated, 0);
    // Nothing half-written stays behind.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Dir.Path()))
        EXPECT_FALSE(entry.is_regular_file()) << entry.path();
}

TEST_F(UpdateCheck, AnInstallerThatDoesNotStartKeepsTheProgram)
{
    Server.Page("/page", UpdatePage("3.1", Server.Url("/setup")));
    Server.Page("/setup", "installer");
    RunWorks = false;
    Notifier.QueueAnswer(EUserAnswer::Yes);
    EXPECT_FALSE(Run());
    EXPECT_EQ(Started.size(), 1u);
    EXPECT_EQ(Terminated, 0);
    EXPECT_EQ(Shown().back(), Text(LangKeys::String::UpdateCannotRun));
}

TEST_F(UpdateCheck, RedirectionsAreFollowedAtMostFiveTimes)
{
    Server.Page("/page", "<META NAME=\"qvRedirection\" CONTENT=\"" + QByteArray::fromStdString(Server.Url("/next")) +
                             "\">\r\n");
    Server.Page("/next", UpdatePage("3.0.0.120", Server.Url("/setup")));
    EXPECT_FALSE(Run());
    EXPECT_EQ(Server.Requests(), (std::vector<std::string>{"/page", "/next"}));
    EXPECT_TRUE(Shown().empty());

    Server.Page("/page", "<META NAME=\"qvRedirection\" CONTENT=\"" + QByteArray::fromStdString(Server.Url("/page")) +
                             "\">\r\n");
    EXPECT_FALSE(Run());
    EXPECT_EQ(std::count(Server.Requests().begin(), Server.Requests().end(), "/page"), 1 + 1 + 5);
    EXPECT_EQ(Shown(), std::vector<std::string>{Text(LangKeys::String::UpdateFailed)});
}

TEST_F(UpdateCheck, AutomaticModeIsSilentWithoutAConnectionAndEveryRunDisarms)
{
    PickStartupUpdateCheck([] { return 5; });
    EXPECT_TRUE(UpdateCheckArmed());
    Setup.Connected = [] { return false; };
    EXPECT_FALSE(RunWebUpdate(nullptr, true, Setup));
    EXPECT_TRUE(Server.Requests().empty());
    EXPECT_TRUE(Notifier.Messages().empty());
    EXPECT_FALSE(UpdateCheckArmed());

    PickStartupUpdateCheck([] { return 4; });
    EXPECT_FALSE(UpdateCheckArmed());
    SetUpdateCheckArmed(true);
    Server.Page("/page", UpdatePage("3.0.0.120", Server.Url("/setup")));
    EXPECT_FALSE(Run());
    EXPECT_EQ(Server.Requests().size(), 1u);
    EXPECT_FALSE(UpdateCheckArmed());
}

TEST_F(UpdateCheck, TheSettingsFileMayNameAnotherAddress)
{
    EXPECT_EQ(UpdateURLFromSettings(""), DefaultUpdateURL);
    EXPECT_EQ(UpdateURLFromSettings(Dir.File("missing.ini")), DefaultUpdateURL);
    kbtest::WriteFileText(Dir.File("kestrabel.ini"), "[Default]\r\nUpdateURL=" + Server.Url("/page") + "\r\n");
    EXPECT_EQ(UpdateURLFromSettings(Dir.File("kestrabel.ini")), Server.Url("/page"));
}

} // namespace
