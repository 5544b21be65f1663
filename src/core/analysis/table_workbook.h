#pragma once
// Writes one table of texts as a one-sheet workbook, all or nothing.
#include <optional>
#include <string>
#include <vector>

#include "core/analysis/column_type.h"

namespace kvr {

inline constexpr const char* kWorkbookCreateFailed = "建立文件失败，可能缺少Excel驱动!";
inline constexpr const char* kWorkbookWriteFailed = "写入文件失败（磁盘空间可能不足），文件未导出!";
inline constexpr const char* kWorkbookWritten = "文件导出完成!";
// A workbook or export written over the data file it comes from would destroy the data.
inline constexpr char kTargetIsSource[] = "不能导出到数据文件本身，请另选文件名！";
// Writing would fail only at the very end, when the finished file cannot replace a folder.
inline constexpr char kTargetIsFolder[] = "所选的目标是文件夹，请输入文件名！";

// Sheet "sheet1"; column types as for CXWorkbookWriter::CreateTable. nullopt when the
// workbook is complete at path, else the message; a failed write leaves no file.
std::optional<std::string> WriteTableWorkbook(const std::string& path,
                                              const std::vector<std::string>& columnNames,
                                              const std::vector<ColumnType>& columnTypes,
                                              const std::vector<std::vector<std::string>>& rows);

}  // namespace kvr
