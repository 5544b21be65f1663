#include "core/link/cxport.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/sys/sys_io.h"

namespace kvr {

namespace {

using sysio::Clock;

// The rates the instrument family offers; other rates leave the line speed as it was.
speed_t SpeedConstant(int baud) {
    switch (baud) {
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: return B0;
    }
}

// A reply known to be whole needs no wait for the interval timer.
bool Complete(const std::uint8_t* frame, int length, const ReplyWait& wait) {
    if (wait.frameLength > 0 && length >= wait.frameLength) return true;
    return wait.untilCrLf && length >= 2 && frame[length - 2] == '\r' && frame[length - 1] == '\n';
}

Clock::time_point After(Clock::time_point from, std::uint64_t ms) {
    return from + std::chrono::milliseconds(ms);
}

}  // namespace

int TimeoutFactor(int baud) {
    switch (baud) {
        case 1200: return 48;
        case 2400: return 24;
        case 4800: return 12;
        case 9600: return 6;
        case 19200: return 3;
        case 38400: return 2;
        default: return 1;
    }
}

PortTimeouts MakeTimeouts(int baud, int intervalBase, int constantBase, int multiplier,
                          int writeConstantBase, int writeMultiplier) {
    const auto k = static_cast<std::uint32_t>(TimeoutFactor(baud));
    PortTimeouts t;
    t.readInterval = static_cast<std::uint32_t>(intervalBase) * k;
    t.readTotalMultiplier = static_cast<std::uint32_t>(multiplier);
    t.readTotalConstant = static_cast<std::uint32_t>(constantBase) * k;
    t.writeTotalMultiplier = static_cast<std::uint32_t>(writeMultiplier);
    t.writeTotalConstant = static_cast<std::uint32_t>(writeConstantBase) * k;
    return t;
}

CXPort::~CXPort() { Close(); }

void CXPort::Fail(const char* what) {
    lastError_ = name_ + ": " + what + ": " + std::strerror(errno);
}

void CXPort::LoseLine(const char* what) {
    Fail(what);
    lineLost_ = true;
}

int CXPort::Open(const std::string& name, int baud, int parity, int intervalBase, int constantBase,
                 int multiplier, int writeConstantBase, int writeMultiplier) {
    Close();
    name_ = name;
    baud_ = baud;
    lastError_.clear();
    lineLost_ = false;
    // Non-blocking: every wait is a poll() under the emulated timeouts.
    fd_ = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        Fail("cannot open");
        fd_ = kInvalidHandle;
        return kInvalidHandle;
    }
    // No sharing: a second program on the same line would steal reply bytes.
    ::ioctl(fd_, TIOCEXCL);
    timeouts_ = MakeTimeouts(baud, intervalBase, constantBase, multiplier, writeConstantBase,
                             writeMultiplier);
    Configure(baud, parity);
    LowerModemLines();
    return fd_;
}

void CXPort::Configure(int baud, int parity) {
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        Fail("cannot read line settings");
        return;
    }
    ::cfmakeraw(&tio);
    // 8 data bits, one stop bit, no flow control of any kind, no parity check on receive.
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    if (parity == 1) tio.c_cflag |= PARENB | PARODD;
    if (parity == 2) tio.c_cflag |= PARENB;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = SpeedConstant(baud);
    if (speed != B0) {
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
    }
    // Like the serial driver's own settings call, a refusal is not fatal: the line keeps
    // whatever the driver accepted.
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) Fail("cannot apply line settings");
}

void CXPort::LowerModemLines() {
    // Opening a device raises DTR and RTS; the line runs without modem control, and some
    // adapters power or reset the instrument's interface from these lines. Devices without
    // modem lines (a pseudo-terminal) refuse the call, which is harmless.
    int lines = TIOCM_DTR | TIOCM_RTS;
    sysio::IoctlInt(fd_, TIOCMBIC, &lines);
}

int CXPort::Close() {
    if (fd_ < 0) return 0;
    ::ioctl(fd_, TIOCNXCL);
    // Don't retry close on EINTR: the descriptor is gone either way.
    ::close(fd_);
    fd_ = kInvalidHandle;
    return 1;
}

