#include "core/analysis/table_workbook.h"

#include "core/analysis/workbook_writer.h"
#include "core/sys/sys_io.h"

namespace kvr {

std::optional<std::string> WriteTableWorkbook(const std::string& path,
                                              const std::vector<std::string>& columnNames,
                                              const std::vector<ColumnType>& columnTypes,
                                              const std::vector<std::vector<std::string>>& rows) {
    if (sysio::IsDirectory(path)) return std::string(kTargetIsFolder);
    CXWorkbookWriter writer;
    if (!writer.Open(path)) return std::string(kWorkbookCreateFailed);
    bool written = writer.CreateTable("sheet1", columnNames, columnTypes) == 1;
    for (size_t r = 0; written && r < rows.size(); ++r) written = writer.InsertRow(rows[r]) == 1;
    if (!written || writer.Close() != 1) return std::string(kWorkbookWriteFailed);
    return std::nullopt;
}

}  // namespace kvr
