// report_screenshots OUTDIR: renders the cumulative report (three shifts and a month
// table) and the statistics dialog after "统计" into PNG files, for the documentation.
#include <QApplication>
#include <QPushButton>
#include <cstdio>

#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/layout.h"
#include "core/datafile/sample_file.h"
#include "gui/reports/cumu_show_view.h"
#include "gui/reports/stat_dlg.h"
#include "support/gui_test_support.h"

namespace {

bool Click(QWidget& widget, const char* name) {
    auto* button = widget.findChild<QPushButton*>(QString::fromLatin1(name));
    if (button) button->click();
    return button != nullptr;
}

// Writes three days of records to path and opens them into file; shiftCount 1 turns the
// file's report into a month table.
bool OpenFile(kvr::CXFile& file, const std::string& path, int shiftCount) {
    kvr::SampleOptions options;
    options.records = 3 * 1440;
    std::vector<std::uint8_t> image = kvr::BuildSampleImage(options);
    if (image.empty()) return false;
    if (shiftCount)
        image[kvr::kConfigOffset + kvr::cfg::kShiftCount] = static_cast<std::uint8_t>(shiftCount);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
    return std::fclose(out) == 0 && written && file.Open(path) == 1;
}

// The cumulative report of file after "计算", height pixels tall.
bool SaveReport(kvr::CXFile& file, int height, const QString& png) {
    CCumuShowView report;
    report.resize(760, height);
    report.SetFile(&file);
    const bool computed = Click(report, "computeButton");
    return guitest::SaveScreenshot(report, png) && computed;
}

}  // namespace

int main(int argc, char** argv) {
    const QString outDir = guitest::StartScreenshots(argc, argv);
    if (outDir.isEmpty()) return 2;
    kvrtest::TempDir dir;
    bool ok = true;

    kvr::CXFile shifts;
    kvr::CXFile month;
    if (!OpenFile(shifts, dir.file("shifts.ARF"), 0) || !OpenFile(month, dir.file("month.ARF"), 1))
        return 1;
    ok &= SaveReport(shifts, 420, outDir + "/cumulative_report.png");
    ok &= SaveReport(month, 520, outDir + "/cumulative_report_month.png");

    CXStatDlg statistics;
    statistics.SetFile(&shifts);
    ok &= Click(statistics, "computeButton");
    ok &= guitest::SaveScreenshot(statistics, outDir + "/statistics.png");
    return ok ? 0 : 1;
}
