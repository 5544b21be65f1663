#include "core/link/frame.h"

#include <algorithm>

namespace kvr::frame {

std::uint16_t Crc16(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t data : bytes) {
        for (int bit = 0; bit < 8; ++bit) {
            const bool differ = ((crc ^ data) & 1) != 0;
            crc >>= 1;
            if (differ) crc ^= 0xA001;
            data >>= 1;
        }
    }
    return crc;
}

std::uint8_t Lrc(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
    return static_cast<std::uint8_t>(-sum);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 55;
    if (c >= 'a' && c <= 'z') return c - 87;
    return 0;
}

std::uint8_t DecodeHexPair(char high, char low) {
    return static_cast<std::uint8_t>(HexValue(high) * 16 + HexValue(low));
}

void AppendHex(std::string& text, std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
}

Bytes MakeRtu(std::uint8_t address, std::uint8_t function, std::span<const std::uint8_t> body) {
    Bytes frame(2 + body.size() + 2);
    frame[0] = address;
    frame[1] = function;
    std::copy(body.begin(), body.end(), frame.begin() + 2);
    frame.resize(2 + body.size());
    const std::uint16_t crc = Crc16(frame);
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    return frame;
}

std::string MakeAscii(std::span<const std::uint8_t> bytes) {
    std::string text = ":";
    for (std::uint8_t b : bytes) AppendHex(text, b);
    AppendHex(text, Lrc(bytes));
    text += "\r\n";
    return text;
}

bool CheckRtuReply(std::span<const std::uint8_t> request, std::span<const std::uint8_t> reply) {
    if (request.size() < 2 || reply.size() < 4) return false;
    if (reply[0] != request[0] || reply[1] != request[1]) return false;
    const std::size_t n = reply.size() - 2;
    const std::uint16_t crc = Crc16(reply.first(n));
    return reply[n] == (crc & 0xFF) && reply[n + 1] == (crc >> 8);
}

std::optional<Bytes> AsciiPayload(std::string_view request, std::span<const std::uint8_t> reply,
                                  std::size_t maxPayload) {
    // ':' aa ff cc ... LRC CR LF: the smallest reply that can carry a count.
    constexpr std::size_t kShortest = 1 + 4 + 2 + 2 + 2;
    if (reply.size() < kShortest || request.size() < 5) return std::nullopt;
    const std::size_t end = reply.size();
    if (reply[end - 2] != '\r' || reply[end - 1] != '\n') return std::nullopt;
    for (std::size_t i = 1; i <= 4; ++i)
        if (reply[i] != static_cast<std::uint8_t>(request[i])) return std::nullopt;
    // Characters between ':' and the LRC pair, decoded pairwise.
    const std::size_t bodyChars = end - 1 - 4;
    if (bodyChars % 2 != 0) return std::nullopt;
    Bytes decoded;
    decoded.reserve(bodyChars / 2);
    for (std::size_t i = 1; i < 1 + bodyChars; i += 2)
        decoded.push_back(
            DecodeHexPair(static_cast<char>(reply[i]), static_cast<char>(reply[i + 1])));
    std::string expected;
    AppendHex(expected, Lrc(decoded));
    if (reply[end - 4] != static_cast<std::uint8_t>(expected[0]) ||
        reply[end - 3] != static_cast<std::uint8_t>(expected[1]))
        return std::nullopt;
    // decoded: address, function, count, data...
    const std::size_t dataBytes = decoded.size() - 3;
    std::size_t count = decoded[2];
    if (count == 0 && dataBytes == 256) count = 256;
    if (count == 0 || dataBytes != count || count > maxPayload) return std::nullopt;
    return Bytes(decoded.begin() + 3, decoded.end());
}

}  // namespace kvr::frame
