// The POSIX serial port and the names of ports, on pseudo-terminals and scratch folders.

#include "SerialPort.h"
#include "KQDeviceSim.h"
#include "SerialPortNames.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using kqtest::ScopedEnv;

namespace
{

// A pseudo-terminal whose device side the test keeps open as well.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;
    Pty()
    {
        char name[128] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = name;
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
    }
};

std::string AllByteValues()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<char>(i));
    return bytes;
}

std::string ReadFromPort(plat::SerialPort& port, size_t count)
{
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
        if (port.WaitReadable(20) <= 0)
            continue;
        char buffer[64];
        int r = port.Read(buffer, sizeof buffer);
        if (r < 0)
            break;
        got.append(buffer, static_cast<size_t>(r));
    }
    return got;
}

std::string ReadFromMaster(int master, size_t count)
{
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        char buffer[64];
        ssize_t r = ::read(master, buffer, sizeof buffer);
        if (r <= 0)
            break;
        got.append(buffer, static_cast<size_t>(r));
    }
    return got;
}

TEST(SerialPortNames, DevicesInPortOrder)
{
    doxtest::TempDir dev;
    for (const char* name : {"ttyS10", "ttyS2", "ttyUSB1", "ttyACM0", "ttyS0", "ttyUSB0", "ttyS", "ttySX",
                             "tty0", "ttyAMA0", "console", "ttyUSB"})
        ASSERT_TRUE(doxtest::WriteFileBytes(dev / name, ""));
    const std::vector<std::string> expected = {(dev / "ttyS0").string(),   (dev / "ttyS2").string(),
                                               (dev / "ttyS10").string(),  (dev / "ttyUSB0").string(),
                                               (dev / "ttyUSB1").string(), (dev / "ttyACM0").string()};
    EXPECT_EQ(plat::ListSerialDevices(dev.path().string()), expected);
    EXPECT_TRUE(plat::ListSerialDevices((dev / "missing").string()).empty());
}

TEST(SerialPortNames, PortNamesAndOverrides)
{
    ScopedEnv com3("DOX_COM3", "/dev/pts/77");
    ScopedEnv com42("DOX_COM42", "/tmp/kq-line");
    struct Case {
        const char* name;
        const char* path;
    };
    for (Case c : {Case{"COM3", "/dev/pts/77"},
                   {"com3", "/dev/pts/77"},
                   {"Com42", "/tmp/kq-line"},
                   {"COM", ""},
                   {"COM0", ""},
                   {"COM-3", ""},
                   {"COM3x", ""},
                   {"LPT3", ""},
                   {"", ""}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(plat::SerialPortPathForName(c.name), c.path);
    }
    EXPECT_EQ(plat::SerialPortPath(0), "");

    // Ports of this machine first, then the named ones, in number order.
    const std::vector<std::string> devices = plat::ListSerialDevices();
    const auto ports = plat::EnumerateSerialPorts();
    int last = 0;
    bool found42 = false;
    for (const auto& port : ports) {
        EXPECT_GT(port.number, last);
        last = port.number;
        EXPECT_EQ(port.name, "COM" + std::to_string(port.number));
        EXPECT_EQ(port.path, plat::SerialPortPath(port.number));
        found42 = found42 || (port.number == 42 && port.path == "/tmp/kq-line");
    }
    EXPECT_TRUE(found42);
    EXPECT_GE(ports.size(), devices.size() + (devices.size() < 42 ? 1 : 0));
    if (!devices.empty()) {
        EXPECT_EQ(plat::SerialPortPath(1), devices[0]);
    }
}

TEST(SerialPortNames, PollSettings)
{
    struct Case {
        const char* count;
        const char* ms;
        int expectCount;
        int expectMs;
    };
    const Case cases[] = {
        {nullptr, nullptr, 100, 30}, {"40", "5", 40, 5},    {"0", "1", 0, 1},
        {"abc", "0", 100, 30},       {"-3", "+5", 100, 30}, {"", "99999999999", 100, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.count ? c.count : "unset") + "/" + (c.ms ? c.ms : "unset"));
        ScopedEnv count("DOX_SERIAL_POLL_COUNT", c.count);
        ScopedEnv ms("DOX_SERIAL_POLL_MS", c.ms);
        plat::SerialPollSettings settings = plat::CurrentSerialPollSettings();
        EXPECT_EQ(settings.pollCount, c.expectCount);
        EXPECT_EQ(settings.pollSleepMs, c.expectMs);
    }
}

