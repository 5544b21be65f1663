#include "core/analysis/workbook_writer.h"

#include <xlsxwriter.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace kvr {
namespace {

std::string BareName(const std::string& name) {
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']')
        return name.substr(1, name.size() - 2);
    return name;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Parses the whole text as a decimal number, plain ("12.50") or with an exponent
// ("1.5E-03"); answers the count of digits after the point and whether an exponent follows.
bool ParseNumber(const std::string& text, double* value, int* decimals, bool* scientific) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front()))) return false;
    if (text.find_first_of("xXnNiI") != std::string::npos) return false;  // hex, nan, inf
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return false;
    const auto exponent = text.find_first_of("eE");
    *scientific = exponent != std::string::npos;
    const auto mantissaEnd = *scientific ? exponent : text.size();
    const auto point = text.find('.');
    *decimals = point == std::string::npos || point > mantissaEnd
                    ? 0
                    : static_cast<int>(mantissaEnd - point - 1);
    return true;
}

// A calendar date written "YYYY-MM-DD", nothing before or after it.
bool ParseDate(const std::string& text, lxw_datetime* date) {
    int year = 0, month = 0, day = 0, used = 0;
    if (text.size() != 10 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) != 3 || used != 10)
        return false;
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    *date = lxw_datetime{year, month, day, 0, 0, 0.0};
    return true;
}

// Rows are streamed to a temporary file whose write errors the library does not report;
// a full disk must fail the workbook instead of silently dropping rows.
bool RowsWritten(lxw_worksheet* sheet) {
    FILE* rows = sheet->optimize_tmpfile;
    return rows == nullptr || (std::fflush(rows) == 0 && !std::ferror(rows));
}

}  // namespace

CXWorkbookWriter::~CXWorkbookWriter() { Discard(); }

int CXWorkbookWriter::Open(const std::string& path) {
    Discard();
    if (path.empty()) return 0;
    // The temporary file proves the folder is writable before anything else is done, and
    // shares the target's file system so the final rename cannot fail halfway.
    temp_ = std::make_unique<TempTarget>(path);
    const int fd = temp_->Create();
    if (fd < 0) {
        temp_.reset();
        return 0;
    }
    close(fd);

    tempFolder_ = FolderOf(path);
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    // Row data goes beside the target too, where a full disk shows up, not in /tmp.
    options.tmpdir = tempFolder_.data();
    workbook_ = workbook_new_opt(temp_->path().c_str(), &options);
    if (!workbook_) {
        temp_.reset();
        return 0;
    }
    return 1;
}

int CXWorkbookWriter::CreateTable(const std::string& tableName,
                                  const std::vector<std::string>& columnNames,
                                  const std::vector<ColumnType>& columnTypes) {
    if (!workbook_ || failed_ || columnNames.empty() || columnNames.size() != columnTypes.size()) {
        failed_ = true;
        return 0;
    }
    if (sheet_ && !RowsWritten(sheet_)) {
        failed_ = true;
        return 0;
    }
    sheet_ = workbook_add_worksheet(workbook_, tableName.c_str());
    if (!sheet_) {
        failed_ = true;
        return 0;
    }
    columnTypes_ = columnTypes;
    row_ = 0;
    for (size_t column = 0; column < columnNames.size(); ++column) {
        const std::string name = BareName(columnNames[column]);
        if (!name.empty() && worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(column),
                                                    name.c_str(), nullptr) != LXW_NO_ERROR)
            failed_ = true;
    }
    row_ = 1;
    return failed_ ? 0 : 1;
}

int CXWorkbookWriter::InsertRow(const std::vector<std::string>& values) {
    if (!sheet_ || failed_ || values.size() != columnTypes_.size()) {
        failed_ = true;
        return 0;
    }
    for (size_t column = 0; column < values.size(); ++column)
        WriteCell(static_cast<int>(column), values[column]);
    return EndRow();
}

