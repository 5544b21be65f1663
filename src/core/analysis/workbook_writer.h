#pragma once
// Writes tables of text into an .xlsx workbook, one sheet per table, streaming rows so a
// large export needs constant memory.
//
// Calling order: Open, then for each sheet CreateTable followed by the rows, then Close. A
// row is either InsertRow with the texts of its cells, or WriteNumber/WriteText per cell
// followed by EndRow. Every call answers 1 on success and 0 on failure; after a failure the
// workbook is abandoned and Close answers 0. Nothing appears at the target path until Close has
// written the whole workbook: it is built in a temporary file beside the target and renamed over
// it, so a failed or abandoned export leaves an existing file of that name untouched.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/analysis/column_type.h"
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
    // Text columns hold strings; number columns numbers; date columns dates ("YYYY-MM-DD",
    // shown so) and numbers. A cell that is none of its column's kinds is stored as text.
    int CreateTable(const std::string& tableName, const std::vector<std::string>& columnNames,
                    const std::vector<ColumnType>& columnTypes);
    // One value per column. An empty value leaves its cell blank. A value of a numeric
    // column is stored as a number shown with as many decimals as the text carries (in
    // scientific notation when it has an exponent, "1.5E-03"); a text that is no number
    // ("----") is stored as it is.
    int InsertRow(const std::vector<std::string>& values);
    // A numeric cell of the current row shown with the decimals given, in scientific
    // notation ("1.5E-03") when asked; a text cell. EndRow moves on to the next row.
    int WriteNumber(int column, double value, int decimals, bool scientific = false);
    int WriteText(int column, const char* text);
    int EndRow();
    int Close();
    // Abandons the workbook being written; the target is left as it was.
    void Discard();

    bool IsOpen() const { return workbook_ != nullptr; }

private:
    void WriteCell(int column, const std::string& value);
    bool CellFits(int column);
    lxw_format* NumberFormat(int decimals, bool scientific);
    lxw_format* DateFormat();
    void Reset();

    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    std::unique_ptr<TempTarget> temp_;
    std::string tempFolder_;  // libxlsxwriter keeps the pointer
    std::vector<ColumnType> columnTypes_;
    std::map<int, lxw_format*> numberFormats_;  // by decimals; scientific ones by -1 - decimals
    lxw_format* dateFormat_ = nullptr;
    unsigned row_ = 0;
    bool failed_ = false;
};

}  // namespace kvr
