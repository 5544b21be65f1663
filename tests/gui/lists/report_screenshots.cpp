// report_screenshots OUTDIR: renders the cumulative report (three shifts and a month
// table) and the statistics dialog after "统计" into PNG files, for the documentation.
#include <QApplication>
#include <QPushButton>
#include <cstdio>

#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/layout.h"
#include "core/datafile/sample_file.h"
#include "gui/gui_test_support.h"
#include "gui/lists/cumu_show_view.h"
#include "gui/lists/stat_dlg.h"

namespace {

bool Click(QWidget& widget, const char* name) {
    auto* button = widget.findChild<QPushButton*>(QString::fromLatin1(name));
    if (button) button->click();
    return button != nullptr;
}

// Three days of records; shiftCount 1 turns the file's report into a month table.
bool MakeFile(const std::string& path, int shiftCount) {
    kvr::SampleOptions options;
    options.records = 3 * 1440;
    std::vector<std::uint8_t> image = kvr::BuildSampleImage(options);
    if (image.empty()) return false;
    if (shiftCount)
        image[kvr::kConfigOffset + kvr::cfg::kShiftCount] = static_cast<std::uint8_t>(shiftCount);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    const QString outDir = guitest::StartScreenshots(argc, argv);
    if (outDir.isEmpty()) return 2;
    kvrtest::TempDir dir;
    bool ok = true;

    const std::string shiftPath = dir.file("shifts.ARF");
    kvr::CXFile shifts;
    if (!MakeFile(shiftPath, 0) || shifts.Open(shiftPath) != 1) return 1;
    CCumuShowView report;
    report.resize(760, 420);
    report.SetFile(&shifts);
    ok &= Click(report, "computeButton");
    ok &= guitest::SaveScreenshot(report, outDir + "/cumulative_report.png");

    const std::string monthPath = dir.file("month.ARF");
    kvr::CXFile month;
    if (!MakeFile(monthPath, 1) || month.Open(monthPath) != 1) return 1;
    CCumuShowView monthReport;
    monthReport.resize(760, 520);
    monthReport.SetFile(&month);
    ok &= Click(monthReport, "computeButton");
    ok &= guitest::SaveScreenshot(monthReport, outDir + "/cumulative_report_month.png");

    CXStatDlg statistics;
    statistics.SetFile(&shifts);
    ok &= Click(statistics, "computeButton");
    ok &= guitest::SaveScreenshot(statistics, outDir + "/statistics.png");
    return ok ? 0 : 1;
}
