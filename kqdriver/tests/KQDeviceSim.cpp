#include "KQDeviceSim.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <unistd.h>

namespace kqtest
{

namespace
{

constexpr char kSTX = 0x02;
constexpr char kETX = 0x03;

std::string Hex(const Bytes& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

int Nibble(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t r = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (r < 0 && (errno == EINTR || errno == EAGAIN)) {
            ::usleep(1000);
            continue;
        }
        if (r <= 0)
            return;
        done += static_cast<size_t>(r);
    }
}

} // namespace

uint16_t Checksum(const Bytes& bytes)
{
    unsigned a = 0, b = 0;
    for (uint8_t v : bytes) {
        a = (a + v) & 0xFFFF;
        b = (b + a) & 0xFFFF;
    }
    return static_cast<uint16_t>(b);
}

std::string FrameText::Encode() const
{
    unsigned length = lengthOverride >= 0 ? static_cast<unsigned>(lengthOverride) : payload.size();
    Bytes bytes{static_cast<uint8_t>(sequence), static_cast<uint8_t>(command),
                static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length & 0xFF)};
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    uint16_t sum = static_cast<uint16_t>(Checksum(bytes) + checksumDelta);
    bytes.push_back(static_cast<uint8_t>(sum >> 8));
    bytes.push_back(static_cast<uint8_t>(sum & 0xFF));
    std::string text(1, kSTX);
    text += Hex(bytes);
    text += beforeEtx;
    if (withEtx)
        text += kETX;
    return text;
}

std::string EncodeFrame(unsigned sequence, char command, const Bytes& payload)
{
    FrameText frame;
    frame.sequence = sequence;
    frame.command = command;
    frame.payload = payload;
    return frame.Encode();
}

SimAction AnswerWith(Bytes payload, std::function<void(FrameText&)> edit)
{
    return [payload, edit](const ReceivedFrame& request) {
        FrameText frame;
        frame.sequence = request.sequence;
        frame.command = request.command;
        frame.payload = payload;
        if (edit)
            edit(frame);
        return SimReply{frame.Encode(), false};
    };
}

SimAction Answer(Bytes payload)
{
    return AnswerWith(std::move(payload), nullptr);
}

SimAction Status(uint8_t status)
{
    return Answer({status});
}

SimAction Raw(std::string bytes)
{
    return [bytes](const ReceivedFrame&) { return SimReply{bytes, false}; };
}

SimAction Trickle(Bytes payload, int noise, int gapMs)
{
    return [payload, noise, gapMs](const ReceivedFrame& r) {
        FrameText frame;
        frame.sequence = r.sequence;
        frame.command = r.command;
        frame.payload = payload;
        frame.withEtx = false;
        return SimReply{frame.Encode() + std::string(static_cast<size_t>(noise), 'z'), false, gapMs};
    };
}

SimAction Silence()
{
    return [](const ReceivedFrame&) { return SimReply{}; };
}

SimAction HangUp()
{
    return [](const ReceivedFrame&) { return SimReply{{}, true}; };
}

SimAction Delayed(SimAction action, std::chrono::milliseconds pause)
{
    return [action, pause](const ReceivedFrame& request) {
        std::this_thread::sleep_for(pause);
        return action(request);
    };
}

KQDeviceSim::KQDeviceSim()
{
    char name[128] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    path_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    thread_ = std::thread([this] { Loop(); });
}

KQDeviceSim::~KQDeviceSim()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    thread_.join();
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
}

void KQDeviceSim::Script(std::vector<SimAction> actions)
{
    std::lock_guard<std::mutex> lock(mutex_);
    script_.assign(actions.begin(), actions.end());
}

std::vector<ReceivedFrame> KQDeviceSim::Received() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

void KQDeviceSim::Loop()
{
    std::string pending;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stop_ || hungUp_)
                return;
        }
        pollfd p{master_, POLLIN, 0};
        int ready = ::poll(&p, 1, 5);
        if (ready <= 0 || !(p.revents & POLLIN))
            continue;
        char buffer[512];
        ssize_t r = ::read(master_, buffer, sizeof buffer);
        if (r <= 0)
            continue;
        pending.append(buffer, static_cast<size_t>(r));
        size_t etx;
        while ((etx = pending.find(kETX)) != std::string::npos) {
            std::string frame = pending.substr(0, etx);
            pending.erase(0, etx + 1);
            size_t stx = frame.rfind(kSTX);
            Handle(stx == std::string::npos ? frame : frame.substr(stx + 1));
        }
    }
}

void KQDeviceSim::Handle(const std::string& text)
{
    ReceivedFrame frame;
    frame.text = text;
    frame.wellFormed = text.size() % 2 == 0 && text.size() >= 12;
    for (size_t i = 0; frame.wellFormed && i < text.size(); i += 2) {
        int hi = Nibble(text[i]), lo = Nibble(text[i + 1]);
        if (hi < 0 || lo < 0)
            frame.wellFormed = false;
        else
            frame.bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    if (frame.wellFormed) {
        const Bytes& b = frame.bytes;
        frame.sequence = b[0];
        frame.command = static_cast<char>(b[1]);
        size_t length = b[2] * 256u + b[3];
        frame.lengthOk = b.size() == length + 6;
        frame.payload.assign(b.begin() + 4, b.end() - 2);
        Bytes body(b.begin(), b.end() - 2);
        frame.checksumOk = Checksum(body) == b[b.size() - 2] * 256u + b[b.size() - 1];
    }
    SimAction action;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        received_.push_back(frame);
        if (!script_.empty()) {
            action = script_.front();
            script_.pop_front();
        }
    }
    if (!action)
        return;
    SimReply reply = action(frame);
    if (reply.gapMs > 0) {
        for (char c : reply.bytes) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (stop_)
                    return;
            }
            WriteAll(master_, std::string(1, c));
            ::usleep(static_cast<useconds_t>(reply.gapMs) * 1000);
        }
    } else {
        WriteAll(master_, reply.bytes);
    }
    if (reply.hangUp) {
        std::lock_guard<std::mutex> lock(mutex_);
        ::close(master_);
        ::close(slave_);
        master_ = slave_ = -1;
        hungUp_ = true;
    }
}

PortOverride::PortOverride(int port, const std::string& path) : name_("DOX_COM" + std::to_string(port))
{
    ::setenv(name_.c_str(), path.c_str(), 1);
}

PortOverride::~PortOverride()
{
    ::unsetenv(name_.c_str());
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name)
{
    if (const char* old = std::getenv(name)) {
        had_ = true;
        old_ = old;
    }
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (had_)
        ::setenv(name_.c_str(), old_.c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

} // namespace kqtest
