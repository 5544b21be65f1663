#include "core/datafile/triple.h"

#include <cmath>

namespace kvr {
namespace {

// Decimals bytes come straight from files: a table keeps every byte value cheap and exact.
struct PowerTable {
    double values[256 + 256];
    PowerTable() {
        for (int e = -256; e < 256; ++e) values[e + 256] = std::pow(10.0, e);
    }
};

double PowerOfTen(int exponent) {
    static const PowerTable table;
    if (exponent < -256) exponent = -256;
    if (exponent > 255) exponent = 255;
    return table.values[exponent + 256];
}

}  // namespace

double PowerOf10(int exponent) { return PowerOfTen(exponent); }

float DecimalTriple::Value() const { return static_cast<float>(mantissa / PowerOfTen(decimals)); }

float DecimalTriple::UnsignedValue() const {
    return static_cast<float>(static_cast<std::uint16_t>(mantissa) / PowerOfTen(decimals));
}

int DecimalTriple::Exponent() const { return decimals <= 9 ? decimals : decimals - 256; }

DecimalTriple DecimalTriple::Encode(float value, int decimals) {
    if (decimals > 4 || decimals < 0) decimals = 0;
    const double scaled = static_cast<double>(value) * PowerOfTen(decimals);
    double rounded = 0.0;
    if (value > 0)
        rounded = scaled + 0.5;
    else if (value < 0)
        rounded = scaled - 0.5;
    // Truncate toward zero, then keep the low 16 bits: the format does not clamp.
    if (!std::isfinite(rounded) || std::fabs(rounded) > 9.0e18) rounded = 0.0;
    const auto wide = static_cast<std::int64_t>(rounded);
    DecimalTriple triple;
    triple.mantissa = static_cast<std::int16_t>(static_cast<std::uint16_t>(wide & 0xFFFF));
    triple.decimals = static_cast<std::uint8_t>(decimals);
    return triple;
}

DecimalTriple DecimalTriple::Read(const std::uint8_t* bytes) {
    DecimalTriple triple;
    triple.mantissa = static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
    triple.decimals = bytes[2];
    return triple;
}

void DecimalTriple::Write(std::uint8_t* bytes) const {
    const auto bits = static_cast<std::uint16_t>(mantissa);
    bytes[0] = static_cast<std::uint8_t>(bits & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(bits >> 8);
    bytes[2] = decimals;
}

}  // namespace kvr
