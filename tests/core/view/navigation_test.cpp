// Go-to snapping, range checks and the value search, without dialogs.
#include <gtest/gtest.h>

#include "core/view/find_search.h"
#include "core/view/navigation.h"
#include "support/test_support.h"

using kvr::FindOrigin;
using kvr::FindState;
using kvr::Time;
using kvrtest::SampleStart;

namespace {

// Channel 0 counts records; channel 3 holds 500 at records 10 and 50; the rest is flat.
float SearchSample(int channel, int record) {
    if (channel == 0) return static_cast<float>(record);
    if (channel == 3 && (record == 10 || record == 50)) return 500.0f;
    return 1000.0f + static_cast<float>(channel);
}

class FindTest : public ::testing::Test {
protected:
    void SetUp() override {
        kvr::SampleOptions options = kvrtest::SampleRecords(100);
        options.sample = SearchSample;
        file_ = kvrtest::OpenSampleFile(dir_, options);
        ASSERT_TRUE(file_);
    }
    Time Record(int r) const { return SampleStart() + r * 60; }
    std::optional<Time> Step(FindOrigin origin = FindOrigin::kCurve, Time position = 0) {
        return kvr::FindStep(*file_, state_, position, origin);
    }

    kvrtest::TempDir dir_;
    std::unique_ptr<kvr::CXFile> file_;
    FindState state_;
};

}  // namespace

TEST(GoToTime, SnapsDownToARecordInsideTheFile) {
    const Time end = SampleStart() + 99 * 60;
    struct Case {
        Time t;
        std::optional<Time> result;
    };
    const Case cases[] = {
        {SampleStart(), SampleStart()},
        {SampleStart() + 90, SampleStart() + 60},
        {SampleStart() + 119, SampleStart() + 60},
        {SampleStart() + 120, SampleStart() + 120},
        {end, end},
        {end + 59, end},
        {SampleStart() - 1, std::nullopt},
        {SampleStart() - 59, std::nullopt},
        {SampleStart() - 60, std::nullopt},
        {end + 60, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kvr::SnapGoToTime(c.t, SampleStart(), end, 60), c.result)
            << "offset " << c.t - SampleStart();
}

TEST(RangeSetting, ProblemsAreReportedInOrder) {
    using kvr::RangeProblem;
    const Time start = SampleStart();
    const Time end = SampleStart() + 3600;
    struct Case {
        Time a, b;
        RangeProblem problem;
    };
    const Case cases[] = {
        {start + 10, start + 10, RangeProblem::kNone},
        {start, end, RangeProblem::kNone},
        {start - 100, start - 200, RangeProblem::kStartAfterEnd},  // also before the file
        {end + 10, end + 5, RangeProblem::kStartAfterEnd},
        {start - 1, end, RangeProblem::kStartBeforeFile},
        {start - 1, end + 1, RangeProblem::kStartBeforeFile},  // also after the file
        {start, end + 1, RangeProblem::kEndAfterFile},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kvr::CheckDisplayRange(c.a, c.b, start, end), c.problem)
            << c.a - start << ", " << c.b - start;
}

TEST_F(FindTest, ForwardAndBackwardOverEveryChannel) {
    state_.value = 500.0f;
    EXPECT_EQ(Step(), Record(10));
    EXPECT_EQ(Step(), Record(50));
    EXPECT_EQ(Step(), std::nullopt) << "ran off the end";
    EXPECT_EQ(state_.searchTime, 0);
    EXPECT_EQ(Step(), Record(10)) << "a miss starts the next search afresh";

    state_ = FindState{};
    state_.value = 500.0f;
    state_.direction = FindState::kBackward;
    state_.startPosition = FindState::kFileEnd;
    EXPECT_EQ(Step(), Record(50));
    EXPECT_EQ(Step(), Record(10));
    EXPECT_EQ(Step(), std::nullopt);
    EXPECT_TRUE(state_.searchMade);
}

TEST_F(FindTest, OneChannelAndTolerance) {
    state_.value = 50.04f;
    state_.channel = 1;  // channel 0 counts records
    EXPECT_EQ(Step(), Record(50));
    state_ = FindState{};
    state_.value = 50.04f;
    state_.tolerance = 0.01f;
    state_.channel = 1;
    EXPECT_EQ(Step(), std::nullopt);
    state_ = FindState{};
    state_.value = 500.0f;
    state_.channel = 1;  // 500 lies on channel 3 only
    EXPECT_EQ(Step(), std::nullopt);
    state_.channel = 4;
    EXPECT_EQ(Step(), Record(10));
}

TEST_F(FindTest, StartPositions) {
    state_.value = 500.0f;
    state_.startPosition = FindState::kPosition;
    EXPECT_EQ(Step(FindOrigin::kCurve, Record(20)), Record(50)) << "from the cursor";
    state_.searchTime = 0;
    EXPECT_EQ(Step(FindOrigin::kCurve, 0), Record(10)) << "no cursor: the file start";
    state_.searchTime = 0;
    EXPECT_EQ(Step(FindOrigin::kCurve, Record(50)), Record(50)) << "the curves test their start";
    state_.searchTime = 0;
    EXPECT_EQ(Step(FindOrigin::kList, Record(50)), std::nullopt) << "the list starts one record on";
}

TEST_F(FindTest, AFreshListSearchNeverReportsItsFirstRecord) {
    state_.value = 0.0f;  // only record 0 of channel 0 holds 0
    state_.channel = 1;
    EXPECT_EQ(Step(FindOrigin::kList), std::nullopt);
    state_.searchTime = 0;
    EXPECT_EQ(Step(FindOrigin::kCurve), Record(0));
}

TEST_F(FindTest, FindNextContinuesPastTheLastMatch) {
    state_.value = 500.0f;
    EXPECT_EQ(Step(), Record(10));
    EXPECT_EQ(kvr::FindNext(*file_, state_), Record(50)) << "not the same match again";
    EXPECT_EQ(kvr::FindNext(*file_, state_), std::nullopt);
    EXPECT_EQ(kvr::FindNext(*file_, state_), std::nullopt) << "nothing to continue from";
    // Mixing F3 and dialog steps skips no record: each goes one record past the last match.
    state_.searchTime = 0;
    state_.value = 7.0f;
    state_.channel = 1;
    EXPECT_EQ(Step(), Record(7));
    state_.value = 8.0f;
    EXPECT_EQ(kvr::FindNext(*file_, state_), Record(8));
    state_.value = 9.0f;
    EXPECT_EQ(Step(), Record(9));
}
