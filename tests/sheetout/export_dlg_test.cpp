// The export dialog as a user drives it, in both languages.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDateEdit>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <cstdio>
#include <filesystem>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "sheetout/cxexcel.h"
#include "sheetout/export_dlg.h"
#include "support/test_support.h"
#include "support/xlsx_reader.h"

namespace {

using kvr::Language;

const kvr::Time kStart = kvr::MakeTime({2026, 5, 4, 0, 0, 0});

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_sheetout";
    static char* argv[] = {name, nullptr};
    // Never deleted: at exit it would outlive parts of Qt it needs.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Answers every message box the dialog shows and remembers its caption and text.
class MessageCatcher {
public:
    MessageCatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown_.push_back(box->windowTitle() + QStringLiteral("|") + box->text());
                box->accept();
            }
        });
        timer_.start(5);
    }
    const QStringList& Shown() const { return shown_; }

private:
    QTimer timer_;
    QStringList shown_;
};

class ExportDlg : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        Make(100, 10);
    }
    void Make(int records, int interval) {
        file.Close();
        kvr::SampleOptions options;
        options.records = records;
        options.interval = interval;
        options.start = kStart;
        options.tags = 0;
        ASSERT_TRUE(kvr::WriteSampleFile(dir.file("data.FDZ"), options));
        ASSERT_EQ(file.Open(dir.file("data.FDZ")), 1);
    }
    // Long enough that an export is still running when the test stops it.
    void ReopenLong() { Make(1000000, 1); }
    std::unique_ptr<CXExportDlg> Dialog(Language language, const std::string& target) {
        auto dialog = std::make_unique<CXExportDlg>(language);
        dialog->Bind(&file);
        dialog->SetTargetChooser([target] { return QString::fromStdString(target); });
        return dialog;
    }
    template <typename T>
    static T* Child(QWidget& parent, const char* name) {
        T* child = parent.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static void SetTime(QWidget& dialog, const char* prefix, kvr::Time t) {
        const kvr::CalendarFields f = kvr::SplitTime(t);
        Child<QDateEdit>(dialog, (std::string(prefix) + "Date").c_str())
            ->setDate(QDate(f.year, f.month, f.day));
        Child<QTimeEdit>(dialog, (std::string(prefix) + "Time").c_str())
            ->setTime(QTime(f.hour, f.minute, f.second));
    }
    static void WaitIdle(CXExportDlg& dialog) {
        // The worker ends first; its last report arrives through the event loop after.
        for (int i = 0; i < 2000 && dialog.IsExporting(); ++i) QTest::qWait(5);
        QTest::qWait(100);
    }
    bool DirHoldsOnlyData() const {
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (entry.path().filename() != "data.FDZ") return false;
        }
        return true;
    }

    kvrtest::TempDir dir;
    kvr::CXFile file;
};

