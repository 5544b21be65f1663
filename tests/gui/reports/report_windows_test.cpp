// The cumulative report view, the totals window and the statistics dialog as a user sees
// them, and how the program opens them.
#include <QClipboard>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <optional>

#include "core/analysis/cumulative_report.h"
#include "core/analysis/statistics.h"
#include "gui/app/report_windows.h"
#include "gui/common/view_host.h"
#include "gui/reports/cumu_show_view.h"
#include "gui/reports/stat_dlg.h"
#include "gui/reports/text_table.h"
#include "gui/reports/totals_dlg.h"
#include "gui/reports/workbook_path.h"
#include "support/gui_test_support.h"
#include "support/xlsx_reader.h"

namespace {

using guitest::MessageRecorder;

std::vector<std::vector<std::string>> Shown(const QTableWidget* table) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        rows.emplace_back();
        for (int c = 0; c < table->columnCount(); ++c)
            rows.back().push_back(TextCell(table, r, c).toStdString());
    }
    return rows;
}

// What a click on a window's save button gives when the user picks a file name: the name
// the window proposed, the messages it showed, and the workbook it wrote.
struct SavedWorkbook {
    QString proposed;
    QStringList messages;
    std::optional<kvrtest::XlsxWorkbook> book;
};

SavedWorkbook SaveWith(QWidget& window, const char* button, const std::string& path) {
    SavedWorkbook saved;
    SetWorkbookPathHook([&](const QString& name) {
        saved.proposed = name;
        return QString::fromStdString(path);
    });
    MessageRecorder messages;
    guitest::Child<QPushButton>(&window, button)->click();
    SetWorkbookPathHook(nullptr);
    saved.messages = messages.Texts();
    saved.book = kvrtest::ReadXlsx(path);
    return saved;
}

class ReportWindows : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = kvrtest::OpenSampleFile(dir_,
                                        kvrtest::SampleRecords(2880));  // two days from 2026-01-05
        ASSERT_TRUE(file_);
    }
    void TearDown() override { SetWorkbookPathHook(nullptr); }

    kvrtest::TempDir dir_;
    std::unique_ptr<kvr::CXFile> file_;
};

TEST_F(ReportWindows, ReportViewComputesAndExportsTheShownTable) {
    CCumuShowView view;
    view.SetFile(file_.get());
    EXPECT_EQ(guitest::Child<QLineEdit>(&view, "deviceAlias")->text(), "热量");
    EXPECT_EQ(guitest::Child<QLineEdit>(&view, "settlement")->text(), "0点");
    EXPECT_EQ(guitest::Child<QLineEdit>(&view, "reportType")->text(), "三段");
    QTableWidget* list = view.List();
    ASSERT_EQ(list->columnCount(), 5);
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "0点-8点");
    EXPECT_EQ(list->rowCount(), 0);

    guitest::Child<QPushButton>(&view, "computeButton")->click();
    const auto expected = kvr::BuildCumulativeReport(
        kvr::ReportSourceOf(*file_), file_->Header().hourly.first, file_->Header().hourly.last);
    ASSERT_TRUE(expected.report);
    EXPECT_EQ(Shown(list), expected.report->list.rows);

    const SavedWorkbook saved = SaveWith(view, "exportButton", dir_.file("report.xlsx"));
    EXPECT_EQ(saved.proposed, QString::fromStdString(file_->GetDeviceName()) + ".xlsx");
    EXPECT_EQ(saved.messages, QStringList{"文件导出完成!"});
    ASSERT_TRUE(saved.book);
    const auto& sheet = saved.book->sheets.at(0);
    for (int c = 0; c < list->columnCount(); ++c) {
        const QString title = list->horizontalHeaderItem(c)->text();
        EXPECT_EQ(sheet.Text(0, static_cast<size_t>(c)), c == 0 ? "日期" : title.toStdString());
    }
    // The list's trailing empty row is not exported.
    ASSERT_EQ(sheet.rows.size(), static_cast<size_t>(list->rowCount()));
    for (int r = 0; r + 1 < list->rowCount(); ++r)
        for (int c = 0; c < list->columnCount(); ++c)
            EXPECT_EQ(sheet.Shown(static_cast<size_t>(r) + 1, static_cast<size_t>(c)),
                      TextCell(list, r, c).toStdString());
    // Dates and sums are numbers a spreadsheet can compute with; the row titles are text.
    EXPECT_EQ(sheet.Cell(2, 0)->numberFormat, "yyyy-mm-dd");
    EXPECT_TRUE(sheet.Cell(2, 1)->isNumber);
    EXPECT_EQ(sheet.Cell(2, 1)->numberFormat, "0.00");
    EXPECT_FALSE(sheet.Cell(1, 0)->isNumber);
}

