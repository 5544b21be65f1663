#include "core/analysis/xlsx_export_sink.h"

namespace kvr {

XlsxExportSink::XlsxExportSink(const std::vector<ExportColumn>& columns) {
    for (const ExportColumn& column : columns) {
        names_.push_back(column.name);
        types_.push_back(column.type);
    }
}

std::unique_ptr<ExportSink> XlsxExportSink::Open(const std::string& path,
                                                 const std::vector<ExportColumn>& columns) {
    std::unique_ptr<XlsxExportSink> sink(new XlsxExportSink(columns));
    if (sink->writer_.Open(path) != 1) return nullptr;
    return sink;
}

bool XlsxExportSink::BeginSheet(const std::string& name) {
    return writer_.CreateTable(name, names_, types_) == 1;
}

bool XlsxExportSink::WriteRow(const ExportRow& row) { return writer_.InsertRow(row.cells) == 1; }

bool XlsxExportSink::Finish() { return writer_.Close() == 1; }

void XlsxExportSink::Abandon() { writer_.Discard(); }

}  // namespace kvr
