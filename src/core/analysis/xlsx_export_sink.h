#pragma once
// Export rows as an .xlsx workbook through the workbook writer: one table per sheet, the
// number and value columns as numbers with the channel's decimals, the time as text.
#include <memory>
#include <string>
#include <vector>

#include "core/analysis/export_sink.h"
#include "core/analysis/workbook_writer.h"

namespace kvr {

class XlsxExportSink final : public ExportSink {
public:
    static std::unique_ptr<ExportSink> Open(const std::string& path,
                                            const std::vector<ExportColumn>& columns);

    bool BeginSheet(const std::string& name) override;
    bool WriteRow(const ExportRow& row) override;
    bool Finish() override;
    void Abandon() override;

private:
    explicit XlsxExportSink(const std::vector<ExportColumn>& columns);

    CXWorkbookWriter writer_;
    std::vector<ExportColumn> columns_;
    std::vector<std::string> names_;
    std::vector<ColumnType> types_;
};

}  // namespace kvr
