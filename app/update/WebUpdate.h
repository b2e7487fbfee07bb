#pragma once
// TmxWebUpdate: asks the update-information page whether a newer version
// exists and, when the operator agrees, downloads the installer.
//
// Everything runs on the main thread: each transfer runs a local event loop
// until its reply ends, so the windows stay live and the progress window's
// Cancel works. A transfer ends after TimeoutMs without data. Addresses pass
// CheckedUpdateAddress (https, plain http only to loopback); HTTP redirects
// are followed only to addresses that pass it too, at most
// MaxRedirections; the page's own redirection tag is followed at most
// MaxRedirections times, then the check fails.
//
// The installer is saved under the base name the page gives, in a new
// private folder below TargetFolder (empty: the temporary folder), never
// over a file. After a complete transfer RunFile hands it to the desktop
// (no parameters); only when that worked is Terminate called.
//
// Events fire as the progress window expects them (TFrmWebUpdate); any may
// be empty.

#include "app/update/UpdateInfo.h"

#include <QtGlobal>

#include <functional>
#include <memory>
#include <string>

class QNetworkAccessManager;
class QIODevice;

class TmxWebUpdate {
public:
    static constexpr int MaxRedirections = 5;

    struct TProductInfo {
        std::string URL;
        std::string Version = "1.0";
    };

    TmxWebUpdate();
    ~TmxWebUpdate();
    TmxWebUpdate(const TmxWebUpdate&) = delete;
    TmxWebUpdate& operator=(const TmxWebUpdate&) = delete;

    TProductInfo ProductInfo;
    TmxTagInfo TagInfo;
    std::string TargetFolder;
    int TimeoutMs = 30000;

    std::function<void()> OnBeforeGetInfo;
    std::function<void()> OnAfterGetInfo;
    std::function<void()> OnNoUpdateFound;
    std::function<void(const std::string& installed, bool& canUpdate, const std::string& newVersion)>
        OnUpdateAvailable;
    std::function<void(const std::string& path)> OnGetClientFileName;
    std::function<void(const std::string& path)> OnBeforeDownload;
    std::function<void(qint64 total, qint64 received)> OnDownload;
    std::function<void()> OnDownloadError;
    std::function<void(const std::string& path)> OnAfterDownload;
    std::function<void()> OnCannotExecute;
    // Starts the downloaded file with the page's run parameters (empty when
    // the page gives none); false when it did not start.
    std::function<bool(const std::string& path, const std::string& parameters)> RunFile;
    // Asks the program to end.
    std::function<void()> Terminate;

    // True when an update was downloaded and started. A nested call
    // returns false at once.
    bool CheckForUpdate();
    // Ends the running transfer at once; the check then fails.
    void Cancel();

    const TUpdatePageValues& Values() const { return m_Values; }
    // Where the last download went; empty before one.
    const std::string& ClientFilePath() const { return m_ClientFilePath; }

private:
    // Reads the page (following its redirections) into m_Values; false and
    // the download error when it cannot be read.
    bool GetInfo();
    bool Download();
    // Fetches address into body (sink null) or into sink; requireLength
    // asks for a complete transfer of a declared length.
    bool Transfer(const std::string& address, QByteArray* body, QIODevice* sink, bool requireLength);

    std::unique_ptr<QNetworkAccessManager> m_Network;
    TUpdatePageValues m_Values;
    std::string m_ClientFilePath;
    bool m_Running = false;
    bool m_Cancelled = false;
    std::function<void()> m_AbortTransfer;
};
