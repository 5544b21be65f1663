#pragma once
// Decimal triple: signed 16-bit little-endian mantissa + decimals byte.
#include <cstdint>

namespace kvr {

// 10^exponent from a table (exponents outside -256..255 are clamped).
double PowerOf10(int exponent);

struct DecimalTriple {
    std::int16_t mantissa = 0;
    std::uint8_t decimals = 0;

    // mantissa / 10^decimals
    float Value() const;
    // The same 16 bits read as 0..65535.
    float UnsignedValue() const;
    // The decimals byte taken as a signed exponent: 0..9 as they are, 10..255 as value-256.
    int Exponent() const;

    // Rounds half away from zero; decimals above 4 become 0; the mantissa wraps in 16 bits.
    static DecimalTriple Encode(float value, int decimals);
    static DecimalTriple Read(const std::uint8_t* bytes);
    void Write(std::uint8_t* bytes) const;
};

}  // namespace kvr
