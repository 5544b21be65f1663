#pragma once
// The instrument's side of the two framings: checksums, hex text and reply frames. Written
// apart from the program's own link code so that each checks the other.
#include <cstdint>
#include <string>
#include <vector>

namespace kvrsim {

using Bytes = std::vector<std::uint8_t>;

// CRC-16/MODBUS (reflected polynomial 0xA001, start 0xFFFF), table-driven.
std::uint16_t Crc16(const std::uint8_t* data, std::size_t size);
// Two's complement of the byte sum.
std::uint8_t Lrc(const std::uint8_t* data, std::size_t size);
// Upper-case hex pair; -1 from HexDigit for anything that is not 0-9 or A-F.
void PutHex(std::string& out, std::uint8_t value);
int HexDigit(char c);

struct Request {
    bool ascii = false;
    std::uint8_t address = 0;
    std::uint8_t function = 0;
    Bytes body;      // the bytes after the function code, without checksum
    int number = 0;  // counted as the faults are (the first is 1); 0 until the server counts it
};

// address, function, payload, CRC low, CRC high
Bytes RtuReply(std::uint8_t address, std::uint8_t function, const Bytes& payload);
// ':' hex(address, function, payload) LRC CR LF
Bytes AsciiReply(std::uint8_t address, std::uint8_t function, const Bytes& payload);
// Makes the checksum of a framed reply wrong (the frame stays the same length).
void CorruptChecksum(Bytes& frame, bool ascii);

}  // namespace kvrsim