TEST_F(ExportDlg, RefusedInputShowsTheVariantsMessageAndWritesNothing) {
    const std::string out = dir.file("out.xlsx");
    const struct {
        kvr::Time start, end;
        const char* interval;
        const char* chinese;
        const char* english;
    } cases[] = {
        {kStart + 50, kStart + 40, "1", "提示...|请确认 开始时间 < 结束时间！",
         "Caption...|Be sure start time less than end time !"},
        {kStart - 10, kStart + 40, "1", "提示...|开始时间超出范围！",
         "Caption...|Out of Start Time"},
        {kStart, kStart + 1000, "1", "提示...|结束时间超出范围！", "Caption...|Out of End Time!"},
        {kStart, kStart + 40, "0", "提示...|间隔必须是不小于 1 的整数！",
         "Caption...|The interval must be a whole number not less than 1!"},
        {kStart, kStart + 40, "2.5", "提示...|间隔必须是不小于 1 的整数！",
         "Caption...|The interval must be a whole number not less than 1!"},
        {kStart, kStart + 40, "101", "提示...|间隔不能大于文件的记录数！",
         "Caption...|The interval must not be larger than the file's record count!"},
    };
    for (const Language language : {Language::kChinese, Language::kEnglish}) {
        auto dialog = Dialog(language, out);
        MessageCatcher catcher;
        for (const auto& c : cases) {
            SetTime(*dialog, "start", c.start);
            SetTime(*dialog, "end", c.end);
            Child<QLineEdit>(*dialog, "interval")->setText(QString::fromLatin1(c.interval));
            QTest::mouseClick(Child<QPushButton>(*dialog, "exportButton"), Qt::LeftButton);
        }
        QStringList expected;
        for (const auto& c : cases) {
            expected << QString::fromUtf8(language == Language::kChinese ? c.chinese : c.english);
        }
        EXPECT_EQ(catcher.Shown(), expected);
        EXPECT_TRUE(DirHoldsOnlyData());
    }

    // The data file itself is refused as the target.
    const std::string data = kvrtest::ReadWholeFile(dir.file("data.FDZ"));
    auto dialog = Dialog(Language::kChinese, dir.file("data.FDZ"));
    MessageCatcher catcher;
    QTest::mouseClick(Child<QPushButton>(*dialog, "exportButton"), Qt::LeftButton);
    WaitIdle(*dialog);
    EXPECT_EQ(catcher.Shown(), QStringList{"提示...|不能导出到数据文件本身，请另选文件名！"});
    EXPECT_EQ(kvrtest::ReadWholeFile(dir.file("data.FDZ")), data);
    EXPECT_TRUE(DirHoldsOnlyData());
}

TEST_F(ExportDlg, ResetButtonsWorkInBothVariants) {
    for (const Language language : {Language::kChinese, Language::kEnglish}) {
        auto dialog = Dialog(language, dir.file("unused.xlsx"));
        dialog->SetRange(kStart + 300, kStart + 400);
        EXPECT_EQ(Child<QTimeEdit>(*dialog, "startTime")->time(), QTime(0, 5, 0));
        QTest::mouseClick(Child<QPushButton>(*dialog, "resetStart"), Qt::LeftButton);
        EXPECT_EQ(Child<QTimeEdit>(*dialog, "startTime")->time(), QTime(0, 0, 0));
        QTest::mouseClick(Child<QPushButton>(*dialog, "resetEnd"), Qt::LeftButton);
        EXPECT_EQ(Child<QTimeEdit>(*dialog, "endTime")->time(), QTime(0, 16, 30));
        EXPECT_EQ(Child<QPushButton>(*dialog, "resetStart")->text(), "|<-");
        EXPECT_EQ(Child<QPushButton>(*dialog, "resetEnd")->text(), "->|");
    }
    auto english = Dialog(Language::kEnglish, "");
    EXPECT_EQ(english->windowTitle(), "Excel Export");
    EXPECT_EQ(Child<QLabel>(*english, "rangeText")->text(),
              QString::fromUtf8("Time Range：2026-05-04 00:00:00\n          2026-05-04 00:16:30"));
}

TEST_F(ExportDlg, ExportWritesTheChosenRowsAndSaysSoWhenDone) {
    const std::string out = dir.file("out.xlsx");
    auto dialog = Dialog(Language::kEnglish, out);
    dialog->SetRange(kStart + 100, kStart + 200);
    Child<QLineEdit>(*dialog, "interval")->setText(QStringLiteral("5"));
    MessageCatcher catcher;
    QTest::mouseClick(Child<QPushButton>(*dialog, "exportButton"), Qt::LeftButton);
    WaitIdle(*dialog);
    EXPECT_EQ(catcher.Shown(), QStringList{QStringLiteral("Caption...|OK!")});
    EXPECT_TRUE(Child<QPushButton>(*dialog, "exportButton")->isEnabled());
    EXPECT_EQ(Child<QProgressBar>(*dialog, "progress")->value(), 3);
    const auto book = kvrtest::ReadXlsx(out);
    ASSERT_TRUE(book);
    const auto& sheets = book->sheets;
    ASSERT_EQ(sheets.size(), 1u);
    ASSERT_EQ(sheets[0].rows.size(), 4u);
    EXPECT_EQ(sheets[0].rows[0][0].text, "No");
    EXPECT_EQ(sheets[0].rows[3][1].text, "2026-05-04 00:03:20");
}

