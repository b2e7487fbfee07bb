#include "app/update/UpdateCheck.h"

#include "app/update/WebUpdate.h"
#include "core/model/UserNotifier.h"
#include "core/settings/Language.h"
#include "platform/IniFile.h"

#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QNetworkInformation>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <random>

const char* const DefaultUpdateURL = "https://kestrabel.orvento.example/update/kbel3.html";

namespace {

bool g_Armed = false;

QString Ansi(const std::string& text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// The window's picture: a globe with an arrow coming down out of it, on a
// transparent ground, 126 x 88.
QPixmap UpdatePicture()
{
    QPixmap picture(126, 88);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF globe(38, 6, 56, 56);
    painter.setPen(QPen(QColor(40, 90, 160), 2));
    painter.setBrush(QColor(200, 225, 250));
    painter.drawEllipse(globe);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(globe.adjusted(16, 0, -16, 0));
    painter.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
    painter.drawLine(QPointF(globe.center().x(), globe.top()), QPointF(globe.center().x(), globe.bottom()));
    QPainterPath arrow;
    arrow.moveTo(86, 40);
    arrow.lineTo(98, 40);
    arrow.lineTo(98, 62);
    arrow.lineTo(108, 62);
    arrow.lineTo(92, 82);
    arrow.lineTo(76, 62);
    arrow.lineTo(86, 62);
    arrow.closeSubpath();
    painter.setPen(QPen(QColor(20, 100, 30), 1.5));
    painter.setBrush(QColor(60, 170, 70));
    painter.drawPath(arrow);
    return picture;
}

// The progress window: four labels over a picture, a progress bar shown
// while the installer comes, and Cancel.
class TFrmWebUpdate final : public QDialog {
public:
    TFrmWebUpdate(QWidget* parent, TmxWebUpdate& update) : QDialog(parent)
    {
        setObjectName(QStringLiteral("frmWebUpdate"));
        setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
        setFixedSize(290, 132);
        move(350, 300);
        auto* picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("imgUpdate"));
        picture->setGeometry(148, 3, 126, 88);
        picture->setPixmap(UpdatePicture());
        for (int i = 0; i < 4; ++i) {
            m_Labels[i] = new QLabel(this);
            m_Labels[i]->setObjectName(QStringLiteral("lblInfo%1").arg(i + 1));
            m_Labels[i]->setGeometry(16, 12 + 16 * i, 260, 16);
        }
        m_Progress = new QProgressBar(this);
        m_Progress->setObjectName(QStringLiteral("pbrDownload"));
        m_Progress->setGeometry(16, 88, 180, 17);
        m_Progress->hide();
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
        cancel->setObjectName(QStringLiteral("btnCancel"));
        cancel->setGeometry(204, 84, 72, 24);
        connect(cancel, &QPushButton::clicked, this, [&update] { update.Cancel(); });
    }
    QLabel& Label(int i) const { return *m_Labels[i]; }
    QProgressBar& Progress() const { return *m_Progress; }

private:
    QLabel* m_Labels[4] = {};
    QProgressBar* m_Progress = nullptr;
};

void Wire(TmxWebUpdate& update, TFrmWebUpdate& window, const TUpdateSetup& setup)
{
    using namespace LangKeys::String;
    update.OnBeforeGetInfo = [&window] {
        window.setWindowTitle(Ansi(LangText(UpdateCaption)));
        window.Label(0).setText(Ansi(LangText(UpdateProduct)));
        window.Label(1).setText(Ansi(LangText(UpdateInstalled)));
        window.Label(2).setText(Ansi(LangText(UpdatePageVersion)));
    };
    update.OnAfterGetInfo = [&window, &update] {
        window.setWindowTitle(Ansi(LangText(UpdateInfoCaption)));
        window.Label(0).setText(Ansi(LangText(UpdateProduct) + " " + update.Values().ProductName));
        window.Label(1).setText(Ansi(LangText(UpdateInstalled) + " " + update.ProductInfo.Version));
        window.Label(2).setText(Ansi(LangText(UpdatePageVersion) + " " + update.Values().Version));
    };
    const int hold = setup.NoUpdateHoldMs;
    update.OnNoUpdateFound = [&window, &update, hold] {
        window.Label(3).setText(Ansi(update.Values().ProductName + " " + LangText(UpdateNone)));
        QEventLoop loop;
        QTimer::singleShot(hold, &loop, &QEventLoop::quit);
        loop.exec();
    };
    // The question ends with the warning that the drawing goes: the program
    // ends once the installer runs.
    update.OnUpdateAvailable = [&window](const std::string&, bool& canUpdate, const std::string& newVersion) {
        const std::string text = LangFormat(LangText(UpdateAvailable), {newVersion}) + "\r\n" +
                                 LangText(UpdateQuestion) + "\r\n" + LangText(ClearDrawing);
        canUpdate = UserNotifier().AskYesNo(text, std::string()) == EUserAnswer::Yes;
        if (canUpdate)
            window.Progress().show();
    };
    update.OnGetClientFileName = [](const std::string& path) {
        UserNotifier().ShowMessage(EMessageKind::Information, LangFormat(LangText(UpdateSaveTo) + " %s", {path}),
                                   std::string());
    };
    update.OnBeforeDownload = [&window](const std::string& path) {
        const std::string name = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
        window.setWindowTitle(Ansi(LangFormat(LangText(UpdateDownloading) + " %s", {name})));
    };
    update.OnDownload = [&window](qint64 total, qint64 received) {
        if (total > 0) {
            window.Progress().setMaximum(int(std::min<qint64>(total, INT32_MAX)));
            window.Progress().setValue(int(std::min<qint64>(received, total)));
        }
    };
    update.OnDownloadError = [&window] {
        UserNotifier().ShowMessage(EMessageKind::Error, LangText(UpdateFailed), std::string());
        window.Progress().hide();
    };
    update.OnAfterDownload = [&window](const std::string&) {
        UserNotifier().ShowMessage(EMessageKind::Information, LangText(UpdateDone), std::string());
        window.Progress().hide();
    };
    update.OnCannotExecute = [] {
        UserNotifier().ShowMessage(EMessageKind::Error, LangText(UpdateCannotRun), std::string());
    };
    update.RunFile = setup.RunFile;
    if (!update.RunFile)
        update.RunFile = RunInstaller;
    update.Terminate = setup.Terminate;
}

} // namespace

