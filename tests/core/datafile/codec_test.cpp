// Stamps, decimal triples, GBK fields and the program-wide helpers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "core/datafile/gbk.h"
#include "core/datafile/program.h"
#include "core/datafile/time.h"
#include "core/datafile/triple.h"
#include "support/test_support.h"

namespace {

TEST(DecimalTriple, EncodesHalfAwayFromZeroAndWrapsWithoutClamping) {
    struct Case {
        float value;
        int decimals;
        std::int16_t mantissa;
        std::uint8_t storedDecimals;
    };
    const Case cases[] = {
        {2.5f, 0, 3, 0},       {-2.5f, 0, -3, 0},
        {0.0f, 3, 0, 3},       {1.6f, 3, 1600, 3},
        {-1.25f, 2, -125, 2},  {30000.0f, 0, 0x7530, 0},
        {12.345f, 5, 12, 0},   {7.0f, 9, 7, 0},
        {0.6025f, 4, 6025, 4}, {40000.0f, 0, static_cast<std::int16_t>(40000 - 65536), 0},
    };
    for (const Case& c : cases) {
        const kvr::DecimalTriple t = kvr::DecimalTriple::Encode(c.value, c.decimals);
        EXPECT_EQ(t.mantissa, c.mantissa) << c.value << " with " << c.decimals;
        EXPECT_EQ(t.decimals, c.storedDecimals) << c.value << " with " << c.decimals;
    }
    // 40000 does not fit a signed mantissa; the unsigned reading gets it back.
    EXPECT_FLOAT_EQ(kvr::DecimalTriple::Encode(40000.0f, 0).UnsignedValue(), 40000.0f);
    EXPECT_FLOAT_EQ(kvr::DecimalTriple::Encode(-1.25f, 2).Value(), -1.25f);
}

TEST(DecimalTriple, ReadsLittleEndianAndSignedExponent) {
    const std::uint8_t bytes[3] = {0x30, 0x75, 0x00};
    EXPECT_EQ(kvr::DecimalTriple::Read(bytes).mantissa, 30000);
    std::uint8_t written[3] = {};
    kvr::DecimalTriple::Encode(-3.0f, 1).Write(written);
    EXPECT_EQ(written[0], 0xE2);  // -30 = 0xFFE2
    EXPECT_EQ(written[1], 0xFF);
    EXPECT_EQ(written[2], 1);

    kvr::DecimalTriple t;
    for (const auto& [stored, exponent] :
         {std::pair{0, 0}, {9, 9}, {10, -246}, {250, -6}, {255, -1}}) {
        t.decimals = static_cast<std::uint8_t>(stored);
        EXPECT_EQ(t.Exponent(), exponent) << stored;
    }
}

TEST(Stamp, RoundTripsAndFormats) {
    const kvr::Time t = kvr::MakeTime({2026, 1, 5, 13, 7, 9});
    const kvr::Stamp s = kvr::TimeToStamp(t);
    EXPECT_EQ(s, (kvr::Stamp{26, 1, 5, 13, 7, 9}));
    EXPECT_EQ(kvr::StampToTime(s), t);
    EXPECT_EQ(kvr::FormatTime(t), "2026-01-05 13:07:09");
    // Years of fewer or more than four digits, and a time no calendar holds, read as printf
    // writes their fields.
    for (const kvr::Time other :
         {kvr::MakeTime({999, 2, 3, 4, 5, 6}), kvr::MakeTime({10000, 1, 1}), kvr::Time{1} << 62}) {
        const kvr::CalendarFields f = kvr::SplitTime(other);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month,
                      f.day, f.hour, f.minute, f.second);
        EXPECT_EQ(kvr::FormatTime(other), expected);
    }
    EXPECT_EQ(kvr::FormatTime(kvr::MakeTime({999, 2, 3, 4, 5, 6})), "0999-02-03 04:05:06");
    EXPECT_EQ(kvr::ParseTime("2026-01-05 13:07:09"), t);
    EXPECT_EQ(kvr::ParseTime("2026-01-05 13:07"), t - 9);
    EXPECT_EQ(kvr::ParseTime("2026-01-05"), kvr::MakeTime({2026, 1, 5}));
    for (const char* bad : {"2026-02-30", "2026-13-01", "2026-01-05 24:00:00", "yesterday", "",
                            "2026-01-05 10:00:00x", "1900-13-01"}) {
        kvr::TimeTextError error = kvr::TimeTextError::kNone;
        EXPECT_FALSE(kvr::ParseTime(bad, &error).has_value()) << bad;
        EXPECT_EQ(error, kvr::TimeTextError::kFormat) << bad;
    }
    // A well-formed time of a year no input takes says so rather than blame the format.
    for (const char* year : {"1900-01-05 10:00:00", "1969-12-31", "2100-01-01 00:00"}) {
        kvr::TimeTextError error = kvr::TimeTextError::kNone;
        EXPECT_FALSE(kvr::ParseTime(year, &error).has_value()) << year;
        EXPECT_EQ(error, kvr::TimeTextError::kYear) << year;
    }
    kvr::TimeTextError error = kvr::TimeTextError::kYear;
    EXPECT_TRUE(kvr::ParseTime("2099-12-31 23:59:59", &error).has_value());
    EXPECT_EQ(error, kvr::TimeTextError::kNone);
}

