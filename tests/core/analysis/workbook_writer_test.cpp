#include "core/analysis/workbook_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "support/test_support.h"
#include "support/xlsx_reader.h"

namespace kvr {
namespace {

namespace fs = std::filesystem;

constexpr kvr::ColumnType kText = kvr::ColumnType::kText;
constexpr kvr::ColumnType kNumber = kvr::ColumnType::kNumber;
constexpr kvr::ColumnType kDate = kvr::ColumnType::kDate;

size_t FileCount(const std::string& folder) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(WorkbookWriter, WritesEachTableAsSheetWithTypedCells) {
    kvrtest::TempDir dir;
    const std::string path = dir.file("out.xlsx");
    CXWorkbookWriter writer;
    ASSERT_EQ(writer.Open(path), 1);
    ASSERT_EQ(
        writer.CreateTable("sheet1", {"日期", "[8点-16点]", "Count"}, {kText, kText, kNumber}), 1);
    ASSERT_EQ(writer.InsertRow({"2008-01-02", "12.50", "12.50"}), 1);
    ASSERT_EQ(writer.InsertRow({"it's <&>", "", "----"}), 1);
    ASSERT_EQ(writer.InsertRow({"x", "y", "-3"}), 1);
    ASSERT_EQ(writer.CreateTable("second", {"one", "day"}, {kNumber, kDate}), 1);
    ASSERT_EQ(writer.InsertRow({"0.125", "2008-01-02"}), 1);
    ASSERT_EQ(writer.InsertRow({"1.5E-03", "合计"}), 1);
    ASSERT_EQ(writer.InsertRow({"inf", "31"}), 1);
    ASSERT_EQ(writer.Close(), 1);
    EXPECT_FALSE(writer.IsOpen());

    const auto book = kvrtest::ReadXlsx(path);
    ASSERT_TRUE(book);
    ASSERT_EQ(book->sheets.size(), 2u);
    const auto& first = book->sheets[0];
    EXPECT_EQ(first.name, "sheet1");
    EXPECT_EQ(first.Text(0, 0), "日期");
    EXPECT_EQ(first.Text(0, 1), "8点-16点");  // bracketed names show bare
    EXPECT_EQ(first.Text(0, 2), "Count");

    // A text column keeps the digits as a string; a numeric one stores the number with its
    // decimals as the display format.
    EXPECT_FALSE(first.Cell(1, 1)->isNumber);
    EXPECT_EQ(first.Text(1, 1), "12.50");
    ASSERT_TRUE(first.Cell(1, 2)->isNumber);
    EXPECT_DOUBLE_EQ(std::stod(first.Text(1, 2)), 12.5);
    EXPECT_EQ(first.Cell(1, 2)->numberFormat, "0.00");

    EXPECT_EQ(first.Text(2, 0), "it's <&>");   // no quoting limits any more
    EXPECT_EQ(first.Text(2, 1), "");           // empty value, blank cell
    EXPECT_FALSE(first.Cell(2, 2)->isNumber);  // not a number: kept as text
    EXPECT_EQ(first.Text(2, 2), "----");
    EXPECT_EQ(first.Cell(3, 2)->numberFormat, "0");

    const auto& second = book->sheets[1];
    EXPECT_EQ(second.name, "second");
    EXPECT_EQ(second.Text(0, 0), "one");
    EXPECT_EQ(second.Cell(1, 0)->numberFormat, "0.000");
    // Scientific notation stays a number in scientific notation; "inf" is no number.
    ASSERT_TRUE(second.Cell(2, 0)->isNumber);
    EXPECT_DOUBLE_EQ(std::stod(second.Text(2, 0)), 0.0015);
    EXPECT_EQ(second.Cell(2, 0)->numberFormat, "0.0E+00");
    EXPECT_FALSE(second.Cell(3, 0)->isNumber);
    // A date column: dates as dates, numbers as numbers, anything else as text.
    ASSERT_TRUE(second.Cell(1, 1)->isNumber);
    EXPECT_EQ(second.Cell(1, 1)->numberFormat, "yyyy-mm-dd");
    EXPECT_EQ(second.Shown(1, 1), "2008-01-02");
    EXPECT_FALSE(second.Cell(2, 1)->isNumber);
    EXPECT_EQ(second.Text(2, 1), "合计");
    EXPECT_TRUE(second.Cell(3, 1)->isNumber);
    EXPECT_EQ(second.Shown(3, 1), "31");
    // Only the workbook is left behind: no temporary files.
    EXPECT_EQ(FileCount(dir.path()), 1u);
}

TEST(WorkbookWriter, RefusesMisuseAndLeavesNoFile) {
    kvrtest::TempDir dir;
    CXWorkbookWriter writer;
    EXPECT_EQ(writer.Open(dir.file("missing/out.xlsx")), 0);
    EXPECT_EQ(writer.Open(""), 0);

    struct Case {
        const char* what;
        void (*steps)(CXWorkbookWriter&);
    };
    const Case cases[] = {
        {"row before table", [](CXWorkbookWriter& w) { w.InsertRow({"a"}); }},
        {"row too short",
         [](CXWorkbookWriter& w) {
             w.CreateTable("t", {"a", "b"}, {kText, kText});
             w.InsertRow({"a"});
         }},
        {"names and types differ",
         [](CXWorkbookWriter& w) {
             w.CreateTable("t", {"a", "b"}, {kText});
         }},
        {"same sheet twice",
         [](CXWorkbookWriter& w) {
             w.CreateTable("t", {"a"}, {kText});
             w.CreateTable("t", {"a"}, {kText});
         }},
        {"no table at all", [](CXWorkbookWriter&) {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file("out.xlsx");
        ASSERT_EQ(writer.Open(path), 1);
        c.steps(writer);
        EXPECT_EQ(writer.Close(), 0);
        EXPECT_FALSE(fs::exists(path));
        EXPECT_EQ(FileCount(dir.path()), 0u);
    }
}

TEST(WorkbookWriter, AbandonedWorkbookKeepsExistingFile) {
    kvrtest::TempDir dir;
    const std::string path = dir.file("out.xlsx");
    std::ofstream(path) << "previous";
    {
        CXWorkbookWriter writer;
        ASSERT_EQ(writer.Open(path), 1);
        ASSERT_EQ(writer.CreateTable("sheet1", {"a"}, {kText}), 1);
        ASSERT_EQ(writer.InsertRow({"b"}), 1);
    }  // destroyed without Close
    EXPECT_EQ(kvrtest::ReadWholeFile(path), "previous");
    EXPECT_EQ(FileCount(dir.path()), 1u);
}

// A write error while the workbook is produced (here: a file-size limit, as a full disk
// would) must leave no file and answer failure.
TEST(WorkbookWriter, FailureMidWriteLeavesNoFile) {
    kvrtest::TempDir dir;
    const std::string path = dir.file("out.xlsx");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        CXWorkbookWriter writer;
        if (writer.Open(path) != 1) _exit(2);
        if (writer.CreateTable("sheet1", {"a", "b"}, {kText, kNumber}) != 1) _exit(3);
        for (int row = 0; row < 20000; ++row)
            writer.InsertRow({"row " + std::to_string(row), std::to_string(row) + ".25"});
        _exit(writer.Close() == 0 ? 0 : 4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(FileCount(dir.path()), 0u);
}

}  // namespace
}  // namespace kvr
