#pragma once
// The two framings of the instrument protocol, master side: building requests and checking
// replies. RTU frames end with a CRC-16/MODBUS sent low byte first; ASCII frames are ':' +
// upper-case hex pairs + LRC pair + CR LF.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kvr::frame {

using Bytes = std::vector<std::uint8_t>;

std::uint16_t Crc16(std::span<const std::uint8_t> bytes);
// Two's complement of the 8-bit sum.
std::uint8_t Lrc(std::span<const std::uint8_t> bytes);

// '0'-'9' -> 0-9, 'A'-'Z' -> code-55, 'a'-'z' -> code-87, anything else 0 (so a stray
// letter such as 'G' yields 16, exactly as the instrument's own decoder does).
int HexValue(char c);
std::uint8_t DecodeHexPair(char high, char low);
void AppendHex(std::string& text, std::uint8_t byte);

// address, function, body, CRC low, CRC high
Bytes MakeRtu(std::uint8_t address, std::uint8_t function, std::span<const std::uint8_t> body);
// ':' + hex of (address, function, body) + LRC + "\r\n": 2n + 5 characters for n bytes.
std::string MakeAscii(std::span<const std::uint8_t> bytes);

// Address, function code (an exception reply with the high bit set does not match) and CRC
// of an RTU reply against its request.
bool CheckRtuReply(std::span<const std::uint8_t> request, std::span<const std::uint8_t> reply);

// Payload of an ASCII reply: checks CR LF, address and function characters against the
// request, and the LRC (compared as upper-case characters); then decodes the count byte
// and that many data bytes. A count byte of 0 followed by exactly 512 data characters is
// the reply to a 256-byte request (the count field is one byte). Payload bytes beyond
// maxPayload, or fewer data characters than the count says, reject the reply.
std::optional<Bytes> AsciiPayload(std::string_view request, std::span<const std::uint8_t> reply,
                                  std::size_t maxPayload);

}  // namespace kvr::frame
