#pragma once
// A simulated payment-password device on the master side of a pseudo-terminal.
// A thread reads request frames up to ETX, records them and answers each from a
// script of actions; an empty script means silence.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kqtest
{

using Bytes = std::vector<uint8_t>;

struct ReceivedFrame {
    std::string text;        // what arrived between STX and ETX
    Bytes bytes;             // decoded byte form, checksum included
    bool wellFormed = false; // even count of upper-case hex digits, at least a header and a checksum
    bool checksumOk = false;
    bool lengthOk = false; // the length field matches the bytes sent
    unsigned sequence = 0;
    char command = 0;
    Bytes payload;
};

struct SimReply {
    std::string bytes;   // written to the line as they are
    bool hangUp = false; // close the device side after writing
    int gapMs = 0;       // > 0: one byte at a time with this pause between them
};
using SimAction = std::function<SimReply(const ReceivedFrame&)>;

// The device's checksum, written independently of the driver's.
uint16_t Checksum(const Bytes& bytes);

// STX, hex of [sequence][command][length][payload][checksum], ETX.
struct FrameText {
    unsigned sequence = 0;
    char command = 0;
    Bytes payload;
    int lengthOverride = -1; // a length field other than the payload's
    int checksumDelta = 0;   // added to the correct checksum
    std::string beforeEtx;   // noise between the checksum and ETX
    bool withEtx = true;
    std::string Encode() const;
};

// A well-formed frame.
std::string EncodeFrame(unsigned sequence, char command, const Bytes& payload);

// Answers with the request's own sequence and command and a correct checksum.
SimAction Answer(Bytes payload);
// The same, with the frame's fields changed by `edit` before it is written.
SimAction AnswerWith(Bytes payload, std::function<void(FrameText&)> edit);
// A reply with only a (non-zero) status byte.
SimAction Status(uint8_t status);
SimAction Raw(std::string bytes);
SimAction Silence();
// A frame's text without ETX followed by noise that goes on for `noise` characters,
// one every `gapMs` milliseconds: a device that keeps sending.
SimAction Trickle(Bytes payload, int noise, int gapMs);
SimAction HangUp();
// The same action after a pause, like a device that takes its time to compute.
SimAction Delayed(SimAction action, std::chrono::milliseconds pause);

class KQDeviceSim
{
public:
    KQDeviceSim();
    ~KQDeviceSim();
    KQDeviceSim(const KQDeviceSim&) = delete;
    KQDeviceSim& operator=(const KQDeviceSim&) = delete;

    // The device path the driver opens.
    const std::string& Path() const { return path_; }
    // A descriptor of the device side the simulator keeps open (for flow control).
    int LineFd() const { return slave_; }

    void Script(std::vector<SimAction> actions);
    std::vector<ReceivedFrame> Received() const;

private:
    void Loop();
    void Handle(const std::string& text);

    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    mutable std::mutex mutex_;
    std::deque<SimAction> script_;
    std::vector<ReceivedFrame> received_;
    bool stop_ = false;
    bool hungUp_ = false;
    std::thread thread_;
};

// Points port "COM<port>" at a device path for the life of the object.
class PortOverride
{
public:
    PortOverride(int port, const std::string& path);
    ~PortOverride();
    PortOverride(const PortOverride&) = delete;
    PortOverride& operator=(const PortOverride&) = delete;

private:
    std::string name_;
};

// Sets an environment variable for the life of the object (null: unset it).
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    bool had_ = false;
    std::string old_;
};

} // namespace kqtest
