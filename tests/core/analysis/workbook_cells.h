#pragma once
// Reads the cells of a written .xlsx back (through unzip), for comparing them one by one.
#include <map>
#include <string>
#include <vector>

namespace kvrtest {

struct Cell {
    bool number = false;  // a numeric cell; otherwise a text
    std::string text;     // the stored number as written, or the text
    int style = 0;        // index into the cell formats
};

struct Sheet {
    std::string name;
    std::vector<std::vector<Cell>> rows;  // row 0 is the header row
};

// The sheets in workbook order; empty when the file cannot be read.
std::vector<Sheet> ReadWorkbook(const std::string& path);

// Number format code of each cell style index ("General" where none is set).
std::vector<std::string> ReadCellFormats(const std::string& path);

}  // namespace kvrtest
