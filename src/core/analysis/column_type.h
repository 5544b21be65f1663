#pragma once
// What a column of a written table holds: numbers (numeric cells in a workbook), dates
// ("YYYY-MM-DD", date cells; anything else in the column as a number or text) or text.
namespace kvr {

enum class ColumnType { kNumber, kDate, kText };

}  // namespace kvr
