// Tags and value labels: placement, drawing over the curves, the tag manager and the
// value-label dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <filesystem>

#include "core/datafile/gbk.h"
#include "core/view/tag_marks.h"
#include "gui/curves/tag_painter.h"
#include "gui/history/tag_manager_dlg.h"
#include "gui/history/value_label_dlg.h"
#include "gui/navigation/tag_list.h"
#include "support/gui_test_support.h"

using guitest::Child;
using kvr::Time;
using kvrtest::SampleStart;

namespace {

constexpr int kPlotWidth = 400;
constexpr int kPlotHeight = 300;

// A 100-record file with only channel 0 shown: its value climbs from 0 to 39.6 (0 … 99 %
// of its 0 … 40 range).
std::unique_ptr<kvr::CXFile> MarkFile(const kvrtest::TempDir& dir) {
    kvr::SampleOptions options = kvrtest::SampleRecords(100, 60, 0);
    options.sample = [](int channel, int record) { return channel == 0 ? record * 0.4f : 1.0f; };
    auto file = kvrtest::OpenSampleFile(dir, options);
    if (file)
        for (int c = 1; c < file->GetChannelCount(); ++c) file->Header().channels[c].showState = 0;
    return file;
}

CurvePlotFrame WholeFileFrame(const kvr::CXFile& file) {
    CurvePlotFrame frame;
    frame.width = kPlotWidth;
    frame.height = kPlotHeight;
    frame.windowStart = file.GetStartTime();
    frame.windowEnd = file.GetEndTime();
    frame.visibleLow = 0.0;
    frame.visibleHigh = 100.0;
    frame.percentMode = true;
    frame.timeToPixel = [start = frame.windowStart, end = frame.windowEnd](Time t) {
        return static_cast<int>((t - start) * (kPlotWidth - 1) / (end - start));
    };
    return frame;
}

// What draw paints on an empty plot.
QImage Plot(const std::function<void(QPainter&)>& draw) {
    QImage plot(kPlotWidth, kPlotHeight, QImage::Format_RGB32);
    plot.fill(Qt::black);  // the sample files' background
    QPainter painter(&plot);
    draw(painter);
    painter.end();
    return plot;
}

int LitPixels(const QImage& image, QRect area) {
    return guitest::CountPixels(image, area, [](QColor c) { return c.lightness() > 100; });
}

}  // namespace

TEST(TagMarks, TextStaysAboveThePlotBottom) {
    struct Case {
        int y, textY;
    };
    for (const Case c :
         {Case{0, 2}, Case{150, 152}, Case{278, 280}, Case{279, 261}, Case{300, 282}})
        EXPECT_EQ(kvr::MarkTextY(c.y, kPlotHeight), c.textY) << c.y;
    EXPECT_EQ(kvr::ValueToPlotY(25.0, 0.0, 100.0, 300), 225);
    EXPECT_EQ(kvr::ValueToPlotY(5.0, 5.0, 5.0, 300), std::nullopt) << "an empty scale";
    EXPECT_EQ(kvr::TagTimeText(SampleStart() + 3661, 0), "2026-01-05 01:01:01");
    EXPECT_EQ(kvr::TagTimeText(SampleStart() + 3661, 1), "01:01:01");
}

TEST(TagMarks, ValueLabelsInPercentUseTheFirstChannelsRange) {
    kvrtest::TempDir dir;
    auto file = MarkFile(dir);
    ASSERT_TRUE(file);
    kvr::ValueLabel label;
    label.value = 10.0f;
    // Channel 1 measures 0 … 40 kPa; channel 1 is not even shown.
    file->Header().channels[0].showState = 0;
    EXPECT_EQ(kvr::ValueLabelLevel(*file, label, true), 25.0);
    EXPECT_EQ(kvr::ValueLabelLevel(*file, label, false), 10.0);
    kvr::WriteGbkField(label.name, sizeof label.name, "上限", 10);
    label.value = 1.5f;
    EXPECT_EQ(kvr::ValueLabelText(label), "上限1.50");
}

