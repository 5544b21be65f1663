#pragma once
// Export rows as UTF-8 CSV: one header line with the column names, then one line per row,
// cells quoted where they hold a comma or a quote.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/analysis/export_sink.h"
#include "core/analysis/temp_target.h"

namespace kvr {

class CsvExportSink final : public ExportSink {
public:
    static std::unique_ptr<ExportSink> Open(const std::string& path,
                                            std::vector<ExportColumn> columns);
    ~CsvExportSink() override;

    bool BeginSheet(const std::string& name) override;
    bool WriteRow(const ExportRow& row) override;
    bool Finish() override;
    void Abandon() override;

private:
    CsvExportSink(const std::string& path, std::vector<ExportColumn> columns);
    // Writes what is pending; false once any write failed.
    bool Flush();

    std::vector<ExportColumn> columns_;
    TempTarget target_;
    std::FILE* out_ = nullptr;
    bool headerWritten_ = false;
    bool failed_ = false;
    std::string pending_;  // lines not yet written, flushed in large blocks
};

// The cell as CSV: quoted, with quotes doubled, when it holds a comma, a quote or a line break.
std::string CsvCell(const std::string& text);

}  // namespace kvr
