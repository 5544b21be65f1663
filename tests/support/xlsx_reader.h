#pragma once
// Reads back an .xlsx workbook for tests: sheet names and every cell with its text, whether
// it is a number, and its number format. Unzips with the `unzip` program; handles the XML
// that our writer produces (inline and shared strings, numbers, custom number formats).
#include <optional>
#include <string>
#include <vector>

namespace kvrtest {

struct XlsxCell {
    std::string text;  // a number as stored ("12.5"), a string as written
    bool isNumber = false;
    std::string numberFormat;  // the cell's format code ("0.00"); empty for the default
};

struct XlsxSheet {
    std::string name;
    std::vector<std::vector<XlsxCell>> rows;  // dense; missing cells are empty strings

    // Text of a cell, empty when the cell is absent.
    std::string Text(size_t row, size_t column) const;
    // The cell as a spreadsheet shows it: numbers with their decimals ("0.00"), dates
    // ("yyyy-mm-dd", from the day serial) as dates; strings as they are.
    std::string Shown(size_t row, size_t column) const;
    const XlsxCell* Cell(size_t row, size_t column) const;
};

struct XlsxWorkbook {
    std::vector<XlsxSheet> sheets;
};

std::optional<XlsxWorkbook> ReadXlsx(const std::string& path);

}  // namespace kvrtest
