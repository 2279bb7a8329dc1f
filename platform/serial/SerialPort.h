#pragma once
// A serial port on a POSIX terminal device, as the payment-password device needs it:
// full raw mode at 9600 baud 8N1 without flow control, non-blocking I/O driven by
// poll(), and exclusive use of the device while it is open.

#include <string>

namespace plat
{

class SerialPort
{
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens and configures the device (closing first when open). False when the
    // device cannot be opened, is in use by another holder of its lock, or is not
    // a terminal; LastError() then tells why. Input and output queues are purged.
    bool Open(const std::string& path);

    // Drops DTR, purges both queues, gives up exclusive use and closes. Nothing
    // when closed.
    void Close();

    bool IsOpen() const { return fd_ >= 0; }

    // Writes n bytes, waiting at most timeoutMs in all for the device to take them.
    // Returns the number written (fewer than n after the time-out), -1 on an error
    // before anything was written or when closed.
    int Write(const void* data, int n, int timeoutMs);

    // Reads at most n bytes of those already waiting: 0 when none wait, -1 on a read
    // error, a hang-up or when closed.
    int Read(void* data, int n);

    // Bytes waiting in the input queue; 0 when closed.
    int InQueue() const;

    // Waits at most timeoutMs for input: 1 input waits, 0 time-out, -1 hang-up or
    // error (or closed).
    int WaitReadable(int timeoutMs) const;

    // Discards both queues.
    void Purge();

    const std::string& LastError() const { return lastError_; }

private:
    void Fail(const std::string& what, int error);

    int fd_ = -1;
    std::string lastError_;
};

} // namespace plat
