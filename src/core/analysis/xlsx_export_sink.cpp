#include "core/analysis/xlsx_export_sink.h"

namespace kvr {

XlsxExportSink::XlsxExportSink(const std::vector<ExportColumn>& columns) : columns_(columns) {
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

bool XlsxExportSink::WriteRow(const ExportRow& row) {
    bool written = writer_.WriteNumber(0, static_cast<double>(row.number), 0) == 1 &&
                   writer_.WriteText(1, FormatTime(row.time).c_str()) == 1;
    for (std::size_t i = 0; written && i < row.values.size(); ++i) {
        const ExportColumn& column = columns_[i + 2];
        const int cell = static_cast<int>(i + 2);
        written = row.values[i] ? writer_.WriteNumber(cell, *row.values[i], column.decimals,
                                                      column.scientific) == 1
                                : writer_.WriteText(cell, kExportReadError) == 1;
    }
    return written && writer_.EndRow() == 1;
}

bool XlsxExportSink::Finish() { return writer_.Close() == 1; }

void XlsxExportSink::Abandon() { writer_.Discard(); }

}  // namespace kvr
