#include "SerialPort.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace plat
{

namespace
{

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline)
{
    // Rounded up, so that a wait never ends before its deadline.
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

SerialPort::~SerialPort()
{
    Close();
}

void SerialPort::Fail(const std::string& what, int error)
{
    lastError_ = what + ": " + std::strerror(error);
}

bool SerialPort::Open(const std::string& path)
{
    Close();
    lastError_.clear();
    if (path.empty()) {
        lastError_ = "no such serial port";
        return false;
    }
    // Non-blocking: a real port without carrier would otherwise block the open.
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Fail(path, errno);
        return false;
    }
    auto fail = [&](const char* what) {
        Fail(path + ": " + what, errno);
        ::close(fd);
        return false;
    };
    // Exclusive use: an advisory lock that every user of this class takes, and the
    // terminal's own exclusive mode against other openers.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail("in use");
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return fail("not a terminal");
    // Full raw: no line editing, no signals (ETX 0x03 is data, not an interrupt),
    // no character translation either way, no software or hardware flow control.
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                          IXOFF | IXANY | INPCK | IUCLC | IMAXBEL);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN | TOSTOP);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, B9600) != 0 || ::cfsetospeed(&tio, B9600) != 0)
        return fail("cannot set 9600 baud");
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail("cannot configure");
    if (::ioctl(fd, TIOCEXCL) != 0)
        return fail("cannot take exclusive use");
    // DTR and RTS up for devices powered or enabled by them. A pseudo-terminal or
    // an adapter without modem lines refuses the request; that is no fault.
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd, TIOCMBIS, &lines);
    ::tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    return true;
}

void SerialPort::Close()
{
    if (fd_ < 0)
        return;
    int lines = TIOCM_DTR;
    (void)::ioctl(fd_, TIOCMBIC, &lines);
    ::tcflush(fd_, TCIOFLUSH);
    // The exclusive mode belongs to the terminal, not to this descriptor: a later
    // open would fail while someone else still holds the device open.
    (void)::ioctl(fd_, TIOCNXCL);
    ::close(fd_); // releases the lock as well
    fd_ = -1;
}

int SerialPort::Write(const void* data, int n, int timeoutMs)
{
    if (fd_ < 0 || n < 0)
        return -1;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int written = 0;
    while (written < n) {
        ssize_t r = ::write(fd_, bytes + written, static_cast<size_t>(n - written));
        if (r > 0) {
            written += static_cast<int>(r);
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && errno != EAGAIN) {
            Fail("write", errno);
            return written > 0 ? written : -1;
        }
        int left = MillisecondsLeft(deadline);
        if (left == 0)
            break;
        pollfd p{fd_, POLLOUT, 0};
        int ready = ::poll(&p, 1, left);
        if (ready < 0 && errno != EINTR) {
            Fail("poll", errno);
            break;
        }
        if (ready > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            lastError_ = "write: device hung up";
            break;
        }
    }
    return written;
}

int SerialPort::Read(void* data, int n)
{
    if (fd_ < 0 || n < 0)
        return -1;
    int waiting = InQueue();
    if (waiting <= 0 || n == 0)
        return WaitReadable(0) < 0 ? -1 : 0; // tells a hang-up from an empty queue
    size_t want = static_cast<size_t>(waiting < n ? waiting : n);
    ssize_t r;
    do {
        r = ::read(fd_, data, want);
    } while (r < 0 && errno == EINTR);
    if (r < 0) {
        if (errno == EAGAIN)
            return 0;
        Fail("read", errno);
        return -1;
    }
    if (r == 0) {
        // Input was announced but the device reports end of file: it hung up.
        lastError_ = "read: device hung up";
        return -1;
    }
    return static_cast<int>(r);
}

int SerialPort::InQueue() const
{
    if (fd_ < 0)
        return 0;
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) != 0)
        return 0;
    return waiting;
}

int SerialPort::WaitReadable(int timeoutMs) const
{
    if (fd_ < 0)
        return -1;
    pollfd p{fd_, POLLIN, 0};
    int ready = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    if (ready == 0)
        return 0;
    if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
        return -1;
    return 1;
}

void SerialPort::Purge()
{
    if (fd_ >= 0)
        ::tcflush(fd_, TCIOFLUSH);
}

} // namespace plat
