#pragma once
// A simulated instrument: answers one request with the payload of its reply (the bytes
// after address and function code), or with nothing.
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/datafile/time.h"
#include "tools/kvr-sim/sim_codec.h"
#include "tools/kvr-sim/sim_options.h"

namespace kvrsim {

struct Reply {
    std::uint8_t function = 0;  // the request's, or with the high bit set for an exception
    Bytes payload;
};

// Exception codes in the register-protocol tradition.
inline constexpr std::uint8_t kIllegalFunction = 0x01;
inline constexpr std::uint8_t kIllegalAddress = 0x02;
inline constexpr std::uint8_t kIllegalValue = 0x03;

class Instrument {
public:
    virtual ~Instrument() = default;
    // nullopt: the instrument does not answer (e.g. a framing it does not speak).
    virtual std::optional<Reply> Handle(const Request& request, kvr::Time now) = 0;

protected:
    static Reply Ok(const Request& request, Bytes payload) {
        return {request.function, std::move(payload)};
    }
    static Reply Exception(const Request& request, std::uint8_t code) {
        return {static_cast<std::uint8_t>(request.function | 0x80), {code}};
    }
    // 16-bit numbers in requests are sent high byte first.
    static unsigned Word(const Bytes& body, std::size_t at) {
        return body.size() < at + 2 ? 0u : (static_cast<unsigned>(body[at]) << 8) | body[at + 1];
    }
    // The RTU identification answer: byte count, text length, text.
    static Reply IdentificationReply(const Request& request, const std::string& id) {
        Bytes payload{static_cast<std::uint8_t>(id.size() + 1),
                      static_cast<std::uint8_t>(id.size())};
        payload.insert(payload.end(), id.begin(), id.end());
        return Ok(request, std::move(payload));
    }
    // The clock answer: byte count 6, then a time stamp.
    static Reply StampReply(const Request& request, kvr::Time time) {
        const kvr::Stamp stamp = kvr::TimeToStamp(time);
        Bytes payload{6};
        payload.insert(payload.end(), stamp.begin(), stamp.end());
        return Ok(request, std::move(payload));
    }
    // A read of `length` bytes of `memory` from `start`, with its one-byte count in front.
    static std::optional<Reply> Read(const Request& request,
                                     const std::vector<std::uint8_t>& memory, unsigned start,
                                     unsigned length);
};

std::unique_ptr<Instrument> MakeInstrument(const SimOptions& options, kvr::Time startTime);

}  // namespace kvrsim