TEST_F(ExportDlg, ClosingWhileExportingStopsAndDeletesThePartialFile) {
    ReopenLong();
    for (const char* name : {"big.xlsx", "big.csv"}) {
        auto dialog = Dialog(Language::kChinese, dir.file(name));
        MessageCatcher catcher;
        QTest::mouseClick(Child<QPushButton>(*dialog, "exportButton"), Qt::LeftButton);
        ASSERT_TRUE(dialog->IsExporting());
        EXPECT_FALSE(Child<QPushButton>(*dialog, "exportButton")->isEnabled());
        QTest::qWait(100);
        dialog->reject();
        EXPECT_FALSE(dialog->IsExporting());
        WaitIdle(*dialog);
        EXPECT_TRUE(catcher.Shown().isEmpty());
        EXPECT_TRUE(DirHoldsOnlyData()) << name;
    }
}

TEST_F(ExportDlg, CancelButtonStopsTheExportAndKeepsTheDialog) {
    ReopenLong();
    auto dialog = Dialog(Language::kChinese, dir.file("big.xlsx"));
    MessageCatcher catcher;
    QTest::mouseClick(Child<QPushButton>(*dialog, "exportButton"), Qt::LeftButton);
    QTest::qWait(100);
    QTest::mouseClick(Child<QPushButton>(*dialog, "cancelButton"), Qt::LeftButton);
    WaitIdle(*dialog);
    EXPECT_FALSE(dialog->IsExporting());
    EXPECT_TRUE(Child<QPushButton>(*dialog, "exportButton")->isEnabled());
    EXPECT_EQ(Child<QProgressBar>(*dialog, "progress")->value(), 0);
    EXPECT_TRUE(catcher.Shown().isEmpty());
    EXPECT_TRUE(DirHoldsOnlyData());
}

TEST_F(ExportDlg, SaveDialogStartsInTheCallersLastFolder) {
    // The caller's settings live in a folder of their own (not beside the executable), and
    // the last file used lies in another one.
    const std::string settings = dir.file("settings");
    const std::string exports = dir.file("exports");
    std::filesystem::create_directories(settings);
    std::filesystem::create_directories(exports);
    {
        std::FILE* ini = std::fopen((settings + "/Config.ini").c_str(), "w");
        ASSERT_NE(ini, nullptr);
        std::fprintf(ini, "[FileSetting]\nLastDir=%s/day.FDZ\n", exports.c_str());
        std::fclose(ini);
    }
    CXExcel::SetSettingsFolder(settings.c_str());
    QString startFolder;
    bool exportPressed = false;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
            startFolder = chooser->directory().absolutePath();
            chooser->reject();
        } else if (modal && modal->inherits("CXExportDlg")) {
            // The library's own copy of the class: matched by name.
            if (!exportPressed) {
                exportPressed = true;
                // Clicked from its own event: the save dialog's loop must not run inside
                // this timer's handler, which would keep the timer from firing again.
                QTimer::singleShot(0, Child<QPushButton>(*modal, "exportButton"),
                                   &QPushButton::click);
            } else {
                modal->close();
            }
        }
    });
    driver.start(5);
    CXExcel excel;
    excel.SetFile(&file);
    excel.ShowXWnd(0);
    CXExcel::SetSettingsFolder(nullptr);
    EXPECT_EQ(startFolder, QString::fromStdString(exports));
}

TEST(CXExcel, UnknownLanguageShowsNothing) {
    App();
    CXExcel excel;
    excel.SetFile(nullptr);
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            sawDialog = true;
            modal->close();
        }
    });
    excel.ShowXWnd(2);
    QTest::qWait(20);
    EXPECT_FALSE(sawDialog);
}

}  // namespace