TEST(TagPainter, LinesTextsAndPlacementNearTheBottom) {
    kvrtest::TempDir dir;
    auto file = MarkFile(dir);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->AddTag(SampleStart()), 1);  // value 0 %: the point lies on the bottom edge
    ASSERT_EQ(file->AddTag(SampleStart() + 50 * 60), 1);  // 50 %: the middle
    const CurvePlotFrame frame = WholeFileFrame(*file);

    const QImage plot = Plot([&](QPainter& p) { DrawTags(p, *file, frame); });

    const int middleX = frame.timeToPixel(SampleStart() + 50 * 60);
    // A full-height line in the inverse of the background at each tag.
    EXPECT_EQ(LitPixels(plot, QRect(0, 0, 1, kPlotHeight)), kPlotHeight)
        << "a tag at the window start is drawn";
    EXPECT_EQ(LitPixels(plot, QRect(middleX, 0, 1, kPlotHeight)), kPlotHeight);
    EXPECT_EQ(plot.pixelColor(middleX, 100), QColor(Qt::white));
    // Reading at the bottom goes above its point; the middle one below its point.
    EXPECT_GT(LitPixels(plot, QRect(2, kPlotHeight - 18, 60, 14)), 0);
    EXPECT_EQ(LitPixels(plot, QRect(2, kPlotHeight - 3, 60, 3)), 0);
    EXPECT_GT(LitPixels(plot, QRect(middleX + 2, 152, 60, 12)), 0);
    EXPECT_EQ(LitPixels(plot, QRect(middleX + 2, 132, 60, 16)), 0);
    // The tag time sits at the top.
    EXPECT_GT(LitPixels(plot, QRect(middleX + 2, 2, 100, 12)), 0);

    // Outside the window: nothing.
    CurvePlotFrame narrow = frame;
    narrow.windowStart = SampleStart() + 60;
    narrow.windowEnd = SampleStart() + 49 * 60;
    const QImage empty = Plot([&](QPainter& p) { DrawTags(p, *file, narrow); });
    EXPECT_EQ(LitPixels(empty, empty.rect()), 0);
}

TEST(TagPainter, ValueLabelsInPercentAndEngineeringMode) {
    kvrtest::TempDir dir;
    auto file = MarkFile(dir);
    ASSERT_TRUE(file);
    kvr::ValueLabel& label = file->Header().labels[0];
    label.shown = 1;
    label.value = 10.0f;
    kvr::WriteGbkField(label.name, sizeof label.name, "H", 10);
    CurvePlotFrame frame = WholeFileFrame(*file);

    const QImage percent = Plot([&](QPainter& p) { DrawValueLabels(p, *file, frame); });
    // 10 kPa is 25 % of channel 1's range: row 225; a dotted line lights about half of it.
    const int lit = LitPixels(percent, QRect(0, 225, kPlotWidth, 1));
    EXPECT_GT(lit, kPlotWidth / 3);
    EXPECT_LT(lit, kPlotWidth * 2 / 3);
    EXPECT_EQ(LitPixels(percent, QRect(0, 270, kPlotWidth, 1)), 0);
    EXPECT_GT(LitPixels(percent, QRect(2, 227, 60, 12)), 0) << "name and value below the line";

    frame.percentMode = false;
    const QImage value = Plot([&](QPainter& p) { DrawValueLabels(p, *file, frame); });
    EXPECT_GT(LitPixels(value, QRect(0, 270, kPlotWidth, 1)), kPlotWidth / 3);
    EXPECT_GT(LitPixels(value, QRect(2, 272, 60, 12)), 0);
    EXPECT_EQ(LitPixels(value, QRect(2, 255, 60, 14)), 0);

    label.shown = 0;
    const QImage hidden = Plot([&](QPainter& p) { DrawValueLabels(p, *file, frame); });
    EXPECT_EQ(LitPixels(hidden, hidden.rect()), 0);
}

TEST(TagManager, DeletesTheSelectedTagOrAllAfterConfirmation) {
    kvrtest::TempDir dir;
    auto file = kvrtest::OpenSampleFile(dir, kvrtest::SampleRecords(100, 60, 4));
    ASSERT_TRUE(file);
    const Time tags[] = {file->GetTag(0), file->GetTag(1), file->GetTag(2), file->GetTag(3)};
    guitest::MessageRecorder messages(QMessageBox::Yes);
    CTagManagerDlg dialog(*file);
    dialog.show();
    auto* list = Child<CTagList>(&dialog, "tagList");
    ASSERT_EQ(list->rowCount(), 4);

    Child<QPushButton>(&dialog, "deleteButton")->click();
    EXPECT_EQ(messages.Texts(),
              (QStringList{QStringLiteral("确认需要删除？"), QStringLiteral("请选择标签!")}));
    EXPECT_EQ(messages.Shown()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(file->GetTagCount(), 4) << "nothing selected, nothing deleted";

    list->selectRow(1);
    messages.SetAnswer(QMessageBox::No);
    Child<QPushButton>(&dialog, "deleteButton")->click();
    EXPECT_EQ(file->GetTagCount(), 4) << "not confirmed";

    list->selectRow(1);
    messages.SetAnswer(QMessageBox::Yes);
    Child<QPushButton>(&dialog, "deleteButton")->click();
    ASSERT_EQ(file->GetTagCount(), 3);
    EXPECT_EQ(file->GetTag(0), tags[0]);
    EXPECT_EQ(file->GetTag(1), tags[2]);
    EXPECT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->item(1, 1)->text(), QString::fromStdString(kvr::FormatTime(tags[2])));

    Child<QPushButton>(&dialog, "deleteAllButton")->click();
    EXPECT_EQ(file->GetTagCount(), 0);
    EXPECT_EQ(list->rowCount(), 0);

    // Deletions are in the file.
    const std::string path = file->GetFileName();
    file.reset();
    kvr::CXFile reopened;
    ASSERT_EQ(reopened.Open(path), 1);
    EXPECT_EQ(reopened.GetTagCount(), 0);
}

