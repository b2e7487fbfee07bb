#include "nc/grbl/SerialPortTransport.h"

#include <QFile>
#include <QSerialPort>
#include <QSerialPortInfo>

TSerialPortTransport::TSerialPortTransport() : m_Port(std::make_unique<QSerialPort>())
{
    QObject::connect(m_Port.get(), &QSerialPort::readyRead, m_Port.get(), [this] {
        const QByteArray bytes = m_Port->readAll();
        if (OnReceived && !bytes.isEmpty())
            OnReceived(std::string_view(bytes.constData(), size_t(bytes.size())));
    });
    QObject::connect(m_Port.get(), &QSerialPort::errorOccurred, m_Port.get(), [this](QSerialPort::SerialPortError error) {
        const bool fatal = error == QSerialPort::ReadError || error == QSerialPort::WriteError ||
                           error == QSerialPort::ResourceError;
        if (fatal && m_Port->isOpen() && !m_Closing && OnFailed)
            OnFailed(m_Port->errorString().toStdString());
    });
}

TSerialPortTransport::~TSerialPortTransport()
{
    // No notice of the close may reach an owner that is going away.
    OnReceived = nullptr;
    OnFailed = nullptr;
    m_Port->close();
}

std::string TSerialPortTransport::Open(const std::string& device, int baud)
{
    if (m_Port->isOpen())
        return {};
    m_Port->setPortName(QFile::decodeName(device.c_str()));
    m_Port->setBaudRate(baud);
    m_Port->setDataBits(QSerialPort::Data8);
    m_Port->setParity(QSerialPort::NoParity);
    m_Port->setStopBits(QSerialPort::OneStop);
    m_Port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_Port->open(QIODevice::ReadWrite))
        return m_Port->errorString().toStdString();
    // A pseudo-terminal refuses the modem lines: that is no reason to fail.
    m_Port->setDataTerminalReady(false);
    m_Port->setRequestToSend(false);
    m_Port->clearError();
    return {};
}

void TSerialPortTransport::Close()
{
    if (!m_Port->isOpen())
        return;
    // What was written goes out as far as the line takes it without waiting;
    // a failure on the way is no news to the owner that closes.
    m_Closing = true;
    m_Port->flush();
    m_Port->close();
    m_Closing = false;
}

bool TSerialPortTransport::IsOpen() const { return m_Port->isOpen(); }

void TSerialPortTransport::Write(std::string_view bytes)
{
    if (!m_Port->isOpen() || bytes.empty())
        return;
    m_Port->write(bytes.data(), qint64(bytes.size()));
    // Out now, not at the event loop's next turn: the controller waits.
    m_Port->flush();
}

std::vector<std::string> TSerialPortTransport::AvailablePorts()
{
    std::vector<std::string> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back(QFile::encodeName(info.systemLocation()).toStdString());
    return ports;
}
