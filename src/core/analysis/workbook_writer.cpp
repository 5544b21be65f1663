#include "core/analysis/workbook_writer.h"

#include <xlsxwriter.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace kvr {
namespace {

std::string UpperCased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

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

std::string FileNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Parses the whole text as a decimal number; answers the count of digits after the point.
bool ParseNumber(const std::string& text, double* value, int* decimals) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front()))) return false;
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return false;
    if (text.find_first_of("eExXnN") != std::string::npos) return false;  // hex, exponent, nan, inf
    const auto point = text.find('.');
    *decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
    return true;
}

}  // namespace

CXWorkbookWriter::~CXWorkbookWriter() { Discard(); }

int CXWorkbookWriter::Open(const std::string& path) {
    Discard();
    if (path.empty()) return 0;
    // The temporary file proves the folder is writable before anything else is done, and
    // shares the target's file system so the final rename cannot fail halfway.
    std::string pattern = FolderOf(path) + "/." + FileNameOf(path) + ".XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return 0;
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);

    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    workbook_ = workbook_new_opt(pattern.c_str(), &options);
    if (!workbook_) {
        unlink(pattern.c_str());
        return 0;
    }
    targetPath_ = path;
    tempPath_ = pattern;
    return 1;
}

int CXWorkbookWriter::CreateTable(const std::string& tableName,
                                  const std::vector<std::string>& columnNames,
                                  const std::vector<std::string>& columnTypes) {
    if (!workbook_ || failed_ || columnNames.empty() || columnNames.size() != columnTypes.size()) {
        failed_ = true;
        return 0;
    }
    sheet_ = workbook_add_worksheet(workbook_, tableName.c_str());
    if (!sheet_) {
        failed_ = true;
        return 0;
    }
    columnTypes_.clear();
    for (const auto& type : columnTypes) columnTypes_.push_back(UpperCased(type));
    row_ = 0;
    for (size_t column = 0; column < columnNames.size(); ++column) {
        const std::string name = BareName(columnNames[column]);
        if (!name.empty() &&
            worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(column), name.c_str(),
                                   nullptr) != LXW_NO_ERROR)
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
    ++row_;
    return failed_ ? 0 : 1;
}

void CXWorkbookWriter::WriteCell(int column, const std::string& value) {
    if (value.empty()) return;
    lxw_error result;
    double number = 0;
    int decimals = 0;
    if (columnTypes_[column] != "TEXT" && ParseNumber(value, &number, &decimals)) {
        result = worksheet_write_number(sheet_, row_, static_cast<lxw_col_t>(column), number,
                                        DecimalsFormat(decimals));
    } else {
        result = worksheet_write_string(sheet_, row_, static_cast<lxw_col_t>(column),
                                        value.c_str(), nullptr);
    }
    if (result != LXW_NO_ERROR) failed_ = true;
}

lxw_format* CXWorkbookWriter::DecimalsFormat(int decimals) {
    decimals = std::min(decimals, 15);  // beyond a double's precision
    auto found = decimalsFormats_.find(decimals);
    if (found != decimalsFormats_.end()) return found->second;
    std::string code = "0";
    if (decimals > 0) code += "." + std::string(static_cast<size_t>(decimals), '0');
    lxw_format* format = workbook_add_format(workbook_);
    format_set_num_format(format, code.c_str());
    decimalsFormats_[decimals] = format;
    return format;
}

int CXWorkbookWriter::Close() {
    if (!workbook_) return 0;
    if (failed_ || !sheet_) {
        Discard();
        return 0;
    }
    const lxw_error written = workbook_close(workbook_);
    workbook_ = nullptr;
    const bool ok = written == LXW_NO_ERROR && rename(tempPath_.c_str(), targetPath_.c_str()) == 0;
    if (!ok) unlink(tempPath_.c_str());
    Reset();
    return ok ? 1 : 0;
}

void CXWorkbookWriter::Discard() {
    if (workbook_) {
        lxw_workbook_free(workbook_);
        unlink(tempPath_.c_str());
    }
    Reset();
}

void CXWorkbookWriter::Reset() {
    workbook_ = nullptr;
    sheet_ = nullptr;
    targetPath_.clear();
    tempPath_.clear();
    columnTypes_.clear();
    decimalsFormats_.clear();
    row_ = 0;
    failed_ = false;
}

}  // namespace kvr
