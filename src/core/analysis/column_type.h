#pragma once
// What a column of a written table holds: numbers (numeric cells in a workbook) or text.
namespace kvr {

enum class ColumnType { kNumber, kText };

}  // namespace kvr
