#include "tools/kvr-sim/request_reader.h"

#include <vector>

namespace kvrsim {

namespace {

// The longest ASCII request the protocol has is a dozen bytes; anything much longer without
// CR LF is noise.
constexpr std::size_t kLongestAscii = 64;

bool IsHexChar(std::uint8_t c) { return HexDigit(static_cast<char>(c)) >= 0; }

}  // namespace

void RequestReader::Feed(const std::uint8_t* data, std::size_t size) {
    buffer_.insert(buffer_.end(), data, data + size);
}

void RequestReader::Reset() {
    discarded_ += buffer_.size();
    buffer_.clear();
}

void RequestReader::Drop(std::size_t count, bool garbage) {
    if (garbage) discarded_ += count;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(count));
}

RequestReader::Outcome RequestReader::TryAscii(Request& request, std::size_t& length) const {
    std::size_t end = 1;
    while (end + 1 < buffer_.size() && !(buffer_[end] == '\r' && buffer_[end + 1] == '\n')) {
        if (!IsHexChar(buffer_[end])) return Outcome::kBad;
        ++end;
    }
    if (end + 1 >= buffer_.size())
        return buffer_.size() > kLongestAscii ? Outcome::kBad : Outcome::kNeedMore;
    const std::size_t chars = end - 1;
    // address, function and LRC at least, in whole pairs
    if (chars < 6 || chars % 2 != 0) return Outcome::kBad;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 1; i < end; i += 2)
        bytes.push_back(static_cast<std::uint8_t>(HexDigit(static_cast<char>(buffer_[i])) * 16 +
                                                  HexDigit(static_cast<char>(buffer_[i + 1]))));
    if (Lrc(bytes.data(), bytes.size() - 1) != bytes.back()) return Outcome::kBad;
    request.ascii = true;
    request.address = bytes[0];
    request.function = bytes[1];
    request.body.assign(bytes.begin() + 2, bytes.end() - 1);
    length = end + 2;
    return Outcome::kFrame;
}

bool RequestReader::RtuFrameAt(std::size_t length) const {
    if (buffer_.size() < length) return false;
    std::vector<std::uint8_t> bytes(buffer_.begin(),
                                    buffer_.begin() + static_cast<std::ptrdiff_t>(length));
    const std::uint16_t crc = Crc16(bytes.data(), length - 2);
    return bytes[length - 2] == (crc & 0xFF) && bytes[length - 1] == (crc >> 8);
}

RequestReader::Outcome RequestReader::TryRtu(Request& request, std::size_t& length) const {
    if (buffer_.size() < 2) return Outcome::kNeedMore;
    // Request lengths by function code: the record request comes as a block index (8 bytes)
    // or as a time with counts (12 bytes).
    std::vector<std::size_t> lengths;
    switch (buffer_[1]) {
        case 0x03:
        case 0x16: lengths = {8}; break;
        case 0x14:
        case 0x41: lengths = {5}; break;
        case 0x13: lengths = {8, 12}; break;
        default: return Outcome::kBad;
    }
    for (std::size_t candidate : lengths) {
        if (buffer_.size() < candidate) return Outcome::kNeedMore;
        if (RtuFrameAt(candidate)) {
            request.ascii = false;
            request.address = buffer_[0];
            request.function = buffer_[1];
            request.body.assign(buffer_.begin() + 2,
                                buffer_.begin() + static_cast<std::ptrdiff_t>(candidate - 2));
            length = candidate;
            return Outcome::kFrame;
        }
    }
    return Outcome::kBad;
}

std::optional<Request> RequestReader::Next() {
    while (!buffer_.empty()) {
        Request request;
        std::size_t length = 0;
        // An RTU frame may start with 0x3A (address 58), but its function code is never a
        // hex digit character.
        const bool ascii = buffer_[0] == ':' && buffer_.size() >= 2 && IsHexChar(buffer_[1]);
        if (buffer_[0] == ':' && buffer_.size() < 2) return std::nullopt;
        const Outcome outcome = ascii ? TryAscii(request, length) : TryRtu(request, length);
        if (outcome == Outcome::kFrame) {
            Drop(length, false);
            return request;
        }
        if (outcome == Outcome::kNeedMore) return std::nullopt;
        Drop(1, true);
    }
    return std::nullopt;
}

}  // namespace kvrsim
