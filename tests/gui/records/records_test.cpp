// The record windows: configuration report tabs, event-log lists, and the file information
// dialog's checks, clamps, channel stepping, cancel and save.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextCursor>
#include <QTextDocument>

#include "core/analysis/config_report.h"
#include "core/analysis/event_lists.h"
#include "core/datafile/config_record.h"
#include "gui/app/view_factory.h"
#include "gui/common/command_ids.h"
#include "gui/common/file_events.h"
#include "gui/history/hc_view.h"
#include "gui/records/config_report_dlg.h"
#include "gui/records/event_list_dlg.h"
#include "gui/records/file_info_dlg.h"
#include "support/gui_test_support.h"

namespace {

using guitest::Child;

QString Shown(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown.remove(QLatin1Char('\r'));
}

std::unique_ptr<kvr::CXFile> Sample(const kvrtest::TempDir& dir, int version = 1004) {
    kvr::SampleOptions options = kvrtest::SampleRecords(60);
    options.version = version;
    return kvrtest::OpenSampleFile(dir, options, "records" + std::to_string(version) + ".FDZ");
}

TEST(ConfigReportDlg, TabsByVersionAndTextRebuiltOnEveryChange) {
    kvrtest::TempDir dir;
    for (int version : {1002, 1004}) {
        auto file = Sample(dir, version);
        ASSERT_TRUE(file);
        CConfigReportDlg dialog(file.get());
        EXPECT_EQ(dialog.TabCount(), version == 1002 ? 8 : 9);
        EXPECT_EQ(dialog.TabTitle(0), QStringLiteral("流量组态"));
        const kvr::ConfigRecord record(*file);
        EXPECT_EQ(dialog.Text(), Shown(*kvr::ConfigReportText(record, 0)));
        dialog.SelectTab(3);
        EXPECT_EQ(dialog.Text(), Shown(*kvr::ConfigReportText(record, 3)));
    }
    // Nothing is cached: a changed record shows on the next tab change.
    auto file = Sample(dir);
    CConfigReportDlg dialog(file.get());
    dialog.SelectTab(3);
    file->Header().config[0x3F1] = 0;
    file->Header().config[0x3F2] = 1;
    dialog.SelectTab(0);
    dialog.SelectTab(3);
    EXPECT_EQ(dialog.Text(), QStringLiteral("冷量:关闭\n"));

    CConfigReportDlg empty(nullptr);
    EXPECT_EQ(empty.TabCount(), 0);
    EXPECT_EQ(empty.Text(), QString());
}

TEST(ConfigReportDlg, GasColumnsLineUpAndStayInsideTheWindow) {
    kvrtest::TempDir dir;
    auto file = Sample(dir, 1004);
    ASSERT_TRUE(file);
    CConfigReportDlg dialog(file.get());
    dialog.SelectTab(8);
    dialog.show();
    QApplication::processEvents();
    auto* edit = dialog.findChild<QPlainTextEdit*>();
    ASSERT_NE(edit, nullptr);
    // Where a gas name starts on screen.
    const auto left = [&](const QString& name) {
        QTextCursor cursor = edit->document()->find(name);
        EXPECT_FALSE(cursor.isNull()) << name.toStdString();
        cursor.setPosition(cursor.selectionStart());
        return edit->cursorRect(cursor).left();
    };
    const QStringList columns[] = {
        {QStringLiteral("空气Air"), QStringLiteral("氦气He"), QStringLiteral("一氧化碳C0"),
         QStringLiteral("氨气NH3"), QStringLiteral("丙烷C3H8"), QStringLiteral("乙炔C2H2")},
        {QStringLiteral("氮气N2"), QStringLiteral("氢气H2"), QStringLiteral("二氧化碳CO2"),
         QStringLiteral("甲烷CH4"), QStringLiteral("丁烷C4H10"), QStringLiteral("丙烯C3H6")},
        {QStringLiteral("氧气O2"), QStringLiteral("氩气Ar"), QStringLiteral("硫化氢H2S"),
         QStringLiteral("乙烷C2H6"), QStringLiteral("乙烯C2H4"), QStringLiteral("丁烯C4H8")}};
    int previous = -1;
    for (const QStringList& column : columns) {
        const int x = left(column[0]);
        EXPECT_GT(x, previous);
        for (const QString& name : column) EXPECT_EQ(left(name), x) << name.toStdString();
        previous = x;
    }
    // The widest line ends inside the visible text, without scrolling sideways.
    EXPECT_LE(edit->document()->idealWidth(), edit->viewport()->width());
    EXPECT_FALSE(edit->horizontalScrollBar()->isVisible());
}

TEST(EventListDlg, ColumnsRowsAndSummary) {
    kvrtest::TempDir dir;
    auto file = Sample(dir);
    ASSERT_TRUE(file);
    const kvr::ConfigRecord record(*file);
    const struct {
        kvr::EventList list;
        const char* title;
    } lists[] = {{kvr::EventList::kAlarm, "报警列表"},
                 {kvr::EventList::kPowerFailure, "停电记录"},
                 {kvr::EventList::kOperation, "操作日志"}};
    for (const auto& l : lists) {
        CEventListDlg dialog(l.list, file.get());
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(l.title));
        const kvr::EventTable expected = kvr::BuildEventTable(record, l.list);
        const QTableWidget* table = dialog.List();
        ASSERT_EQ(table->columnCount(), static_cast<int>(expected.columns.size()));
        ASSERT_EQ(table->rowCount(), static_cast<int>(expected.rows.size()));
        ASSERT_GT(table->rowCount(), 0);
        for (int c = 0; c < table->columnCount(); ++c) {
            const kvr::EventColumn& column = expected.columns[static_cast<std::size_t>(c)];
            EXPECT_EQ(table->horizontalHeaderItem(c)->text(), QString::fromStdString(column.title));
            EXPECT_EQ(table->columnWidth(c), column.width);
            const int horizontal = table->item(0, c)->textAlignment() & Qt::AlignHorizontal_Mask;
            EXPECT_EQ(horizontal, column.align == kvr::ColumnAlign::kLeft ? int(Qt::AlignLeft)
                                                                          : int(Qt::AlignHCenter));
            EXPECT_EQ(table->item(0, c)->text(),
                      QString::fromStdString(expected.rows[0][static_cast<std::size_t>(c)]));
        }
        EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("1"));
        EXPECT_EQ(dialog.Summary(), QString::fromStdString(expected.summary));
    }
    CEventListDlg none(kvr::EventList::kPowerFailure, nullptr);
    EXPECT_EQ(none.List()->rowCount(), 0);
    EXPECT_EQ(none.Summary(), QString());
}

class FileInfoDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = Sample(dir);
        ASSERT_TRUE(file);
    }
    void Type(CFileInfoDlg& dialog, const char* field, const QString& text) {
        Child<QLineEdit>(&dialog, field)->setText(text);
    }
    void Click(CFileInfoDlg& dialog, const char* button) {
        Child<QAbstractButton>(&dialog, button)->click();
    }

    kvrtest::TempDir dir;
    std::unique_ptr<kvr::CXFile> file;
    guitest::MessageRecorder messages;
};

TEST_F(FileInfoDlgTest, GridCountsAreClampedAndSaved) {
    int redraws = 0;
    const auto connection =
        QObject::connect(FileEvents::Instance(), &FileEvents::DisplaySettingsChanged,
                         [&](kvr::CXFile* changed) { redraws += changed == file.get(); });
    CFileInfoDlg dialog(file.get());
    Type(dialog, "gridVertical", QStringLiteral("0"));
    Type(dialog, "gridHorizontal", QStringLiteral("250"));
    Type(dialog, "name", QStringLiteral("主蒸汽"));
    Click(dialog, "ok");
    QObject::disconnect(connection);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(",").toStdString();
    EXPECT_EQ(redraws, 1);

    kvr::CXFile again;
    ASSERT_EQ(again.Open(file->GetFileName()), 1);
    EXPECT_EQ(again.Header().gridCount1, 1);
    EXPECT_EQ(again.Header().gridCount2, 100);
    EXPECT_EQ(again.GetChannelName(0), "主蒸汽");
}

TEST_F(FileInfoDlgTest, ModeSwitchResetsTheRangeAndRangesAreChecked) {
    CFileInfoDlg dialog(file.get());
    Type(dialog, "rangeLow", QStringLiteral("-20"));
    Type(dialog, "rangeHigh", QStringLiteral("300"));
    Click(dialog, "percent");
    EXPECT_EQ(Child<QLineEdit>(&dialog, "rangeLow")->text(), QStringLiteral("0"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "rangeHigh")->text(), QStringLiteral("100"));

    const kvr::FileHeader before = file->Header();
    const struct {
        const char *low, *high, *message;
    } refused[] = {{"-5", "50", "百分比模式显示范围：0 - 100"},
                   {"10", "10", "Y轴显示范围设置错误！"},
                   {"abc", "10", "请输入一个数字。"}};
    for (const auto& r : refused) {
        messages.Clear();
        Type(dialog, "rangeLow", QString::fromUtf8(r.low));
        Type(dialog, "rangeHigh", QString::fromUtf8(r.high));
        Click(dialog, "ok");
        ASSERT_EQ(messages.Texts(), QStringList{QString::fromUtf8(r.message)}) << r.low;
        EXPECT_EQ(messages.Shown()[0].icon, QMessageBox::Critical);
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(file->Header().yLow, before.yLow);
        EXPECT_EQ(file->Header().yMode, before.yMode);
    }
}

