// Printed curve pages checked in the PDF a user would get: page count, texts and where the
// curves are on a rendered page; the continuous-print dialog's snapping and page count.
#include <gtest/gtest.h>
#include <QDateEdit>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>

#include "gui/curves/curve_ctrl.h"
#include "gui/curves/curve_page_printer.h"
#include "gui/history/continuous_print_dlg.h"
#include "gui/history/hc_view.h"
#include "support/gui_test_support.h"

using guitest::Child;
using guitest::PdfPages;
using guitest::PdfText;
using guitest::Q;
using kvrtest::OpenSampleFile;
using kvrtest::RunCommand;
using kvrtest::SampleRecords;

namespace {

TEST(CurvePrint, PagesTextsAndCurvesInThePdf) {
    kvrtest::TempDir dir;
    // 4001 records at 10 s: a continuous print of all of them is 4000 intervals, 2 pages;
    // one interval more would not fit in the file.
    CHCView view;
    view.resize(1600, 1000);
    auto opened = std::make_unique<kvr::CXFile>();
    ASSERT_EQ(opened->Open(guitest::MakeSample(dir, "curves.FDZ", "--records 4001 --interval 10")),
              1);
    view.SetFile(opened.release());
    const kvr::CXFile& file = *view.GetFile();

    const std::string single = dir.file("one.pdf");
    ASSERT_TRUE(PrintCurvesToPdf(Q(single), *view.CurveCtrl(), {}));
    EXPECT_EQ(PdfPages(single), 1);
    const QString text = PdfText(single);
    for (const char* expected : {"设备名称：", "打印时间：", "时间范围：", "第1页"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;

    const std::string series = dir.file("series.pdf");
    CurvePrintRequest request{true, file.GetStartTime(), file.GetEndTime(), 2};
    ASSERT_TRUE(PrintCurvesToPdf(Q(series), *view.CurveCtrl(), request));
    EXPECT_EQ(PdfPages(series), 2);
    EXPECT_TRUE(PdfText(series).contains(QStringLiteral("第2页")));

    // The page is white paper; the first channel's red curve crosses the plot.
    RunCommand("pdftoppm -r 40 -f 1 -l 1 -png '" + single + "' '" + dir.file("page") + "'");
    QImage page(Q(dir.file("page-1.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.pixelColor(page.width() / 2, 3), QColor(Qt::white));
    int reddish = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width() * 3 / 4; ++x) {
            const QColor c = page.pixelColor(x, y);
            reddish += c.red() > 180 && c.green() < 90 && c.blue() < 90;
        }
    EXPECT_GT(reddish, 20);
}

TEST(CurvePrint, ContinuousDialogSnapsAndCountsPages) {
    kvrtest::TempDir dir;
    auto file = OpenSampleFile(dir, SampleRecords(5001, 10));
    CContinuousPrintDlg dialog(*file);
    // Opening: end at the file end, start 1000 s before it: 100 intervals, one page.
    EXPECT_EQ(dialog.End(), file->GetEndTime());
    EXPECT_EQ(dialog.Start(), file->GetEndTime() - 1000);
    EXPECT_EQ(Child<QLineEdit>(&dialog, "pages")->text(), QStringLiteral("1"));

    const auto set = [&](const char* prefix, kvr::Time t) {
        const QDateTime moment = QDateTime::fromSecsSinceEpoch(t);
        Child<QDateEdit>(&dialog, (std::string(prefix) + "Date").c_str())->setDate(moment.date());
        Child<QTimeEdit>(&dialog, (std::string(prefix) + "Time").c_str())->setTime(moment.time());
    };
    // 2000 intervals: 1 page; 2001: 2 pages; a start between records moves to the next one.
    set("start", file->GetEndTime() - 20000);
    EXPECT_EQ(dialog.Pages(), 1);
    set("start", file->GetEndTime() - 20010);
    EXPECT_EQ(dialog.Pages(), 2);
    set("start", file->GetEndTime() - 20007);
    EXPECT_EQ(dialog.Start(), file->GetEndTime() - 20000);
    EXPECT_EQ(dialog.Pages(), 1);
    // Before the file start: refused in the dialog.
    set("start", file->GetStartTime() - 60);
    EXPECT_EQ(dialog.Pages(), -1);
    EXPECT_EQ(Child<QLabel>(&dialog, "error")->text(), QStringLiteral("时间设置错误！"));
}

TEST(CurvePrint, CommandLineWritesThePdf) {
    kvrtest::TempDir dir;
    const std::string data = guitest::MakeSample(dir, "print.FDZ", "--records 2500 --interval 10");
    const std::string pdf = dir.file("out.pdf");
    const std::string output =
        RunCommand("QT_QPA_PLATFORM=offscreen '" KVR_PROGRAM "' --print-pdf '" + pdf +
                   "' --continuous '" + data + "' 2>&1")
            .out;
    EXPECT_EQ(PdfPages(pdf), 2) << output;

    // A year no time input takes is named as the fault, not the format.
    const kvrtest::CommandResult year =
        RunCommand("QT_QPA_PLATFORM=offscreen '" KVR_PROGRAM "' --print-pdf '" + dir.file("y.pdf") +
                   "' --from '1900-01-01 00:00:00' '" + data + "' 2>&1");
    EXPECT_NE(year.exitCode, 0);
    EXPECT_NE(year.out.find("年份必须在 1970 到 2099 之间！"), std::string::npos) << year.out;
}

}  // namespace
