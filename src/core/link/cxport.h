#pragma once
// CXPort: one serial device, opened and configured from the serial parameters, written one
// request at a time and read one reply at a time. The end of a reply is found by timeout,
// with the interval and total read timeouts of the serial-parameter record emulated on top
// of poll().
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kvr {

struct PortTimeouts {
    std::uint32_t readInterval = 0;         // ms allowed between two received bytes
    std::uint32_t readTotalMultiplier = 0;  // ms per requested byte
    std::uint32_t readTotalConstant = 0;    // ms added to the total
    std::uint32_t writeTotalMultiplier = 0;
    std::uint32_t writeTotalConstant = 0;
};

// Slower lines get longer timeouts from the same bases: 1200 baud 48, 2400 24, 4800 12,
// 9600 6, 19200 3, 38400 2, every other rate 1.
int TimeoutFactor(int baud);
// The multipliers are per byte and are not scaled.
PortTimeouts MakeTimeouts(int baud, int intervalBase, int constantBase, int multiplier,
                          int writeConstantBase, int writeMultiplier);

// How a caller that knows its reply helps Receive end it: as soon as the frame is complete
// instead of after the interval timer, and with the instrument's turnaround time allowed.
struct ReplyWait {
    // The read timers start no earlier than this many ms after the last Send: a reply may
    // begin that much later than the port's own timeouts allow.
    int leastWaitMs = 0;
    // > 0: the reply is complete at this many bytes (the RTU framing knows its lengths).
    int frameLength = 0;
    // The reply is complete at CR LF (the ASCII framing).
    bool untilCrLf = false;
};

class CXPort {
public:
    static constexpr int kQueueSize = 4146;
    static constexpr int kMinimumReply = 5;  // the shortest reply the protocol accepts
    static constexpr int kReceiveBufferSize = kMinimumReply + kQueueSize;  // 4151
    static constexpr int kInvalidHandle = -1;

    CXPort() = default;
    ~CXPort();
    CXPort(const CXPort&) = delete;
    CXPort& operator=(const CXPort&) = delete;

    // Returns the descriptor, or kInvalidHandle when the device cannot be opened (the port
    // then stays unconfigured). Parity: 0 none, 1 odd, 2 even.
    int Open(const std::string& name, int baud, int parity, int intervalBase, int constantBase,
             int multiplier, int writeConstantBase, int writeMultiplier);
    // 1 when a descriptor was closed, 0 when none was open.
    int Close();
    // Discards whatever waits in the input queue (the tail of an earlier late reply), then
    // writes the request. Returns the number of bytes written.
    int Send(const std::uint8_t* bytes, int count);
    // Reads one reply into buffer (at least kReceiveBufferSize bytes). Returns its length,
    // 0 when fewer than kMinimumReply bytes arrived (those bytes are dropped). Without a
    // ReplyWait the reply ends when the interval timer runs out after its last byte. A line
    // that hung up ends the read at once, with LastError() saying so.
    int Receive(std::uint8_t* buffer, const ReplyWait& wait = {});
    // Reads and drops whatever arrives until the line has been quiet for quietMs (at most
    // maxMs in all): the replies to tries that timed out, which would otherwise be taken
    // for the answer to a later request.
    void DrainUntilQuiet(int quietMs, int maxMs);

    bool IsOpen() const { return fd_ >= 0; }
    int Handle() const { return fd_; }
    const std::string& DeviceName() const { return name_; }
    int Baud() const { return baud_; }
    const PortTimeouts& Timeouts() const { return timeouts_; }
    // Text of the last failure, naming the device; empty when nothing failed.
    const std::string& LastError() const { return lastError_; }
    // A read or write failed outright since the port was opened: the device has gone (an
    // unplugged adapter) or the other end closed.
    bool LineLost() const { return lineLost_; }

private:
    // One read of up to count bytes into frame + have under the read timeouts, like a
    // synchronous read of a serial device with interval and total timeouts set, whose
    // timers start at timersFrom at the earliest.
    int TimedRead(std::uint8_t* frame, int have, int count,
                  std::chrono::steady_clock::time_point timersFrom, const ReplyWait& wait);
    void Configure(int baud, int parity);
    void LowerModemLines();
    void Fail(const char* what);
    void LoseLine(const char* what);

    int fd_ = kInvalidHandle;
    std::string name_;
    int baud_ = 0;
    PortTimeouts timeouts_;
    std::chrono::steady_clock::time_point sentAt_{};
    std::string lastError_;
    bool lineLost_ = false;
};

}  // namespace kvr
