#pragma once
// Finds request frames in the bytes that arrive from the master, whatever pieces they come
// in: RTU frames by the length their function code implies and a good CRC, ASCII frames
// from ':' to CR LF with a good LRC. Bytes that fit no frame are dropped one at a time
// until a frame lines up again.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "tools/kvr-sim/sim_codec.h"

namespace kvrsim {

class RequestReader {
public:
    void Feed(const std::uint8_t* data, std::size_t size);
    // The next complete request, if one is there.
    std::optional<Request> Next();
    // The line went quiet with part of a frame waiting: that part will never complete.
    void Reset();
    bool HasPartial() const { return !buffer_.empty(); }
    std::size_t Discarded() const { return discarded_; }

private:
    enum class Outcome { kFrame, kNeedMore, kBad };
    Outcome TryAscii(Request& request, std::size_t& length) const;
    Outcome TryRtu(Request& request, std::size_t& length) const;
    bool RtuFrameAt(std::size_t length) const;
    void Drop(std::size_t count, bool garbage);

    std::deque<std::uint8_t> buffer_;
    std::size_t discarded_ = 0;
};

}  // namespace kvrsim
