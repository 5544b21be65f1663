#pragma once
// Writes tables of text into an .xlsx workbook, one sheet per table, streaming rows so a
// large export needs constant memory.
//
// Calling order: Open, then for each sheet CreateTable followed by InsertRow per row, then
// Close. Every call answers 1 on success and 0 on failure; after a failure the workbook is
// abandoned and Close answers 0. Nothing appears at the target path until Close has written
// the whole workbook: it is built in a temporary file beside the target and renamed over it,
// so a failed or abandoned export leaves an existing file of that name untouched.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/analysis/temp_target.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace kvr {

class CXWorkbookWriter {
public:
    CXWorkbookWriter() = default;
    ~CXWorkbookWriter();  // an unfinished workbook is discarded
    CXWorkbookWriter(const CXWorkbookWriter&) = delete;
    CXWorkbookWriter& operator=(const CXWorkbookWriter&) = delete;

    int Open(const std::string& path);
    // Column names may be given bracketed ("[8点-16点]"); the header cell shows the bare name.
    // A column of type "TEXT" (any case) holds strings; any other type holds numbers, and
    // one of type "DATE" holds dates too ("YYYY-MM-DD", shown so).
    int CreateTable(const std::string& tableName, const std::vector<std::string>& columnNames,
                    const std::vector<std::string>& columnTypes);
    // One value per column. An empty value leaves its cell blank. A value of a numeric
    // column is stored as a number shown with as many decimals as the text carries (in
    // scientific notation when it has an exponent, "1.5E-03"); a text that is no number
    // ("----") is stored as it is.
    int InsertRow(const std::vector<std::string>& values);
    int Close();
    // Abandons the workbook being written; the target is left as it was.
    void Discard();

    bool IsOpen() const { return workbook_ != nullptr; }

private:
    void WriteCell(int column, const std::string& value);
    lxw_format* NumberFormat(int decimals, bool scientific);
    lxw_format* DateFormat();
    void Reset();

    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    std::unique_ptr<TempTarget> temp_;
    std::string tempFolder_;                    // libxlsxwriter keeps the pointer
    std::vector<std::string> columnTypes_;      // upper-cased
    std::map<int, lxw_format*> numberFormats_;  // by decimals; scientific ones by -1 - decimals
    lxw_format* dateFormat_ = nullptr;
    unsigned row_ = 0;
    bool failed_ = false;
};

}  // namespace kvr
