// What the realtime acquisition writes into a new live buffer before the first record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/datafile/file_codec.h"
#include "core/link/realtime_config.h"

namespace {

TEST(RealtimeConfig, TheFormatMagicSitsAtItsFixedPlaceWhateverTheAnswerLength) {
    const struct {
        const char* answer;
        int version;
    } cases[] = {{"QZK2TW1009", 1003}, {"QZK2TW1012", 1004}, {"QZK2TW10", 1002}, {"QZK2TW", 1002}};
    for (const auto& c : cases) {
        kvr::FileHeader header;
        std::memset(header.identification, 'x', sizeof header.identification);
        const kvr::FirmwareFormat format = kvr::SetFileIdentification(header, c.answer);
        EXPECT_EQ(format.version, c.version) << c.answer;
        // The file reopens as the version it was written as.
        EXPECT_EQ(kvr::codec::VersionOf(header.identification), c.version) << c.answer;
        EXPECT_TRUE(kvr::codec::IsFamily(header.identification)) << c.answer;
        EXPECT_EQ(std::string(header.identification, std::strlen(c.answer)), c.answer)
            << "the answer is kept";
        EXPECT_EQ(std::string(header.identification + 10, 7), "KVR" + std::to_string(c.version))
            << c.answer;
        EXPECT_EQ(header.identification[sizeof header.identification - 1], 0);
    }
    // Another family keeps the answer alone.
    kvr::FileHeader other;
    EXPECT_EQ(kvr::SetFileIdentification(other, "QDV0003").version, 0);
    EXPECT_STREQ(other.identification, "QDV0003");
    EXPECT_EQ(other.identification[10], 0);
}

}  // namespace