int CXPort::Send(const std::uint8_t* bytes, int count) {
    if (fd_ < 0 || count <= 0) return 0;
    ::tcflush(fd_, TCIFLUSH);
    const PortTimeouts& t = timeouts_;
    const bool timed = t.writeTotalMultiplier != 0 || t.writeTotalConstant != 0;
    const auto deadline = timed
                              ? After(Clock::now(), std::uint64_t{t.writeTotalMultiplier} * count +
                                                        t.writeTotalConstant)
                              : Clock::time_point::max();
    int written = 0;
    while (written < count) {
        const ssize_t n = sysio::Write(fd_, bytes + written, static_cast<size_t>(count - written));
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            LoseLine("write failed");
            break;
        }
        const int events = sysio::PollUntil(fd_, POLLOUT, deadline);
        if (events <= 0 || (events & (POLLERR | POLLHUP | POLLNVAL))) break;
    }
    sentAt_ = Clock::now();
    return written;
}

int CXPort::TimedRead(std::uint8_t* frame, int have, int count, Clock::time_point timersFrom,
                      const ReplyWait& wait) {
    const PortTimeouts& t = timeouts_;
    std::uint8_t* const buffer = frame + have;
    // Interval "infinite" with no total timeout: return at once with what is waiting.
    if (t.readInterval == UINT32_MAX && t.readTotalMultiplier == 0 && t.readTotalConstant == 0) {
        const ssize_t n = sysio::Read(fd_, buffer, static_cast<size_t>(count));
        return n > 0 ? static_cast<int>(n) : 0;
    }
    const auto start = std::max(Clock::now(), timersFrom);
    const bool totalTimed = t.readTotalMultiplier != 0 || t.readTotalConstant != 0;
    const auto totalDeadline =
        totalTimed
            ? After(start, std::uint64_t{t.readTotalMultiplier} * count + t.readTotalConstant)
            : Clock::time_point::max();
    int got = 0;
    Clock::time_point lastByte{};
    bool pollSawData = false;
    while (got < count) {
        auto deadline = totalDeadline;
        // The interval timer runs only once the first byte has come, and not before the
        // timers start: bytes that come early count as if they had waited in the queue.
        if (t.readInterval != 0 && got > 0)
            deadline = std::min(deadline, After(std::max(lastByte, timersFrom), t.readInterval));
        const ssize_t n = sysio::Read(fd_, buffer + got, static_cast<size_t>(count - got));
        if (n > 0) {
            got += static_cast<int>(n);
            lastByte = Clock::now();
            pollSawData = false;
            if (Complete(frame, have + got, wait)) break;
            continue;
        }
        if (n < 0 && errno != EAGAIN) {  // e.g. EIO: the other end has gone
            LoseLine("read failed");
            break;
        }
        // Readable yet nothing to read: the line hung up (an unplugged adapter, a closed
        // peer) or the device is at its end. Waiting again would spin until the deadline,
        // or for ever without one.
        if (n == 0 && pollSawData) {
            errno = EIO;
            LoseLine("line hung up");
            break;
        }
        if (Clock::now() >= deadline) break;
        const int events = sysio::PollUntil(fd_, POLLIN, deadline);
        if (events <= 0) break;
        if ((events & POLLIN) == 0) {  // hang-up or error with nothing to read
            errno = EIO;
            LoseLine("line hung up");
            break;
        }
        pollSawData = true;
    }
    return got;
}

int CXPort::Receive(std::uint8_t* buffer, const ReplyWait& wait) {
    if (fd_ < 0) return 0;
    // The reply is read as it arrives; its timers start only once the least wait after the
    // request has passed, so an instrument gets at least that long to answer.
    const auto timersFrom =
        After(sentAt_, static_cast<std::uint64_t>(std::max(wait.leastWaitMs, 0)));
    std::uint8_t local[kReceiveBufferSize];
    const int first = TimedRead(local, 0, kMinimumReply, timersFrom, wait);
    if (first < kMinimumReply) return 0;
    const int rest = Complete(local, kMinimumReply, wait)
                         ? 0
                         : TimedRead(local, kMinimumReply, kQueueSize, timersFrom, wait);
    const int total = kMinimumReply + rest;
    std::memcpy(buffer, local, static_cast<size_t>(total));
    return total;
}

void CXPort::DrainUntilQuiet(int quietMs, int maxMs) {
    if (fd_ < 0 || quietMs <= 0) return;
    const auto end = Clock::now() + std::chrono::milliseconds(std::max(maxMs, quietMs));
    std::uint8_t scratch[kReceiveBufferSize];
    while (Clock::now() < end) {
        const auto quietUntil = std::min(end, Clock::now() + std::chrono::milliseconds(quietMs));
        const int events = sysio::PollUntil(fd_, POLLIN, quietUntil);
        if (events <= 0 || (events & POLLIN) == 0) return;  // quiet, or the line is gone
        if (sysio::Read(fd_, scratch, sizeof scratch) <= 0) return;
    }
}

}  // namespace kvr