TEST_F(FileInfoDlgTest, StepsOverChannelsNotInUseAndHidesLimitsPastTheInputs) {
    file->Header().channels[1].showState = 2;
    file->Header().channels[2].showState = 2;
    CFileInfoDlg dialog(file.get());
    auto* box = Child<QGroupBox>(&dialog, "channelBox");
    EXPECT_EQ(box->title(), QStringLiteral("通道 1 信息"));
    const auto limitsShown = [&] {
        return !dialog.findChild<QLineEdit*>(QStringLiteral("limit"))->isHidden();
    };
    auto* name = Child<QLineEdit>(&dialog, "name");
    EXPECT_TRUE(limitsShown());
    EXPECT_FALSE(name->isReadOnly());
    Click(dialog, "next");
    EXPECT_EQ(dialog.CurrentChannel(), 3);
    EXPECT_EQ(box->title(), QStringLiteral("通道 4 信息"));
    EXPECT_FALSE(limitsShown());
    // The file cannot keep a name for channels 4 to 6: nothing typed there is taken.
    EXPECT_TRUE(name->isReadOnly());
    const std::string fixedName = file->GetChannelName(3);
    name->setText(QStringLiteral("改名"));
    Click(dialog, "previous");
    EXPECT_EQ(dialog.CurrentChannel(), 0);
    Click(dialog, "previous");
    EXPECT_EQ(dialog.CurrentChannel(), file->GetChannelCount() - 1);
    Click(dialog, "ok");
    EXPECT_EQ(file->GetChannelName(3), fixedName);
}

TEST_F(FileInfoDlgTest, TextsTheFileCannotKeepAreReadOnlyOrRefused) {
    CFileInfoDlg dialog(file.get());
    auto* name = Child<QLineEdit>(&dialog, "name");
    EXPECT_FALSE(Child<QComboBox>(&dialog, "unit")->isEnabled());
    EXPECT_FALSE(name->isReadOnly());
    for (int i = 0; i < 3; ++i) Click(dialog, "next");
    EXPECT_EQ(dialog.CurrentChannel(), 3);
    EXPECT_TRUE(name->isReadOnly());  // flow and heat are named by the instrument
    Click(dialog, "previous");
    EXPECT_FALSE(name->isReadOnly());

    const std::string before = kvrtest::ReadWholeFile(file->GetFileName());
    const struct {
        const char *field, *text, *message;
    } refused[] = {{"name", "主蒸汽压力主蒸汽压", "位号最多 15 字节！"},  // 9 characters, 18 bytes
                   {"alias", "锅炉房锅炉房锅炉房锅炉房锅炉房", "设备别名最多 28 字节！"}};
    for (const auto& r : refused) {
        const QString kept = Child<QLineEdit>(&dialog, r.field)->text();
        messages.Clear();
        Type(dialog, r.field, QString::fromUtf8(r.text));
        Click(dialog, "ok");
        EXPECT_EQ(messages.Texts(), QStringList{QString::fromUtf8(r.message)});
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        Type(dialog, r.field, kept);
    }
    EXPECT_EQ(kvrtest::ReadWholeFile(file->GetFileName()), before);
}

TEST_F(FileInfoDlgTest, CancelLeavesFileAndHeaderUntouched) {
    const std::string before = kvrtest::ReadWholeFile(file->GetFileName());
    const std::string name0 = file->GetChannelName(0), name1 = file->GetChannelName(1);
    {
        CFileInfoDlg dialog(file.get());
        Type(dialog, "name", QStringLiteral("改名一"));
        Child<QCheckBox>(&dialog, "channelShown")->setChecked(false);
        Click(dialog, "next");
        Type(dialog, "name", QStringLiteral("改名二"));
        Type(dialog, "alias", QStringLiteral("别名"));
        Click(dialog, "cancel");
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(file->GetChannelName(0), name0);
    EXPECT_EQ(file->GetChannelName(1), name1);
    EXPECT_EQ(file->Header().channels[0].showState, 1);
    EXPECT_EQ(kvrtest::ReadWholeFile(file->GetFileName()), before);
}

TEST_F(FileInfoDlgTest, AFileThatCannotBeWrittenSaysSoAndKeepsItsHeader) {
    CFileInfoDlg dialog(file.get());
    Type(dialog, "alias", QStringLiteral("别名"));
    const std::string alias = file->GetDeviceName();
    file->Close();
    Click(dialog, "ok");
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("保存文件信息失败！")});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(file->GetDeviceName(), alias);
}

TEST(RecordCommands, HistoryViewOpensTheRecordWindowsWithAFile) {
    RegisterChildFactories();
    kvrtest::TempDir dir;
    CHCView view;
    for (int id : {cmd::kConfigurationInfo, cmd::kAlarmList, cmd::kPowerFailureList,
                   cmd::kOperationLog, cmd::kFileInfo})
        EXPECT_FALSE(view.IsCommandEnabled(id)) << id;
    view.SetFile(Sample(dir).release());
    for (int id : {cmd::kConfigurationInfo, cmd::kAlarmList, cmd::kPowerFailureList,
                   cmd::kOperationLog, cmd::kFileInfo}) {
        EXPECT_TRUE(view.HandlesCommand(id)) << id;
        EXPECT_TRUE(view.IsCommandEnabled(id)) << id;
    }
    QString title;
    guitest::WhenModal([&](QWidget* modal) {
        title = modal->windowTitle();
        modal->close();
    });
    view.ExecuteCommand(cmd::kAlarmList);
    EXPECT_EQ(title, QStringLiteral("报警列表"));
}

}  // namespace
