// CXPort on a pseudo-terminal: timeouts from the baud rate, the two-stage receive, the
// purge before every request, and the system-call seam.
#include <gtest/gtest.h>

#include <cerrno>

#include "core/link/cxport.h"
#include "core/link/pty_pair.h"
#include "core/sys/sys_io.h"

namespace {

using kvrtest::Bytes;

TEST(PortTimeouts, ScaleWithTheBaudRate) {
    const struct {
        int baud, factor;
    } table[] = {{1200, 48}, {2400, 24}, {4800, 12}, {9600, 6}, {19200, 3},
                 {38400, 2}, {57600, 1}, {115200, 1}, {300, 1},  {0, 1}};
    for (const auto& row : table) EXPECT_EQ(kvr::TimeoutFactor(row.baud), row.factor) << row.baud;

    const kvr::PortTimeouts at9600 = kvr::MakeTimeouts(9600, 10, 50, 0, 50, 0);
    EXPECT_EQ(at9600.readInterval, 60u);
    EXPECT_EQ(at9600.readTotalConstant, 300u);
    EXPECT_EQ(at9600.writeTotalConstant, 300u);
    EXPECT_EQ(at9600.readTotalMultiplier, 0u);
    EXPECT_EQ(at9600.writeTotalMultiplier, 0u);

    const kvr::PortTimeouts at57600 = kvr::MakeTimeouts(57600, 10, 50, 0, 50, 0);
    EXPECT_EQ(at57600.readInterval, 10u);
    EXPECT_EQ(at57600.readTotalConstant, 50u);
    EXPECT_EQ(at57600.writeTotalConstant, 50u);

    // Multipliers are per byte and never scaled.
    const kvr::PortTimeouts multipliers = kvr::MakeTimeouts(1200, 1, 2, 3, 4, 5);
    EXPECT_EQ(multipliers.readInterval, 48u);
    EXPECT_EQ(multipliers.readTotalConstant, 96u);
    EXPECT_EQ(multipliers.readTotalMultiplier, 3u);
    EXPECT_EQ(multipliers.writeTotalConstant, 192u);
    EXPECT_EQ(multipliers.writeTotalMultiplier, 5u);
}

class PortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(pty.Path().empty());
        _tagComParam p = kvrtest::TestParams(pty.Path());
        // The longest reply fills more than the terminal's line buffer and reaches the
        // reader in two deliveries; give the gap between them room.
        p.intervalBase = 100;
        ASSERT_NE(port.Open(p.device, p.baud, p.parity, p.intervalBase, p.constantBase, p.multiplier,
                            p.writeConstantBase, p.writeMultiplier),
                  kvr::CXPort::kInvalidHandle);
    }

    int Receive(Bytes& out) {
        std::uint8_t buffer[kvr::CXPort::kReceiveBufferSize];
        const int n = port.Receive(buffer);
        out.assign(buffer, buffer + n);
        return n;
    }

    kvrtest::PtyPair pty;
    kvr::CXPort port;
};

TEST(Port, OpeningAMissingDeviceFailsAndNamesIt) {
    kvr::CXPort port;
    EXPECT_EQ(port.Open("/dev/kvr-no-such-line", 9600, 0, 10, 50, 0, 50, 0), kvr::CXPort::kInvalidHandle);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_NE(port.LastError().find("/dev/kvr-no-such-line"), std::string::npos);
    EXPECT_EQ(port.Close(), 0);
    std::uint8_t buffer[kvr::CXPort::kReceiveBufferSize];
    EXPECT_EQ(port.Receive(buffer), 0);
    EXPECT_EQ(port.Send(buffer, 3), 0);
}

TEST_F(PortTest, OpensWithScaledTimeoutsAndClosesOnce) {
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.Timeouts().readInterval, 100u);
    EXPECT_EQ(port.Timeouts().readTotalConstant, 300u);
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(port.Close(), 0);
}

TEST_F(PortTest, ReplyOfFourBytesOrFewerYieldsNothingAndIsLost) {
    pty.Write(Bytes{1, 2, 3, 4});
    Bytes reply;
    EXPECT_EQ(Receive(reply), 0);
    const Bytes next{10, 11, 12, 13, 14, 15};
    pty.Write(next);
    EXPECT_EQ(Receive(reply), 6);
    EXPECT_EQ(reply, next);
}

TEST_F(PortTest, ReceiveKeepsEveryByteAcrossTheTwoStages) {
    for (std::size_t size : {5u, 6u, 261u, 4151u}) {
        Bytes sent(size);
        for (std::size_t i = 0; i < size; ++i) sent[i] = static_cast<std::uint8_t>(i * 7 + size);
        pty.Write(sent);
        Bytes reply;
        EXPECT_EQ(Receive(reply), static_cast<int>(size));
        EXPECT_EQ(reply, sent) << size;
    }
}

TEST_F(PortTest, SendPurgesStaleInputFirst) {
    // The tail of an earlier, late reply waits in the input queue.
    pty.Write(Bytes{0x01, 0x03, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
    const Bytes request{0x01, 0x41, 0x00, 0x10, 0x50};
    ASSERT_EQ(port.Send(request.data(), static_cast<int>(request.size())), 5);
    EXPECT_EQ(pty.ReadAvailable(200), request);
    const Bytes answer{0x01, 0x41, 0x0B, 0x0A, 0x51, 0x5A};
    pty.Write(answer);
    Bytes reply;
    ASSERT_EQ(Receive(reply), 6);
    EXPECT_EQ(reply, answer);
}

// Interrupted system calls through the seam: the first few of each are interrupted.
int interruptions = 0;
ssize_t InterruptedRead(int fd, void* buffer, size_t count) {
    if (interruptions < 3) {
        ++interruptions;
        errno = EINTR;
        return -1;
    }
    return kvr::sysio::System().read(fd, buffer, count);
}
int InterruptedPoll(pollfd* fds, nfds_t n, int timeout) {
    if (interruptions < 6) {
        ++interruptions;
        errno = EINTR;
        return -1;
    }
    return kvr::sysio::System().poll(fds, n, timeout);
}
ssize_t FailingWrite(int, const void*, size_t) {
    errno = EIO;
    return -1;
}

TEST_F(PortTest, RetriesInterruptedCallsAndReportsFailedWrites) {
    const Bytes answer{9, 8, 7, 6, 5, 4, 3};
    pty.Write(answer);
    {
        interruptions = 0;
        kvr::sysio::Calls calls = kvr::sysio::System();
        calls.read = InterruptedRead;
        calls.poll = InterruptedPoll;
        kvr::sysio::ScopedCalls scoped(calls);
        Bytes reply;
        EXPECT_EQ(Receive(reply), 7);
        EXPECT_EQ(reply, answer);
        EXPECT_GE(interruptions, 3);
    }
    {
        kvr::sysio::Calls calls = kvr::sysio::System();
        calls.write = FailingWrite;
        kvr::sysio::ScopedCalls scoped(calls);
        const Bytes request{1, 2, 3, 4, 5};
        EXPECT_EQ(port.Send(request.data(), 5), 0);
        EXPECT_NE(port.LastError().find(pty.Path()), std::string::npos);
    }
}

}  // namespace
