#pragma once
// One device transaction on the serial port: open, send one request frame,
// receive one reply frame, close.
//
// A frame in byte form is [sequence][command][length high][length low][payload,
// length <= 128 bytes][checksum high][checksum low]; on the wire it is STX, every
// byte as two upper-case hex characters, ETX.

#include "SerialPort.h"

#include <cstdint>

namespace kq
{

constexpr int kMaxPayload = 128;
constexpr int kFrameHeaderBytes = 4;
constexpr int kFrameChecksumBytes = 2;
constexpr int kMaxFrameBytes = kFrameHeaderBytes + kMaxPayload + kFrameChecksumBytes; // 134
constexpr int kMaxFrameText = kMaxFrameBytes * 2 + 2;                                 // 270
constexpr char kSTX = 0x02;
constexpr char kETX = 0x03;

// Room for the largest frame either way, so that a reply's length field (which
// the device controls) can never carry data past the end of the buffer.
struct KQFrame {
    unsigned char bytes[kMaxFrameBytes];
};

// Two running 16-bit sums; the result is the second (0 for no bytes).
uint16_t FrameChecksum(const unsigned char* bytes, int count);

class CSerPort
{
public:
    // Takes the poll settings current at this moment.
    CSerPort();
    virtual ~CSerPort();
    CSerPort(const CSerPort&) = delete;
    CSerPort& operator=(const CSerPort&) = delete;

    // Up to n waiting bytes: the count read, 0 when none wait, -1 on an error.
    virtual int Read(char* buffer, int n);
    // The count written (fewer on a time-out), -1 on an error or when closed.
    virtual int Write(const char* buffer, int n);

    // Opens port "COM<port>": 1, or 0 when it cannot be opened or configured.
    int Open(int port);
    void Close();

    // Waits for input, then reads n bytes: n, -1 on a read error, -2 on a time-out.
    int WaitRead(char* buffer, int n);
    int InQueue();

    // Each returns 1, or 0 with the 3-character code in codeOut[0-2].
    int SendFrame(KQFrame* frame, char* codeOut);
    int ReceiveFrame(KQFrame* frame, char* codeOut);
    int Transact(int port, KQFrame* request, KQFrame* reply, char* codeOut);

private:
    static constexpr int kWriteTimeoutMs = 1000;

    plat::SerialPort port_;
    int pollCount_;
    int pollSleepMs_;
};

} // namespace kq
