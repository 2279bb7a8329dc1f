#include "CSerPort.h"

#include "KQHex.h"
#include "SerialPortNames.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace kq
{

namespace
{

void PutCode(char* codeOut, const char* code)
{
    if (codeOut)
        std::memcpy(codeOut, code, 3);
}

int PayloadLength(const unsigned char* frame)
{
    return frame[2] * 256 + frame[3];
}

} // namespace

uint16_t FrameChecksum(const unsigned char* bytes, int count)
{
    uint16_t s1 = 0;
    uint16_t s2 = 0;
    for (int i = 0; i < count; ++i) {
        s1 = static_cast<uint16_t>(s1 + bytes[i]);
        s2 = static_cast<uint16_t>(s2 + s1);
    }
    return s2;
}

CSerPort::CSerPort()
{
    plat::SerialPollSettings settings = plat::CurrentSerialPollSettings();
    pollCount_ = settings.pollCount;
    pollSleepMs_ = settings.pollSleepMs;
}

CSerPort::~CSerPort()
{
    Close();
}

int CSerPort::Open(int port)
{
    Close();
    char name[32];
    std::snprintf(name, sizeof name, "COM%d", port);
    return port_.Open(plat::SerialPortPathForName(name)) ? 1 : 0;
}

void CSerPort::Close()
{
    port_.Close();
}

int CSerPort::Read(char* buffer, int n)
{
    return port_.Read(buffer, n);
}

int CSerPort::Write(const char* buffer, int n)
{
    return port_.Write(buffer, n, kWriteTimeoutMs);
}

int CSerPort::InQueue()
{
    return port_.InQueue();
}

int CSerPort::WaitRead(char* buffer, int n)
{
    if (!port_.IsOpen())
        return -1;
    // Up to pollCount_ + 1 waits of pollSleepMs_ each for the first byte.
    for (int count = 0; InQueue() <= 0;) {
        int ready = port_.WaitReadable(pollSleepMs_);
        if (ready < 0)
            return -1;
        if (ready > 0 && InQueue() > 0)
            break;
        if (ready > 0) {
            // Readable yet nothing queued: wait out the interval rather than spin.
            std::this_thread::sleep_for(std::chrono::milliseconds(pollSleepMs_));
        }
        if (++count > pollCount_)
            return -2;
    }
    return Read(buffer, n) == n ? n : -1;
}

int CSerPort::SendFrame(KQFrame* frame, char* codeOut)
{
    if (!frame) {
        PutCode(codeOut, "800");
        return 0;
    }
    unsigned char* bytes = frame->bytes;
    int n = PayloadLength(bytes);
    if (n > kMaxPayload) {
        PutCode(codeOut, "812");
        return 0;
    }
    uint16_t sum = FrameChecksum(bytes, kFrameHeaderBytes + n);
    bytes[kFrameHeaderBytes + n] = static_cast<unsigned char>(sum >> 8);
    bytes[kFrameHeaderBytes + n + 1] = static_cast<unsigned char>(sum & 0xFF);

    const int byteCount = n + kFrameHeaderBytes + kFrameChecksumBytes;
    const int textLength = byteCount * 2 + 2;
    char text[kMaxFrameText];
    text[0] = kSTX;
    BytesToHex(bytes, static_cast<size_t>(byteCount), text + 1);
    text[textLength - 1] = kETX;
    if (Write(text, textLength) < textLength) {
        PutCode(codeOut, "813");
        return 0;
    }
    return 1;
}

int CSerPort::ReceiveFrame(KQFrame* frame, char* codeOut)
{
    if (!frame) {
        PutCode(codeOut, "800");
        return 0;
    }
    char c = 0;
    int r = WaitRead(&c, 1);
    if (r == -1) {
        PutCode(codeOut, "815");
        return 0;
    }
    if (r != 1) {
        PutCode(codeOut, "811");
        return 0;
    }
    if (c != kSTX) {
        PutCode(codeOut, "814");
        return 0;
    }

    // The whole reply has a time bound as well as each character: a device that
    // keeps sending slowly would otherwise hold the program for as long as it sends.
    // Twice the wait for the first character is far more than a frame takes.
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(2 * (pollCount_ + 1) * static_cast<int64_t>(pollSleepMs_));
    auto readOne = [&](char* into) {
        return std::chrono::steady_clock::now() <= deadline && WaitRead(into, 1) == 1;
    };
    char text[kMaxFrameText];
    auto readChars = [&](int from, int count) {
        for (int i = from; i < from + count; ++i) {
            if (!readOne(&text[i]))
                return false;
        }
        return true;
    };
    if (!readChars(0, kFrameHeaderBytes * 2)) {
        PutCode(codeOut, "811");
        return 0;
    }
    unsigned char* bytes = frame->bytes;
    HexToBytes(text, kFrameHeaderBytes, bytes);
    int n = PayloadLength(bytes);
    if (n > kMaxPayload) {
        PutCode(codeOut, "812");
        return 0;
    }
    if (!readChars(kFrameHeaderBytes * 2, (n + kFrameChecksumBytes) * 2)) {
        PutCode(codeOut, "811");
        return 0;
    }
    // Whatever comes between the checksum and ETX is line noise, as long as the
    // whole reply is no longer than the longest frame.
    int length = 1 + (n + kFrameHeaderBytes + kFrameChecksumBytes) * 2;
    do {
        if (++length > kMaxFrameText) {
            PutCode(codeOut, "812");
            return 0;
        }
        if (!readOne(&c)) {
            PutCode(codeOut, "811");
            return 0;
        }
    } while (c != kETX);

    const int byteCount = n + kFrameHeaderBytes + kFrameChecksumBytes;
    HexToBytes(text, static_cast<size_t>(byteCount), bytes);
    uint16_t sum = FrameChecksum(bytes, kFrameHeaderBytes + n);
    if (bytes[kFrameHeaderBytes + n] != (sum >> 8) || bytes[kFrameHeaderBytes + n + 1] != (sum & 0xFF)) {
        PutCode(codeOut, "816");
        return 0;
    }
    return 1;
}

int CSerPort::Transact(int port, KQFrame* request, KQFrame* reply, char* codeOut)
{
    if (!request || !reply) {
        PutCode(codeOut, "800");
        return 0;
    }
    if (!Open(port)) {
        PutCode(codeOut, "801");
        return 0;
    }
    int ok = SendFrame(request, codeOut) && ReceiveFrame(reply, codeOut);
    Close();
    return ok;
}

} // namespace kq