TEST(Stamp, IsValidStampRejectsEveryFieldOutOfRange) {
    const std::uint8_t good[][6] = {
        {26, 1, 5, 0, 0, 0}, {99, 12, 31, 23, 59, 59}, {0, 1, 1, 0, 0, 0}};
    for (const auto& s : good) EXPECT_TRUE(kvr::IsValidStamp(s));
    const std::uint8_t bad[][6] = {{100, 1, 1, 0, 0, 0}, {26, 0, 1, 0, 0, 0},  {26, 13, 1, 0, 0, 0},
                                   {26, 1, 0, 0, 0, 0},  {26, 1, 32, 0, 0, 0}, {26, 1, 1, 24, 0, 0},
                                   {26, 1, 1, 0, 60, 0}, {26, 1, 1, 0, 0, 60}};
    for (const auto& s : bad) EXPECT_FALSE(kvr::IsValidStamp(s)) << int(s[0]) << '-' << int(s[1]);
}

TEST(Gbk, CutsAtCharacterBoundaries) {
    const std::string gbk = kvr::Utf8ToGbk("温度A测量");  // 2+2+1+2+2 bytes
    ASSERT_EQ(gbk.size(), 9u);
    EXPECT_EQ(kvr::GbkToUtf8(kvr::CutGbk(gbk, 3)), "温");
    EXPECT_EQ(kvr::GbkToUtf8(kvr::CutGbk(gbk, 5)), "温度A");
    EXPECT_EQ(kvr::GbkToUtf8(kvr::CutGbk(gbk, 6)), "温度A");
    EXPECT_EQ(kvr::CutGbk(gbk, 100), gbk);

    // A 16-byte name into a 16-byte field with 15 characters at most: the eighth
    // character would be split, so it goes entirely.
    char field[16];
    std::memset(field, 'x', sizeof field);
    kvr::WriteGbkField(field, sizeof field, "温度温度温度温度", 15);
    EXPECT_EQ(kvr::FieldToUtf8(field, sizeof field), "温度温度温度温");
    EXPECT_EQ(field[14], 0);
    EXPECT_EQ(field[15], 0);
}

TEST(Gbk, DamagedTextStillConverts) {
    const char damaged[] = {'A', static_cast<char>(0x81), 'B', static_cast<char>(0xFF), 0};
    const std::string text = kvr::FieldToUtf8(damaged, sizeof damaged);
    EXPECT_EQ(text.front(), 'A');
    EXPECT_FALSE(text.empty());
}

TEST(ReverseBytes, ReversesInPlace) {
    unsigned char four[] = {1, 2, 3, 4};
    kvr::ReverseBytes(four, 4);
    EXPECT_EQ(four[0], 4);
    EXPECT_EQ(four[3], 1);
    unsigned char three[] = {1, 2, 3};
    kvr::ReverseBytes(three, 3);
    EXPECT_EQ(three[0], 3);
    EXPECT_EQ(three[1], 2);
    kvr::ReverseBytes(three, 0);
    EXPECT_EQ(three[0], 3);
}

}  // namespace
