#include "core/publish/record_payload.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "support/test_support.h"

namespace {

using kvr::PublishedRecord;

kvr::InstrumentInfo Info() {
    kvr::InstrumentInfo info;
    info.instrument = "boiler-1";
    info.identification = "QZK2TW1010KVR1004";
    info.device = "锅炉 \"A\"";
    info.address = 7;
    info.interval = 5;
    info.version = 1004;
    info.flowTotalUnit = "t";
    info.heatTotalUnit = "GJ";
    info.channels = {{"差压", "kPa"}, {"温度", "℃"}, {"flow\\x", "t/h"}};
    return info;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(RecordPayload, RecordsSurviveTheRoundTripBitForBitWithNullForMissing) {
    const kvr::RecordWriter writer(Info());
    const std::vector<float> samples = {0.1f,
                                        -0.0f,
                                        FLT_MAX,
                                        FLT_MIN,
                                        1e-45f,
                                        123456.79f,
                                        3.0e-7f,
                                        16777217.0f,
                                        -2.5f,
                                        kNaN,
                                        std::numeric_limits<float>::infinity()};
    std::vector<PublishedRecord> records;
    for (std::size_t i = 0; i < samples.size(); ++i)
        records.push_back(
            {1767571200 + static_cast<kvr::Time>(i) * 5,
             {samples[i], samples[(i + 1) % samples.size()], kNaN},
             std::numeric_limits<std::int64_t>::max() - static_cast<std::int64_t>(i),
             std::numeric_limits<std::int64_t>::min() + static_cast<std::int64_t>(i)});
    const std::string hist = writer.Hist(records.data(), records.size());
    EXPECT_EQ(hist.find("NaN"), std::string::npos);
    EXPECT_EQ(hist.find("nan"), std::string::npos);
    EXPECT_EQ(hist.find("inf"), std::string::npos);
    EXPECT_NE(hist.find("\"from_ts\":1767571200,\"to_ts\":1767571250"), std::string::npos);
    // 64-bit totals as strings, every digit kept.
    EXPECT_NE(hist.find("\"flow\":\"92233720368547758.07\""), std::string::npos);
    EXPECT_NE(hist.find("\"heat\":\"-92233720368547758.08\""), std::string::npos);

    std::string error;
    const auto back = kvr::ParseRecords(hist, &error);
    ASSERT_TRUE(back) << error;
    ASSERT_EQ(back->size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const PublishedRecord& a = records[i];
        const PublishedRecord& b = (*back)[i];
        EXPECT_EQ(a.ts, b.ts);
        EXPECT_EQ(a.flowTotal, b.flowTotal);
        EXPECT_EQ(a.heatTotal, b.heatTotal);
        ASSERT_EQ(b.values.size(), 3u);
        for (std::size_t c = 0; c < 3; ++c) {
            if (!std::isfinite(a.values[c])) {
                EXPECT_TRUE(std::isnan(b.values[c])) << i << "/" << c;
                continue;
            }
            EXPECT_EQ(a.values[c], b.values[c]) << i << "/" << c;
            EXPECT_EQ(std::signbit(a.values[c]), std::signbit(b.values[c])) << i << "/" << c;
        }
    }
    const auto live = kvr::ParseRecords(writer.Live(records[3]), &error);
    ASSERT_TRUE(live) << error;
    ASSERT_EQ(live->size(), 1u);
    EXPECT_EQ(live->front().values[0], FLT_MIN);
}

TEST(RecordPayload, LiveRecordCarriesTimeChannelsAndTotals) {
    kvrtest::ZoneGuard zone("Asia/Shanghai");
    const std::string live =
        kvr::RecordWriter(Info()).Live({1767542400, {12.5f, kNaN, 3.0f}, 123456789, -5});
    EXPECT_EQ(live,
              "{\"ts\":1767542400,\"time\":\"2026-01-05T00:00:00+08:00\",\"channels\":["
              "{\"name\":\"差压\",\"unit\":\"kPa\",\"value\":12.5},"
              "{\"name\":\"温度\",\"unit\":\"℃\",\"value\":null},"
              "{\"name\":\"flow\\\\x\",\"unit\":\"t/h\",\"value\":3}],"
              "\"totals\":{\"flow\":\"1234567.89\",\"flow_unit\":\"t\",\"heat\":\"-0.05\","
              "\"heat_unit\":\"GJ\"}}");
    kvrtest::ZoneGuard newfoundland("America/St_Johns");
    EXPECT_EQ(kvr::IsoTime(1767542400), "2026-01-04T12:30:00-03:30");
}

TEST(RecordPayload, RefusesWhatIsNotARecord) {
    std::string error;
    for (const char* text :
         {"", "[]", "{\"ts\":\"1\"}", "{\"ts\":1,\"channels\":[{\"value\":\"x\"}]}",
          "{\"ts\":1,\"totals\":{\"flow\":12}}", "{\"ts\":1,\"totals\":{\"flow\":\"1.2\"}}",
          "{\"records\":[{\"ts\":1},{\"ts\":\"2\"}]}",
          "{\"ts\":1,\"channels\":[{\"value\":NaN}]}"}) {
        EXPECT_FALSE(kvr::ParseRecords(text, &error)) << text;
    }
    for (const char* total : {"", "1", ".05", "-.05", "1.234", "1.2x", "+1.00", "1e3.00",
                              "92233720368547758.08", "-92233720368547758.09"})
        EXPECT_FALSE(kvr::ParseHundredths(total)) << total;
    EXPECT_EQ(kvr::ParseHundredths("-0.05"), -5);
    EXPECT_EQ(kvr::ParseHundredths("0.00"), 0);
}

TEST(RecordPayload, StateRoundTripKeepsConfigurationBytes) {
    kvr::InstrumentInfo info = Info();
    for (std::size_t size : {0u, 1u, 2u, 3u, 4048u}) {
        info.config.resize(size);
        for (std::size_t i = 0; i < size; ++i)
            info.config[i] = static_cast<std::uint8_t>(i * 37 + 11);
        const PublishedRecord last{1767542400, {1.0f, 2.0f, kNaN}, 1, 2};
        std::string error;
        const auto state = kvr::ParseState(kvr::StatePayload(info, size % 2 == 0, &last), &error);
        ASSERT_TRUE(state) << error;
        EXPECT_EQ(state->online, size % 2 == 0);
        EXPECT_EQ(state->info.config, info.config);
        EXPECT_EQ(state->info.device, info.device);
        EXPECT_EQ(state->info.address, 7);
        EXPECT_EQ(state->info.interval, 5);
        ASSERT_EQ(state->info.channels.size(), 3u);
        EXPECT_EQ(state->info.channels[1].unit, "℃");
    }
    std::string error;
    EXPECT_FALSE(kvr::ParseState("{\"online\":true,\"config\":\"QQ=\"}", &error));
    EXPECT_FALSE(kvr::ParseState("{\"online\":1}", &error));
}

}  // namespace