TEST(SerialPortIO, EveryByteValuePassesUnchangedBothWays)
{
    // Full raw mode: ETX is no interrupt, CR and LF are not translated, XON/XOFF are
    // data, nothing is echoed.
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    plat::SerialPort port;
    ASSERT_TRUE(port.Open(pty.path)) << port.LastError();
    const std::string bytes = AllByteValues();

    ASSERT_EQ(::write(pty.master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    EXPECT_EQ(ReadFromPort(port, bytes.size()), bytes);

    EXPECT_EQ(port.Write(bytes.data(), static_cast<int>(bytes.size()), 1000), static_cast<int>(bytes.size()));
    EXPECT_EQ(ReadFromMaster(pty.master, bytes.size()), bytes);

    pollfd p{pty.master, POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 50), 0) << "nothing echoed back";
}

TEST(SerialPortIO, LineSettings)
{
    Pty pty;
    plat::SerialPort port;
    ASSERT_TRUE(port.Open(pty.path)) << port.LastError();
    termios tio{};
    ASSERT_EQ(::tcgetattr(pty.slave, &tio), 0);
    EXPECT_EQ(::cfgetispeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | INPCK), 0u);
}

TEST(SerialPortIO, ExclusiveWhileOpen)
{
    Pty pty;
    plat::SerialPort first;
    plat::SerialPort second;
    ASSERT_TRUE(first.Open(pty.path));
    EXPECT_FALSE(second.Open(pty.path));
    EXPECT_NE(second.LastError(), "");
    first.Close();
    EXPECT_TRUE(second.Open(pty.path)) << second.LastError();
}

TEST(SerialPortIO, DevicesThatCannotBeOpened)
{
    for (const char* path : {"", "/nonexistent/ttyS0", "/dev/null"}) {
        SCOPED_TRACE(path);
        plat::SerialPort port;
        EXPECT_FALSE(port.Open(path));
        EXPECT_FALSE(port.IsOpen());
        EXPECT_NE(port.LastError(), "");
    }
}

TEST(SerialPortIO, ClosedPort)
{
    plat::SerialPort port;
    char c = 0;
    EXPECT_EQ(port.InQueue(), 0);
    EXPECT_EQ(port.Read(&c, 1), -1);
    EXPECT_EQ(port.Write(&c, 1, 10), -1);
    EXPECT_EQ(port.WaitReadable(0), -1);
}

TEST(SerialPortIO, QueueTimeOutsAndHangUp)
{
    Pty pty;
    plat::SerialPort port;
    ASSERT_TRUE(port.Open(pty.path));
    EXPECT_EQ(port.InQueue(), 0);
    EXPECT_EQ(port.WaitReadable(20), 0);
    ASSERT_EQ(::write(pty.master, "abc", 3), 3);
    EXPECT_EQ(port.WaitReadable(1000), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(port.InQueue(), 3);
    char buffer[8] = {};
    EXPECT_EQ(port.Read(buffer, 2), 2);
    EXPECT_EQ(port.InQueue(), 1);

    // Output stopped on the line: the write gives up after its time-out.
    ASSERT_EQ(::tcflow(pty.slave, TCOOFF), 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Write("xyz", 3, 100), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    ::tcflow(pty.slave, TCOON);

    // The other end goes away: reading reports it rather than waiting.
    ::close(pty.master);
    pty.master = -1;
    EXPECT_EQ(port.WaitReadable(1000), -1);
    EXPECT_EQ(port.Read(buffer, 1), -1);
}

} // namespace