TEST_F(ReportWindows, ReportViewRefusesBadPeriodsAndUnwritableTargets) {
    CCumuShowView view;
    view.SetFile(file_.get());
    guitest::Child<QPushButton>(&view, "computeButton")->click();
    const auto before = Shown(view.List());

    MessageRecorder messages;
    view.SetPeriod(file_->Header().hourly.last, file_->Header().hourly.first);
    guitest::Child<QPushButton>(&view, "computeButton")->click();
    EXPECT_EQ(messages.Texts(), QStringList{"请确认 [开始时间] < [结束时间] ！"});
    EXPECT_EQ(Shown(view.List()), before);

    messages.Clear();
    view.SetPeriod(file_->Header().hourly.first, file_->Header().hourly.last);
    const std::string path = dir_.file("missing/report.xlsx");
    SetWorkbookPathHook([&](const QString&) { return QString::fromStdString(path); });
    guitest::Child<QPushButton>(&view, "exportButton")->click();
    EXPECT_EQ(messages.Texts(), QStringList{"建立文件失败，可能缺少Excel驱动!"});
    EXPECT_FALSE(std::filesystem::exists(path));

    // The report's own data file is never its workbook.
    messages.Clear();
    const std::string data = kvrtest::ReadWholeFile(file_->GetFileName());
    SetWorkbookPathHook(
        [&](const QString&) { return QString::fromStdString(file_->GetFileName()); });
    guitest::Child<QPushButton>(&view, "exportButton")->click();
    EXPECT_EQ(messages.Texts(), QStringList{"不能导出到数据文件本身，请另选文件名！"});
    EXPECT_EQ(kvrtest::ReadWholeFile(file_->GetFileName()), data);
}

TEST_F(ReportWindows, ReportListFollowsTheViewSize) {
    CCumuShowView view;
    view.SetFile(file_.get());
    view.show();
    view.resize(800, 600);
    const QRect before = view.List()->geometry();
    view.resize(900, 700);
    const QRect after = view.List()->geometry();
    EXPECT_EQ(after.topLeft(), before.topLeft());
    EXPECT_EQ(after.width(), 880);
    EXPECT_EQ(after.bottom() + 1, 703);
}

