#include "tools/kvr-sim/sim_codec.h"

#include <array>

namespace kvrsim {

namespace {

std::array<std::uint16_t, 256> MakeCrcTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t value = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? static_cast<std::uint16_t>((value >> 1) ^ 0xA001)
                                : static_cast<std::uint16_t>(value >> 1);
        table[i] = value;
    }
    return table;
}

}  // namespace

std::uint16_t Crc16(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint16_t, 256> table = MakeCrcTable();
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < size; ++i)
        crc = static_cast<std::uint16_t>((crc >> 8) ^ table[(crc ^ data[i]) & 0xFF]);
    return crc;
}

std::uint8_t Lrc(const std::uint8_t* data, std::size_t size) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum += data[i];
    return static_cast<std::uint8_t>((0x100 - (sum & 0xFF)) & 0xFF);
}

void PutHex(std::string& out, std::uint8_t value) {
    const char* digits = "0123456789ABCDEF";
    out.push_back(digits[value >> 4]);
    out.push_back(digits[value & 15]);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

Bytes RtuReply(std::uint8_t address, std::uint8_t function, const Bytes& payload) {
    Bytes frame;
    frame.reserve(payload.size() + 4);
    frame.push_back(address);
    frame.push_back(function);
    frame.insert(frame.end(), payload.begin(), payload.end());
    const std::uint16_t crc = Crc16(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(crc));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    return frame;
}

Bytes AsciiReply(std::uint8_t address, std::uint8_t function, const Bytes& payload) {
    Bytes raw{address, function};
    raw.insert(raw.end(), payload.begin(), payload.end());
    std::string text = ":";
    for (std::uint8_t b : raw) PutHex(text, b);
    PutHex(text, Lrc(raw.data(), raw.size()));
    text += "\r\n";
    return Bytes(text.begin(), text.end());
}

void CorruptChecksum(Bytes& frame, bool ascii) {
    if (frame.size() < 4) return;
    if (ascii) {
        // The LRC's low digit, kept a valid upper-case hex digit.
        char& digit = reinterpret_cast<char&>(frame[frame.size() - 3]);
        digit = digit == '0' ? '1' : '0';
    } else {
        frame[frame.size() - 1] ^= 0x5A;
    }
}

}  // namespace kvrsim
