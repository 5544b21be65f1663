// Printed data lists: pages, footers, orientation, continuous printing and the preview.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>

#include "gui/common/command_ids.h"
#include "gui/lists/data_grid.h"
#include "gui/lists/list_view.h"
#include "support/gui_test_support.h"

namespace {

using guitest::PdfPages;
using guitest::PdfText;

class ListPrintTest : public ::testing::Test {
protected:
    void Open(int records) {
        guitest::App();
        view_.reset();
        file_ = kvrtest::OpenSampleFile(dir_, kvrtest::SampleRecords(records),
                                        "sample" + std::to_string(records) + ".FDZ");
        ASSERT_TRUE(file_);
        view_ = std::make_unique<CXListView>();
        view_->resize(1200, 800);
        view_->show();
        view_->SetHistoryOwner(&owner_);
        view_->SetFile(file_.get());
    }

    // Prints as the print command would, into a PDF.
    std::string PrintToPdf(bool continuous, bool portrait, const std::string& name) {
        const std::string path = dir_.file(name);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path));
        view_->SetContinuousPrint(continuous);
        view_->SetPortrait(portrait);
        view_->PreparePrinting(printer);
        view_->PrintTo(&printer);
        return path;
    }

    kvrtest::TempDir dir_;
    std::unique_ptr<kvr::CXFile> file_;
    guitest::StubListOwner owner_;
    std::unique_ptr<CXListView> view_;
};

}  // namespace

TEST_F(ListPrintTest, ContinuousPrintHasOnePagePerFortyRows) {
    struct Case {
        int records;
        int pages;
    };
    for (const Case c : {Case{40, 1}, Case{41, 2}, Case{1, 1}}) {
        Open(c.records);
        EXPECT_EQ(view_->Grid()->GetPageCount(), c.pages);
        const std::string pdf =
            PrintToPdf(true, false, "list" + std::to_string(c.records) + ".pdf");
        EXPECT_EQ(PdfPages(pdf), c.pages) << c.records << " records";
    }
}

TEST_F(ListPrintTest, PagesCarryRowsAndFooter) {
    Open(45);
    const std::string pdf = PrintToPdf(true, true, "portrait.pdf");
    ASSERT_EQ(PdfPages(pdf), 2);
    const QString first = PdfText(pdf, 1);
    const QString second = PdfText(pdf, 2);
    EXPECT_TRUE(first.contains(QStringLiteral("设备名称：1#锅炉蒸汽总管"))) << first.toStdString();
    EXPECT_TRUE(first.contains(
        QRegularExpression(QStringLiteral("打印时间：\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"))));
    EXPECT_TRUE(first.contains(QStringLiteral("第1页")));
    EXPECT_TRUE(second.contains(QStringLiteral("第2页")));
    EXPECT_TRUE(first.contains(QStringLiteral("序号")) &&
                first.contains(QStringLiteral("PDT101差压(kPa)")));
    // Page 1 has records 1..40, page 2 the remaining five.
    EXPECT_TRUE(first.contains(QStringLiteral("2026-01-05 00:39:00")));
    EXPECT_FALSE(first.contains(QStringLiteral("2026-01-05 00:40:00")));
    EXPECT_TRUE(second.contains(QStringLiteral("2026-01-05 00:40:00")));
    EXPECT_TRUE(second.contains(QStringLiteral("2026-01-05 00:44:00")));
    EXPECT_TRUE(second.contains(QStringLiteral("44.00")));
}

TEST_F(ListPrintTest, SinglePagePrintStartsAtTheTopRow) {
    Open(200);
    view_->Grid()->GoToTime(file_->GetStartTime() + 100 * 60);
    const std::string pdf = PrintToPdf(false, false, "single.pdf");
    ASSERT_EQ(PdfPages(pdf), 1);
    const QString text = PdfText(pdf, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("2026-01-05 01:40:00")));
    EXPECT_FALSE(text.contains(QStringLiteral("2026-01-05 01:39:00")));
    EXPECT_TRUE(text.contains(QStringLiteral("第1页")));
}

TEST_F(ListPrintTest, PreviewAsksForTheOrientationAndRendersItsPage) {
    Open(100);
    const std::string pdf = dir_.file("preview.pdf");
    bool askedOrientation = false;
    int previewPages = -1;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    guitest::WhenModal([&](QWidget* dialog) {
        askedOrientation = dialog->windowTitle() == QStringLiteral("数据列表打印方向");
        auto* portrait = guitest::Child<QCheckBox>(dialog, "portraitBox");
        auto* landscape = guitest::Child<QCheckBox>(dialog, "landscapeBox");
        EXPECT_TRUE(portrait->isChecked());
        landscape->click();
        EXPECT_FALSE(portrait->isChecked()) << "the two boxes exclude each other";
        guitest::WhenModal([&](QWidget* preview) {
            auto* previewDialog = qobject_cast<QPrintPreviewDialog*>(preview);
            ASSERT_NE(previewDialog, nullptr);
            auto* widget = preview->findChild<QPrintPreviewWidget*>();
            ASSERT_NE(widget, nullptr);
            previewPages = widget->pageCount();
            orientation = previewDialog->printer()->pageLayout().orientation();
            previewDialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            previewDialog->printer()->setOutputFileName(QString::fromStdString(pdf));
            widget->print();
            preview->close();
        });
        guitest::Child<QPushButton>(dialog, "okButton")->click();
    });
    view_->ExecuteCommand(cmd::kPrintPreview);
    EXPECT_TRUE(askedOrientation);
    EXPECT_EQ(previewPages, 1) << "a preview shows the page of the top row";
    EXPECT_EQ(orientation, QPageLayout::Landscape);
    ASSERT_EQ(PdfPages(pdf), 1);
    EXPECT_TRUE(PdfText(pdf, 1).contains(QStringLiteral("第1页")));
    EXPECT_FALSE(view_->Grid()->GetPrintPortrait());
}

TEST_F(ListPrintTest, ContinuousPrintPreviewsEveryPageFromTheTopRow) {
    Open(130);
    view_->Grid()->GoToTime(file_->GetStartTime() + 10 * 60);  // 120 rows left: 3 pages
    int previewPages = -1;
    guitest::WhenModal([&](QWidget* preview) {
        auto* widget = preview->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(widget, nullptr);
        previewPages = widget->pageCount();
        preview->close();
    });
    view_->ExecuteCommand(cmd::kContinuousPrint);
    EXPECT_EQ(previewPages, 3);
}