TEST_F(ReportWindows, TotalsWindowShowsRefreshesAndCopies) {
    auto* dialog = new CXTotalsDlg;
    QPointer<CXTotalsDlg> alive(dialog);
    dialog->SetFile(file_.get());
    dialog->Open();
    EXPECT_EQ(dialog->windowTitle(),
              QString::fromStdString("累积流量报表    Dev:[" + file_->GetDeviceName() + "]"));
    ASSERT_EQ(dialog->List()->rowCount(), 2);
    // Each total with its unit.
    EXPECT_EQ(TextCell(dialog->List(), 0, 1), "流量(t)");
    EXPECT_EQ(TextCell(dialog->List(), 1, 1), "热量(GJ)");

    file_->Header().flowTotal = 123456;
    dialog->Refresh();
    EXPECT_EQ(TextCell(dialog->List(), 0, 2), "1234.56");
    dialog->Copy();
    EXPECT_TRUE(
        QApplication::clipboard()->text().startsWith("1\t流量(t)\t1234.56\t\r\n2\t热量(GJ)\t"));

    dialog->close();  // deletes itself
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(ReportWindows, StatisticsDialogComputesCopiesAndSaves) {
    CXStatDlg dialog;
    dialog.SetFile(file_.get());
    ASSERT_EQ(dialog.List()->rowCount(), 6);
    // Each channel with the unit of its figures.
    EXPECT_EQ(TextCell(dialog.List(), 0, 1).toStdString(), file_->GetChannelName(0) + "(kPa)");
    EXPECT_TRUE(TextCell(dialog.List(), 0, 2).isEmpty());

    guitest::Child<QPushButton>(&dialog, "computeButton")->click();
    const auto expected =
        kvr::ComputeStatistics(*file_, file_->GetEndTime() - 3600, file_->GetEndTime());
    ASSERT_EQ(expected.rows.size(), 6u);
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(TextCell(dialog.List(), r, 2).toStdString(), expected.rows[r].peak);
        EXPECT_EQ(TextCell(dialog.List(), r, 5).toStdString(), expected.rows[r].uniformity);
    }
    EXPECT_EQ(guitest::Child<QProgressBar>(&dialog, "progress")->value(), 100);

    guitest::Child<QPushButton>(&dialog, "copyButton")->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              kvr::StatisticsCopyText(expected.rows));

    const SavedWorkbook saved = SaveWith(dialog, "saveButton", dir_.file("Statistic.xlsx"));
    EXPECT_EQ(saved.proposed, "Statistic.xlsx");
    EXPECT_EQ(saved.messages, QStringList{"文件导出完成!"});
    ASSERT_TRUE(saved.book);
    EXPECT_EQ(saved.book->sheets.at(0).Text(3, 1), expected.rows[2].channel);
}

// A host that shows each view as a window of its own.
class TestHost : public ViewHost {
public:
    QWidget* ShowChildView(QWidget* view, const QString& title, bool maximize) override {
        maximized = maximize;
        auto* frame = new QWidget;
        view->setParent(frame);
        frame->setWindowTitle(title);
        frame->show();
        return frame;
    }
    void ActivateChildView(QWidget* view) override { activated = view; }
    void SetStatusText(int, const QString&) override {}
    QString LastDir() const override { return {}; }
    QWidget* activated = nullptr;
    bool maximized = false;
};

TEST_F(ReportWindows, ReportWindowsGoWithTheViewThatOpenedThem) {
    TestHost host;
    ViewHost::SetInstance(&host);
    RegisterReportWindows();
    auto* owner = new QWidget;

    QPointer<QWidget> report =
        OpenChildWindow(ChildWindow::kCumulativeReport, {owner, file_.get(), 0, 0, -1});
    ASSERT_TRUE(report);
    EXPECT_EQ(report->window()->windowTitle(),
              QString::fromStdString("累积报表 [" + file_->GetFileName() + "]"));
    EXPECT_TRUE(host.maximized);
    // Asking again brings the same report forward.
    EXPECT_EQ(OpenChildWindow(ChildWindow::kCumulativeReport, {owner, file_.get(), 0, 0, -1}),
              report.data());
    EXPECT_EQ(host.activated, report.data());

    // A second totals window replaces the first.
    QPointer<QWidget> totals =
        OpenChildWindow(ChildWindow::kTotals, {owner, file_.get(), 0, 0, -1});
    QPointer<QWidget> replacement =
        OpenChildWindow(ChildWindow::kTotals, {owner, file_.get(), 0, 0, -1});
    EXPECT_TRUE(totals.isNull());
    ASSERT_TRUE(replacement);

    delete owner;
    EXPECT_TRUE(report.isNull());
    EXPECT_TRUE(replacement.isNull());
    ViewHost::SetInstance(nullptr);
}

}  // namespace
