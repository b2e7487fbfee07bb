#include "app/mainwin/HelpCommands.h"

#include "app/mainwin/ImageLists.h"
#include "app/mainwin/frmAbout.h"
#include "app/toolwin/SettingsPages.h"
#include "cad/program/EventGuard.h"
#include "core/model/UserNotifier.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {

QAction* Item(QObject* parent, const char* name, const char* caption, int image)
{
    auto* action = new QAction(QString::fromLatin1(caption), parent);
    action->setObjectName(QString::fromLatin1(name));
    SetImage(*action, TImageList::File, image);
    return action;
}

// Opens address through the desktop; false when nothing opened it.
bool OpenAddress(const std::string& address)
{
    const QString text = QString::fromStdString(address);
    const QUrl url = text.contains(QStringLiteral("://")) ? QUrl(text) : QUrl::fromLocalFile(text);
    return QDesktopServices::openUrl(url);
}

void ReportNotOpened(const std::string& address)
{
    UserNotifier().ShowMessage(EMessageKind::Error, LangFormat(LangText(LangKeys::String::HelpCannotOpen), {address}),
                               LangText(LangKeys::String::ErrorCaption));
}

} // namespace

THelpCommands::THelpCommands(QMainWindow& window, TAppConfig& config, std::string programFolder,
                             TSettingsPages& settings, QToolBar& toolbar, QAction* beforeAction)
    : m_Window(window), m_Config(config), m_ProgramFolder(std::move(programFolder)), m_Settings(settings),
      m_About(std::make_unique<TfrmAbout>(config, &window))
{
    QAction* setting = Item(&window, "sbtSetting", "Settings", 14);
    QObject::connect(setting, &QAction::triggered, &window, [this] { GuardedCall([this] { sbtConfigClick(); }); });
    toolbar.insertAction(beforeAction, setting);

    auto* menu = new QMenu(&window);
    menu->setObjectName(QStringLiteral("mnuAboutMenu"));
    const std::tuple<const char*, const char*, int, void (THelpCommands::*)()> items[] = {
        {"mnuHelp", "Help", 6, &THelpCommands::mnuHelpClick},
        {"mnuTutor", "Tutorials", 27, &THelpCommands::mnuTutorClick},
        {"mnuAbout", "About...", 26, &THelpCommands::mnuAboutClick},
        {"mnuWebUpdate", "Check for updates...", 25, &THelpCommands::mnuWebUpdateClick},
        {"mnuWeb", "Web site", 9, &THelpCommands::mnuWebClick},
    };
    for (const auto& [name, caption, image, handler] : items) {
        QAction* action = Item(menu, name, caption, image);
        QObject::connect(action, &QAction::triggered, &window,
                         [this, handler = handler] { GuardedCall([this, handler] { (this->*handler)(); }); });
        menu->addAction(action);
    }
    auto* button = new QToolButton(&toolbar);
    button->setObjectName(QStringLiteral("sbtAbout"));
    button->setPopupMode(QToolButton::InstantPopup);
    button->setMenu(menu);
    SetImage(*button, TImageList::File, 6);
    toolbar.insertWidget(beforeAction, button);
}

THelpCommands::~THelpCommands() = default;

std::string THelpCommands::HelpAddress(const std::string& programFolder, const std::string& language, bool tutorial)
{
    const char* page = tutorial ? "tutors.html" : "intro.html";
    const std::string help = programFolder + "/help/";
    if (QFileInfo::exists(QString::fromStdString(help + "intro.html")))
        return help + page;
    const bool italian = QString::fromStdString(language).toLower() == QStringLiteral("italian");
    return std::string(OnlineBase) + "/docs/" + (italian ? "it/" : "en/") + "kbel3/" + page;
}

void THelpCommands::sbtConfigClick()
{
    m_Settings.sbtConfigClick();
}

void THelpCommands::mnuHelpClick()
{
    const std::string address = HelpAddress(m_ProgramFolder, m_Config.Language, false);
    if (!OpenAddress(address))
        ReportNotOpened(address);
}

void THelpCommands::mnuTutorClick()
{
    // The tutorial reports no error.
    (void)OpenAddress(HelpAddress(m_ProgramFolder, m_Config.Language, true));
}

void THelpCommands::mnuAboutClick()
{
    m_About->show();
    m_About->raise();
}

TUpdateSetup THelpCommands::UpdateSetup() const
{
    TUpdateSetup setup;
    setup.URL = UpdateURLFromSettings(m_Config.SettingsFileName());
    setup.InstalledVersion = TfrmAbout::GetFileInfo("FileVersion");
    QMainWindow* window = &m_Window;
    setup.Terminate = [window] { window->close(); };
    setup.Connected = Connected;
    return setup;
}

void THelpCommands::mnuWebUpdateClick()
{
    RunWebUpdate(&m_Window, false, UpdateSetup());
}

void THelpCommands::mnuWebClick()
{
    const std::string address = std::string(OnlineBase) + "/";
    if (!OpenAddress(address))
        ReportNotOpened(address);
}
