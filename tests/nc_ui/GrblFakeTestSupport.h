#pragma once
// The fake GRBL (tools/fakegrbl) as a child process on a pseudo-terminal,
// with its log, for the tests of the link and the window.

#include "nc/grbl/GRBLCnc.h"
#include "nc/grbl/SerialPortTransport.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace kbtest {

class TFakeGrbl {
public:
    TFakeGrbl(const TTempDir& dir, const QStringList& options) : m_LogFile(dir.File("fakegrbl.log"))
    {
        QStringList args = options;
        args << QStringLiteral("--log") << QString::fromStdString(m_LogFile);
        m_Process.start(QStringLiteral(KB_FAKEGRBL), args);
        if (!m_Process.waitForStarted(5000))
            return;
        while (!m_Process.canReadLine() && m_Process.waitForReadyRead(5000)) {
        }
        Device = m_Process.readLine().trimmed().toStdString();
    }
    ~TFakeGrbl() { Stop(); }
    void Stop()
    {
        if (m_Process.state() == QProcess::NotRunning)
            return;
        m_Process.terminate();
        if (!m_Process.waitForFinished(3000))
            m_Process.kill();
        m_Process.waitForFinished(3000);
    }
    qint64 Pid() const { return m_Process.processId(); }

    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        std::ifstream in(m_LogFile);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // The lines that arrived, in order ("IN " taken off).
    std::vector<std::string> Received() const
    {
        std::vector<std::string> lines;
        for (const std::string& line : Log())
            if (line.starts_with("IN "))
                lines.push_back(line.substr(3));
        return lines;
    }
    int Count(const std::string& entry) const
    {
        const std::vector<std::string> log = Log();
        return int(std::count(log.begin(), log.end(), entry));
    }

    std::string Device;

private:
    std::string m_LogFile;
    QProcess m_Process;
};

// The serial port, watched: the most lines unanswered when a line went out.
class TWatchedPort final : public TGrblTransport {
public:
    TWatchedPort()
    {
        m_Inner.OnReceived = [this](std::string_view bytes) {
            if (OnReceived)
                OnReceived(bytes);
        };
        m_Inner.OnFailed = [this](const std::string& reason) {
            if (OnFailed)
                OnFailed(reason);
        };
    }
    std::string Open(const std::string& device, int baud) override { return m_Inner.Open(device, baud); }
    void Close() override { m_Inner.Close(); }
    bool IsOpen() const override { return m_Inner.IsOpen(); }
    void Write(std::string_view bytes) override
    {
        if (Link && bytes.ends_with('\n'))
            MaxUnanswered = std::max(MaxUnanswered, Link->Unanswered());
        m_Inner.Write(bytes);
    }

    const TGRBLCnc* Link = nullptr;
    int MaxUnanswered = 0;

private:
    TSerialPortTransport m_Inner;
};

} // namespace kbtest
