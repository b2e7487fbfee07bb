#pragma once
// The serial line to the controller as the machine link sees it: open with
// the window's port and speed, write bytes, be told of received bytes and of
// a device that went away. The program uses TSerialPortTransport
// (nc/grbl/SerialPortTransport.h); tests use recording fakes.
//
// Received bytes arrive on the main thread, from the event loop, in pieces
// of any size; the link cuts them into lines itself.

#include <functional>
#include <string>
#include <string_view>

class TGrblTransport {
public:
    virtual ~TGrblTransport() = default;

    // Opens device (a path such as "/dev/ttyUSB0") at baud bits per second,
    // 8 data bits, no parity, one stop bit, no flow control, DTR and RTS off.
    // Returns an empty text, or why the port did not open.
    virtual std::string Open(const std::string& device, int baud) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Writes bytes as one piece; nothing happens while the port is closed.
    virtual void Write(std::string_view bytes) = 0;

    // Told each piece of received bytes.
    std::function<void(std::string_view bytes)> OnReceived;
    // Told when the open port failed (the device went away); the port stays
    // open until its owner closes it.
    std::function<void(const std::string& reason)> OnFailed;
};
