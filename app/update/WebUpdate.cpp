#include "app/update/WebUpdate.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryDir>
#include <QUrl>

TmxWebUpdate::TmxWebUpdate() : m_Network(std::make_unique<QNetworkAccessManager>()) {}

TmxWebUpdate::~TmxWebUpdate()
{
    Cancel();
}

void TmxWebUpdate::Cancel()
{
    m_Cancelled = true;
    if (m_AbortTransfer)
        m_AbortTransfer();
}

bool TmxWebUpdate::CheckForUpdate()
{
    if (m_Running)
        return false;
    m_Running = true;
    m_Cancelled = false;
    struct TRunning {
        bool& Flag;
        ~TRunning() { Flag = false; }
    } running{m_Running};

    if (OnBeforeGetInfo)
        OnBeforeGetInfo();
    if (!GetInfo())
        return false;
    if (!IsNewerVersion(ProductInfo.Version, m_Values.Version)) {
        if (OnNoUpdateFound)
            OnNoUpdateFound();
        return false;
    }
    bool canUpdate = true;
    if (OnUpdateAvailable)
        OnUpdateAvailable(ProductInfo.Version, canUpdate, m_Values.Version);
    if (!canUpdate || !Download())
        return false;
    if (!RunFile || !RunFile(m_ClientFilePath, m_Values.RunParameters)) {
        // Nothing started: the program stays.
        if (OnCannotExecute)
            OnCannotExecute();
        return false;
    }
    if (Terminate)
        Terminate();
    return true;
}

bool TmxWebUpdate::GetInfo()
{
    const auto fail = [this] {
        if (OnDownloadError)
            OnDownloadError();
        return false;
    };
    std::string address = ProductInfo.URL;
    for (int redirections = 0;; ++redirections) {
        m_Values = TUpdatePageValues();
        QByteArray body;
        if (!Transfer(address, &body, nullptr, false))
            return false; // the transfer reported its error
        m_Values = ParseUpdatePage(SplitPageLines(std::string_view(body.constData(), size_t(body.size()))), TagInfo);
        if (m_Values.Redirection.empty())
            break;
        if (redirections == MaxRedirections)
            return fail();
        address = m_Values.Redirection;
    }
    if (OnAfterGetInfo)
        OnAfterGetInfo();
    if (m_Values.ProductName.empty() || m_Values.Version.empty())
        return fail();
    return true;
}

bool TmxWebUpdate::Download()
{
    const auto fail = [this] {
        if (OnDownloadError)
            OnDownloadError();
        return false;
    };
    const std::string name = SafeClientFileName(m_Values.ClientFileName);
    if (name.empty())
        return fail();
    const QString base = TargetFolder.empty() ? QDir::tempPath() : QString::fromStdString(TargetFolder);
    QTemporaryDir folder(base + QStringLiteral("/kestrabel-update-XXXXXX"));
    if (!folder.isValid())
        return fail();
    folder.setAutoRemove(false);
    const QString path = folder.filePath(QString::fromStdString(name));
    m_ClientFilePath = path.toStdString();
    if (OnGetClientFileName)
        OnGetClientFileName(m_ClientFilePath);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail();
    if (OnBeforeDownload)
        OnBeforeDownload(m_ClientFilePath);
    const bool complete = Transfer(m_Values.Download, nullptr, &file, true);
    file.close();
    if (!complete) {
        file.remove();
        QDir().rmdir(folder.path());
        return false;
    }
    if (OnAfterDownload)
        OnAfterDownload(m_ClientFilePath);
    return true;
}

bool TmxWebUpdate::Transfer(const std::string& address, QByteArray* body, QIODevice* sink, bool requireLength)
{
    bool ok = false;
    const std::string checked = CheckedUpdateAddress(address);
    if (!checked.empty() && !m_Cancelled) {
        QNetworkRequest request(QUrl(QString::fromStdString(checked)));
        request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("TqvWebUpdate"));
        request.setRawHeader("Accept", "*/*");
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
        request.setMaximumRedirectsAllowed(MaxRedirections);
        request.setTransferTimeout(TimeoutMs);

        QNetworkReply* reply = m_Network->get(request);
        QEventLoop loop;
        bool writeFailed = false;
        QObject::connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl& url) {
            if (CheckedUpdateAddress(url.toString(QUrl::FullyEncoded).toStdString()).empty())
                reply->abort();
            else
                emit reply->redirectAllowed();
        });
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
            const QByteArray block = reply->readAll();
            if (sink) {
                if (sink->write(block) != block.size()) {
                    writeFailed = true;
                    reply->abort();
                }
            } else {
                body->append(block);
            }
        });
        QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [this](qint64 received, qint64 total) {
            if (OnDownload)
                OnDownload(total, received);
        });
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        m_AbortTransfer = [reply] { reply->abort(); };
        if (!reply->isFinished())
            loop.exec();
        m_AbortTransfer = nullptr;
        const QByteArray rest = reply->readAll();
        if (sink && !rest.isEmpty() && sink->write(rest) != rest.size())
            writeFailed = true;
        else if (!sink)
            body->append(rest);

        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        ok = reply->error() == QNetworkReply::NoError && !m_Cancelled && !writeFailed && status >= 200 &&
             status < 300;
        if (ok && requireLength)
            ok = length.isValid() && sink->size() == length.toLongLong();
        if (ok && !sink)
            ok = !body->isEmpty();
        reply->deleteLater();
    }
    if (!ok && OnDownloadError)
        OnDownloadError();
    return ok;
}
