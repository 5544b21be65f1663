#include "core/analysis/export_sink.h"

#include <strings.h>

#include "core/analysis/csv_export_sink.h"
#include "core/analysis/xlsx_export_sink.h"

namespace kvr {

bool IsCsvTarget(const std::string& path) {
    return path.size() >= 4 && ::strcasecmp(path.c_str() + path.size() - 4, ".csv") == 0;
}

std::unique_ptr<ExportSink> OpenExportSink(const std::string& path,
                                           const std::vector<ExportColumn>& columns) {
    if (IsCsvTarget(path)) return CsvExportSink::Open(path, columns);
    return XlsxExportSink::Open(path, columns);
}

}  // namespace kvr
