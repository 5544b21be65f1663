#include "core/analysis/xlsx_export_sink.h"

#include <unistd.h>

#include <cstdio>
#include <xlsxwriter.h>

#include "core/datafile/time.h"

namespace kvr {

namespace {

constexpr double kTimeColumnWidth = 20.0;
constexpr double kValueColumnWidth = 14.0;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

XlsxExportSink::XlsxExportSink(const std::string& path, std::vector<ExportColumn> columns)
    : columns_(std::move(columns)), target_(path), tmpdir_(FolderOf(path)) {}

XlsxExportSink::~XlsxExportSink() { Abandon(); }

std::unique_ptr<ExportSink> XlsxExportSink::Open(const std::string& path, std::vector<ExportColumn> columns) {
    std::unique_ptr<XlsxExportSink> sink(new XlsxExportSink(path, std::move(columns)));
    const int fd = sink->target_.Create();
    if (fd < 0) return nullptr;
    ::close(fd);
    // Row data goes to temporary files beside the target, where a full disk shows up.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = sink->tmpdir_.data();
    options.use_zip64 = LXW_TRUE;
    sink->workbook_ = workbook_new_opt(sink->target_.path().c_str(), &options);
    if (sink->workbook_ == nullptr) return nullptr;
    sink->formats_.assign(sink->columns_.size(), nullptr);
    for (std::size_t i = 2; i < sink->columns_.size(); ++i) {
        sink->formats_[i] = workbook_add_format(sink->workbook_);
        format_set_num_format(sink->formats_[i], ExportNumberFormat(sink->columns_[i]).c_str());
    }
    return sink;
}

bool XlsxExportSink::BeginSheet(const std::string& name) {
    if (workbook_ == nullptr) return false;
    sheet_ = workbook_add_worksheet(workbook_, name.c_str());
    if (sheet_ == nullptr) return !(failed_ = true);
    sheets_.push_back(sheet_);
    sheetRow_ = 0;
    const auto last = static_cast<lxw_col_t>(columns_.size() - 1);
    Check(worksheet_set_column(sheet_, 1, 1, kTimeColumnWidth, nullptr));
    if (last >= 2) Check(worksheet_set_column(sheet_, 2, last, kValueColumnWidth, nullptr));
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        Check(worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(i), columns_[i].name.c_str(), nullptr));
    }
    return !failed_;
}

bool XlsxExportSink::WriteRow(const ExportRow& row) {
    if (sheet_ == nullptr) return false;
    const lxw_row_t r = ++sheetRow_;
    Check(worksheet_write_number(sheet_, r, 0, static_cast<double>(row.number), nullptr));
    Check(worksheet_write_string(sheet_, r, 1, FormatTime(row.time).c_str(), nullptr));
    for (std::size_t i = 0; i < row.values.size() && i + 2 < columns_.size(); ++i) {
        const auto column = static_cast<lxw_col_t>(i + 2);
        const ExportValue& value = row.values[i];
        Check(value.present ? worksheet_write_number(sheet_, r, column, value.number, formats_[i + 2])
                            : worksheet_write_string(sheet_, r, column, kExportReadError, nullptr));
    }
    // Rows are streamed to a temporary file whose write errors the library does not
    // report; a full disk must not turn into a workbook that silently lacks rows.
    if (sheet_->optimize_tmpfile != nullptr && std::ferror(sheet_->optimize_tmpfile)) failed_ = true;
    return !failed_;
}

bool XlsxExportSink::Finish() {
    if (workbook_ == nullptr) return false;
    for (lxw_worksheet* sheet : sheets_) {
        FILE* rows = sheet->optimize_tmpfile;
        if (rows != nullptr && (std::fflush(rows) != 0 || std::ferror(rows))) failed_ = true;
    }
    if (failed_) {
        Abandon();
        return false;
    }
    Check(workbook_close(workbook_));
    workbook_ = nullptr;
    sheet_ = nullptr;
    if (failed_) {
        target_.Discard();
        return false;
    }
    return target_.Commit();
}

void XlsxExportSink::Abandon() {
    if (workbook_ != nullptr) {
        // Freed without packaging: zipping what was written would only delay a cancel.
        lxw_workbook_free(workbook_);
        workbook_ = nullptr;
        sheet_ = nullptr;
    }
    target_.Discard();
}

}  // namespace kvr
