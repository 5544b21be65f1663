#pragma once
// The curve tests' ramp file with known pixels and a curve control showing it.
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "gui/curves/curve_ctrl.h"
#include "support/gui_test_support.h"

namespace guitest {

// Curve colours of the sample file.
inline const QColor kRed(255, 0, 0);       // channel 0
inline const QColor kGreen(0, 192, 0);     // channel 1
inline const QColor kYellow(255, 255, 0);  // cursor and selection markers

// A ramp of 601 one-second records: channel c at record r is r + 50 c. With the value
// scale 0 … 600 in a plot 600 columns wide and 400 rows tall (a control of kWidth x
// kHeight), record r sits in column r at row trunc(400 - 400 r / 600). Only channels 0 and
// 1 are shown; no grid, no tags, black background.
inline constexpr int kRecords = 601;
inline constexpr int kWidth = 652;
inline constexpr int kHeight = 436;
inline constexpr int kPlotWidth = 600;
inline constexpr int kPlotHeight = 400;

inline int ExpectedRow(double value, double low = 0.0, double high = 600.0) {
    return static_cast<int>(kPlotHeight - kPlotHeight * (value - low) / (high - low));
}

inline std::unique_ptr<kvr::CXFile> OpenRampFile(
    const kvrtest::TempDir& dir, const std::function<void(kvr::SampleOptions&)>& adjust = {}) {
    kvr::SampleOptions options;
    options.records = kRecords;
    options.interval = 1;
    options.tags = 0;
    options.yMode = 1;
    options.yLow = 0.0f;
    options.yHigh = 600.0f;
    options.gridVertical = 10;
    options.gridHorizontal = 10;
    options.showGrid = 0;
    options.backgroundColor = 0;
    options.sample = [](int channel, int record) {
        return static_cast<float>(record + 50 * channel);
    };
    if (adjust) adjust(options);
    const std::string path = dir.file("ramp.FDZ");
    if (!kvr::WriteSampleFile(path, options)) return nullptr;
    auto file = std::make_unique<kvr::CXFile>();
    if (file->Open(path) != 1) return nullptr;
    for (int c = 2; c < file->GetChannelCount(); ++c) file->Header().channels[c].showState = 0;
    return file;
}

// A curve control of kWidth x kHeight showing file, laid out and drawn.
inline std::unique_ptr<CXCurveCtrl> ShowCurveCtrl(kvr::CXFile* file) {
    auto ctrl = std::make_unique<CXCurveCtrl>();
    ctrl->resize(kWidth, kHeight);
    ctrl->SetFile(file);
    ctrl->ApplyFileSettings();
    ctrl->show();
    ctrl->Rebuild();
    return ctrl;
}

// A fixture with the ramp file shown in a curve control.
class RampCurveTest : public testing::Test {
protected:
    void SetUp() override {
        App();
        file_ = OpenRampFile(dir_);
        ASSERT_TRUE(file_);
        ctrl_ = ShowCurveCtrl(file_.get());
    }

    kvrtest::TempDir dir_;
    std::unique_ptr<kvr::CXFile> file_;
    std::unique_ptr<CXCurveCtrl> ctrl_;
};

}  // namespace guitest