std::string UpdateURLFromSettings(const std::string& settingsFileName)
{
    if (!settingsFileName.empty()) {
        try {
            const TIniFile ini(settingsFileName);
            const std::string url = ini.ReadString("Default", "UpdateURL", "");
            if (!url.empty())
                return url;
        } catch (const std::exception&) {
            // An unreadable settings file leaves the default.
        }
    }
    return DefaultUpdateURL;
}

bool RunInstaller(const std::string& path, const std::string& parameters)
{
    const QString file = QString::fromStdString(path);
    const QString words = QString::fromStdString(parameters).trimmed();
    if (words.isEmpty())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    QFile installer(file);
    if (!installer.exists())
        return false;
    installer.setPermissions(installer.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return QProcess::startDetached(file, QProcess::splitCommand(words));
}

bool NetworkMayBeReachable()
{
    if (!QNetworkInformation::instance() && !QNetworkInformation::loadDefaultBackend())
        return true;
    const QNetworkInformation* info = QNetworkInformation::instance();
    return !info || info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

void PickStartupUpdateCheck(const std::function<int()>& random0to19)
{
    if (random0to19) {
        g_Armed = random0to19() == 5;
        return;
    }
    std::mt19937 engine(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
    g_Armed = std::uniform_int_distribution<int>(0, 19)(engine) == 5;
}

bool UpdateCheckArmed()
{
    return g_Armed;
}

void SetUpdateCheckArmed(bool armed)
{
    g_Armed = armed;
}

bool RunWebUpdate(QWidget* parent, bool automatic, const TUpdateSetup& setup)
{
    g_Armed = false;
    if (automatic && !(setup.Connected ? setup.Connected() : NetworkMayBeReachable()))
        return false;
    TmxWebUpdate update;
    update.ProductInfo.URL = setup.URL;
    update.ProductInfo.Version = setup.InstalledVersion;
    update.TargetFolder = setup.TargetFolder;
    update.TimeoutMs = setup.TimeoutMs;
    TFrmWebUpdate window(parent, update);
    Wire(update, window, setup);
    window.show();
    const bool started = update.CheckForUpdate();
    window.close();
    return started;
}
