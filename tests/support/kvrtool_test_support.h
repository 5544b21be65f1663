#pragma once
// Shared by the kvrtool tests: a fresh folder per test with kvrtool run as a user runs it,
// sample files made by kvrtool, and kvrtool's text output split into lines and cells.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace kvrtest {

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The comma-separated cells of line; a trailing empty cell is kept ("a," gives "a" and "").
inline std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream in(line + ",");
    for (std::string cell; std::getline(in, cell, ',');) cells.push_back(cell);
    return cells;
}

class KvrtoolTest : public ::testing::Test {
protected:
    CommandResult Run(const std::string& arguments) { return RunTool("kvrtool", arguments); }
    // Default options: one day of records from 2026-01-05 00:00, three shifts 8/16/0.
    std::string MakeSample(const std::string& name, const std::string& options = "") {
        return kvrtest::MakeSample(dir, name, options);
    }
    TempDir dir;
};

}  // namespace kvrtest