void CXWorkbookWriter::WriteCell(int column, const std::string& value) {
    if (value.empty()) return;
    lxw_error result;
    double number = 0;
    int decimals = 0;
    bool scientific = false;
    lxw_datetime date{};
    if (columnTypes_[column] == ColumnType::kDate && ParseDate(value, &date)) {
        result = worksheet_write_datetime(sheet_, row_, static_cast<lxw_col_t>(column), &date,
                                          DateFormat());
    } else if (columnTypes_[column] != ColumnType::kText &&
               ParseNumber(value, &number, &decimals, &scientific)) {
        result = worksheet_write_number(sheet_, row_, static_cast<lxw_col_t>(column), number,
                                        NumberFormat(decimals, scientific));
    } else {
        result = worksheet_write_string(sheet_, row_, static_cast<lxw_col_t>(column), value.c_str(),
                                        nullptr);
    }
    if (result != LXW_NO_ERROR) failed_ = true;
}

bool CXWorkbookWriter::CellFits(int column) {
    if (!sheet_ || failed_ || column < 0 || static_cast<std::size_t>(column) >= columnTypes_.size())
        failed_ = true;
    return !failed_;
}

int CXWorkbookWriter::WriteNumber(int column, double value, int decimals, bool scientific) {
    if (!CellFits(column)) return 0;
    if (worksheet_write_number(sheet_, row_, static_cast<lxw_col_t>(column), value,
                               NumberFormat(decimals, scientific)) != LXW_NO_ERROR)
        failed_ = true;
    return failed_ ? 0 : 1;
}

int CXWorkbookWriter::WriteText(int column, const char* text) {
    if (!CellFits(column)) return 0;
    if (worksheet_write_string(sheet_, row_, static_cast<lxw_col_t>(column), text, nullptr) !=
        LXW_NO_ERROR)
        failed_ = true;
    return failed_ ? 0 : 1;
}

int CXWorkbookWriter::EndRow() {
    if (!sheet_ || failed_) return 0;
    if (sheet_->optimize_tmpfile && std::ferror(sheet_->optimize_tmpfile)) failed_ = true;
    ++row_;
    return failed_ ? 0 : 1;
}

lxw_format* CXWorkbookWriter::NumberFormat(int decimals, bool scientific) {
    decimals = std::min(decimals, 15);  // beyond a double's precision
    const int key = scientific ? -1 - decimals : decimals;
    auto found = numberFormats_.find(key);
    if (found != numberFormats_.end()) return found->second;
    std::string code = "0";
    if (decimals > 0) code += "." + std::string(static_cast<size_t>(decimals), '0');
    if (scientific) code += "E+00";
    lxw_format* format = workbook_add_format(workbook_);
    format_set_num_format(format, code.c_str());
    numberFormats_[key] = format;
    return format;
}

lxw_format* CXWorkbookWriter::DateFormat() {
    if (!dateFormat_) {
        dateFormat_ = workbook_add_format(workbook_);
        format_set_num_format(dateFormat_, "yyyy-mm-dd");
    }
    return dateFormat_;
}

int CXWorkbookWriter::Close() {
    if (!workbook_) return 0;
    if (failed_ || !sheet_ || !RowsWritten(sheet_)) {
        Discard();
        return 0;
    }
    const lxw_error written = workbook_close(workbook_);
    workbook_ = nullptr;
    const bool ok = written == LXW_NO_ERROR && temp_->Commit();
    Reset();
    return ok ? 1 : 0;
}

void CXWorkbookWriter::Discard() {
    if (workbook_) {
        lxw_workbook_free(workbook_);
    }
    Reset();
}

void CXWorkbookWriter::Reset() {
    workbook_ = nullptr;
    sheet_ = nullptr;
    temp_.reset();  // removes an uncommitted temporary file
    columnTypes_.clear();
    numberFormats_.clear();
    dateFormat_ = nullptr;
    row_ = 0;
    failed_ = false;
}

}  // namespace kvr
