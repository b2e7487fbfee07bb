#pragma once
// A loopback HTTP server for the update check's tests: it answers each path
// with the raw response given (status line, headers and body as they are,
// so a test can declare more bytes than it sends) and counts the requests.
// Unknown paths get 404. Listens on 127.0.0.1 only, on a free port.

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>

#include <map>
#include <string>
#include <vector>

namespace kbtest {

class TLoopbackServer : public QTcpServer {
public:
    TLoopbackServer()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                Serve(socket);
        });
    }
    std::string Url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(serverPort()) + path;
    }
    // A complete 200 answer with the body.
    void Page(const std::string& path, const QByteArray& body, const char* type = "text/html")
    {
        m_Answers[path] = "HTTP/1.1 200 OK\r\nContent-Type: " + QByteArray(type) +
                          "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
                          body;
    }
    void Raw(const std::string& path, const QByteArray& response) { m_Answers[path] = response; }
    const std::vector<std::string>& Requests() const { return m_Requests; }

private:
    void Serve(QTcpSocket* socket)
    {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            m_Buffers[socket] += socket->readAll();
            const QByteArray& request = m_Buffers[socket];
            if (!request.contains("\r\n\r\n"))
                return;
            const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
            const std::string path = words.size() > 1 ? words[1].toStdString() : std::string();
            m_Buffers.erase(socket);
            m_Requests.push_back(path);
            const auto answer = m_Answers.find(path);
            socket->write(answer != m_Answers.end()
                              ? answer->second
                              : QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"));
            socket->disconnectFromHost();
        });
    }

    std::map<std::string, QByteArray> m_Answers;
    std::map<QTcpSocket*, QByteArray> m_Buffers;
    std::vector<std::string> m_Requests;
};

// An update-information page with the product, version and download tags.
inline QByteArray UpdatePage(const std::string& version, const std::string& download,
                             const std::string& clientName = "setup.bin", const std::string& product = "Kestrabel 3",
                             const std::string& runParameters = "")
{
    std::string page = "<html><head>\r\n";
    if (!product.empty())
        page += "<META NAME=\"qvProduct\" CONTENT=\"" + product + "\">\r\n";
    page += "<META NAME=\"qvVersion\" CONTENT=\"" + version + "\">\r\n";
    page += "<META NAME=\"qvDownload\" CONTENT=\"" + download + "\">\r\n";
    page += "<META NAME=\"qvClientSideName\" CONTENT=\"" + clientName + "\">\r\n";
    if (!runParameters.empty())
        page += "<META NAME=\"qvRunParameters\" CONTENT=\"" + runParameters + "\">\r\n";
    page += "</head></html>\r\n";
    return QByteArray::fromStdString(page);
}

} // namespace kbtest