TEST(TagManager, AFileCutShortRefusesEveryDeletionWithAMessage) {
    kvrtest::TempDir dir;
    const std::string path =
        kvrtest::OpenSampleFile(dir, kvrtest::SampleRecords(100, 60, 4))->GetFileName();
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 2);  // in the last tag
    kvr::CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    ASSERT_EQ(file.GetTagCount(), 3);
    guitest::MessageRecorder messages(QMessageBox::Yes);
    CTagManagerDlg dialog(file);
    dialog.show();
    Child<CTagList>(&dialog, "tagList")->selectRow(0);
    Child<QPushButton>(&dialog, "deleteButton")->click();
    Child<QPushButton>(&dialog, "deleteAllButton")->click();
    EXPECT_EQ(messages.Texts(), QStringList(2, QStringLiteral("文件不完整，只读打开，不能修改！")));
    EXPECT_EQ(file.GetTagCount(), 3);
}

TEST(ValueLabelDialog, ValidatesAndStoresBothLabels) {
    kvrtest::TempDir dir;
    auto file = kvrtest::OpenSampleFile(dir, kvrtest::SampleRecords(10));
    ASSERT_TRUE(file);
    guitest::MessageRecorder messages;
    bool saved = false;
    guitest::WhenModal([&](QWidget* dialog) {
        Child<QLineEdit>(dialog, "nameEdit0")
            ->setText(QStringLiteral("高高高高高高"));  // 12 GBK bytes
        Child<QLineEdit>(dialog, "valueEdit0")->setText(QStringLiteral("12.5"));
        Child<QCheckBox>(dialog, "shownBox0")->setChecked(true);
        Child<QPushButton>(dialog, "okButton")->click();
        EXPECT_TRUE(dialog->isVisible());
        Child<QLineEdit>(dialog, "nameEdit0")->setText(QStringLiteral("高限"));
        Child<QLineEdit>(dialog, "valueEdit1")->setText(QStringLiteral("x"));
        Child<QPushButton>(dialog, "okButton")->click();
        EXPECT_TRUE(dialog->isVisible());
        Child<QLineEdit>(dialog, "valueEdit1")->setText(QStringLiteral("-3"));
        Child<QPushButton>(dialog, "okButton")->click();
    });
    saved = EditValueLabels(nullptr, *file);
    EXPECT_TRUE(saved);
    EXPECT_EQ(messages.Texts(), (QStringList{QStringLiteral("请输入不超过 10 个字符。"),
                                             QStringLiteral("请输入一个数字。")}));
    const kvr::ValueLabel* labels = file->Header().labels;
    EXPECT_EQ(labels[0].shown, 1);
    EXPECT_EQ(labels[0].value, 12.5f);
    EXPECT_EQ(kvr::FieldToUtf8(labels[0].name, sizeof labels[0].name), "高限");
    EXPECT_EQ(labels[1].shown, 0);
    EXPECT_EQ(labels[1].value, -3.0f);
}

TEST(TagPainter, TextsOfNeighbouringMarksNeverCoverEachOther) {
    kvrtest::TempDir dir;
    auto file = MarkFile(dir);
    ASSERT_TRUE(file);
    // Two tags a few columns apart: their time texts would share the top row.
    ASSERT_EQ(file->AddTag(SampleStart() + 50 * 60), 1);
    ASSERT_EQ(file->AddTag(SampleStart() + 51 * 60), 1);
    const CurvePlotFrame frame = WholeFileFrame(*file);
    const QImage plot = Plot([&](QPainter& p) { DrawTagsAndValueLabels(p, *file, frame); });
    const int second = frame.timeToPixel(SampleStart() + 51 * 60);
    QFont markFont;
    markFont.setPixelSize(12);
    const int rowHeight = QFontMetrics(markFont).height();
    // The second time text went a row down, clear of the first one.
    EXPECT_GT(LitPixels(plot, QRect(second + 4, 2 + rowHeight + 2, 80, rowHeight - 4)), 0);

    // A tag at the right edge writes its texts to the left of its line, inside the plot.
    kvrtest::TempDir edgeDir;
    auto edgeFile = MarkFile(edgeDir);
    ASSERT_TRUE(edgeFile);
    ASSERT_EQ(edgeFile->AddTag(edgeFile->GetEndTime()), 1);
    const CurvePlotFrame edgeFrame = WholeFileFrame(*edgeFile);
    const QImage edge = Plot([&](QPainter& p) { DrawTags(p, *edgeFile, edgeFrame); });
    EXPECT_GT(LitPixels(edge, QRect(kPlotWidth - 100, 2, 90, 14)), 0);
}
