#pragma once
// CXLink: the protocol link with one instrument on one serial port. Each call sends one
// request and waits for one reply; block reads split long reads into 256-byte pieces and
// retry each piece. One thread uses a link at a time; it has no lock.
#include <cstdint>
#include <span>
#include <string>

#include "core/datafile/time.h"
#include "core/link/cxport.h"
#include "core/settings/com_param.h"

namespace kvr {

class CXLink {
public:
    static constexpr int kPieceSize = 256;
    static constexpr int kRecordBlockSize = 256;  // data bytes of an RTU record block
    static constexpr int kIdentificationSize = 10;

    CXLink();
    ~CXLink();
    CXLink(const CXLink&) = delete;
    CXLink& operator=(const CXLink&) = delete;

    // Opens the port with the record's device, baud, parity and timeouts. 0 when the port
    // cannot be opened (Port().LastError() says why), 1 when connected.
    int Connect(const ComParam& param);
    void Disconnect();
    bool IsConnected() const { return connected_; }
    // The instrument the next requests go to: on a bus several share one port.
    void SetAddress(int address) { param_.address = address; }

    // Block reads: 1 when every piece was read, 0 otherwise (pieces already read stay in
    // out). out must hold length bytes.
    int ReadMemory(std::uint16_t start, std::uint16_t length, std::span<std::uint8_t> out);
    int ReadMemoryAscii(std::uint16_t start, std::uint16_t length, std::span<std::uint8_t> out);
    int ReadParam(std::uint16_t start, std::uint16_t length, std::span<std::uint8_t> out);

    // One record block at a byte index. Mode 0 RTU (256 bytes, out must hold 256), mode 1
    // ASCII (count bytes; a count of 256 goes out as 0). 1 on success.
    int ReadRecords(std::uint32_t index, std::span<std::uint8_t> out, int count, int mode);
    // records x channels x 2 bytes of samples from the local time t onward. 1 on success.
    int ReadRecordsAt(Time t, int records, int channels, std::span<std::uint8_t> out);
    // year-2000, month, day, hour, minute, second. 1 on success.
    int ReadClock(std::uint8_t out[6]);
    // The ten characters of the RTU identification; returns 10, or 0 on failure.
    int Identify(char out[kIdentificationSize]);
    // The ASCII identification; returns its length, 0 on failure. At most out.size() bytes.
    int IdentifyAscii(std::span<std::uint8_t> out);
    // One ASCII exchange of the request bytes (address first). Returns the payload length
    // copied to out, 0 on failure.
    int AsciiTransact(std::span<const std::uint8_t> request, std::span<std::uint8_t> out);

    // The protocol's fixed waits: the least time an instrument gets to start its reply, and
    // the gaps after replies and failures. A simulator on a pseudo-terminal answers at once,
    // so tests and tools may scale them (percent; 100 = as real instruments need; slow
    // instruments may need more).
    void SetDelayScale(int percent) { delayScale_ = percent < 0 ? 0 : percent; }
    int DelayScale() const { return delayScale_; }
    void Pause(int ms) const;

    const ComParam& Params() const { return param_; }
    CXPort& Port() { return port_; }

private:
    // Sends an RTU request and receives its reply, allowing the instrument at least delayMs
    // to start it; a reply of replyFrameLength bytes is taken as soon as it is whole. True
    // when address, function and CRC match. reply holds the whole frame.
    bool RtuExchange(std::uint8_t function, std::span<const std::uint8_t> body, int delayMs,
                     int replyFrameLength, std::span<std::uint8_t> reply, int& replyLength);
    int Scaled(int ms) const;
    int RtuPiece(std::uint8_t function, std::uint16_t start, std::uint16_t length,
                 std::uint16_t lengthField, std::span<std::uint8_t> out);
    int AsciiMemoryPiece(std::uint16_t start, std::uint16_t length, std::span<std::uint8_t> out);

    enum class BlockKind { kMemory, kMemoryAscii, kParam };
    int BlockRead(BlockKind kind, std::uint16_t start, std::uint16_t length,
                  std::span<std::uint8_t> out);
    int Attempts() const { return param_.attempts < 2 ? 1 : param_.attempts; }
    std::uint8_t Address() const { return static_cast<std::uint8_t>(param_.address & 0xFF); }

    // Working fields of the block reads.
    std::uint16_t start_ = 0;
    std::uint16_t length_ = 0;
    ComParam param_;
    bool connected_ = false;
    // A try failed: its reply may still be on its way. Before the next request the line
    // is drained until it is quiet, so that reply is never taken for another one's.
    bool lateReplyPossible_ = false;
    void DrainLateReplies();
    int delayScale_ = 100;
    CXPort port_;
};

}  // namespace kvr
