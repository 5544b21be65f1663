#pragma once
// Export rows as an .xlsx workbook through libxlsxwriter in constant-memory mode: rows are
// streamed to disk as they come, so memory stays flat however long the export is. Numbers
// are numeric cells formatted with the channel's decimals; the time is a text cell.
#include <memory>
#include <string>
#include <vector>

#include "core/analysis/export_sink.h"
#include "core/analysis/temp_target.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace kvr {

class XlsxExportSink final : public ExportSink {
public:
    static std::unique_ptr<ExportSink> Open(const std::string& path, std::vector<ExportColumn> columns);
    ~XlsxExportSink() override;

    bool BeginSheet(const std::string& name) override;
    bool WriteRow(const ExportRow& row) override;
    bool Finish() override;
    void Abandon() override;

private:
    XlsxExportSink(const std::string& path, std::vector<ExportColumn> columns);
    void Check(int error) { failed_ = failed_ || error != 0; }

    std::vector<ExportColumn> columns_;
    TempTarget target_;
    std::string tmpdir_;  // libxlsxwriter keeps the pointer
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    std::vector<lxw_worksheet*> sheets_;
    std::vector<lxw_format*> formats_;  // per column; null for the number and time columns
    unsigned sheetRow_ = 0;
    bool failed_ = false;
};

}  // namespace kvr
