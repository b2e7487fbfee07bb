#pragma once
// The serial port of the machine link, on QSerialPort. Received bytes are
// handed on from readyRead on the main thread.
//
// DTR and RTS are switched off after the open; a device that refuses it (a
// pseudo-terminal has no modem lines) still counts as open. A read error or
// a vanished device is told through OnFailed; the port stays open until its
// owner closes it. Writes go out at once as far as the line takes them
// without waiting; the rest follows from the event loop. A close sends what
// it can of the written bytes first.

#include "nc/grbl/GRBLTransport.h"

#include <memory>

class QSerialPort;

class TSerialPortTransport final : public TGrblTransport {
public:
    TSerialPortTransport();
    ~TSerialPortTransport() override;

    std::string Open(const std::string& device, int baud) override;
    void Close() override;
    bool IsOpen() const override;
    void Write(std::string_view bytes) override;

    // The serial ports the system lists, as device paths.
    static std::vector<std::string> AvailablePorts();

private:
    std::unique_ptr<QSerialPort> m_Port;
    bool m_Closing = false;
};
