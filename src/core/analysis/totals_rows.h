#pragma once
// The instrument's running totals as the cumulative flow list shows them.
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"

namespace kvr {

struct TotalsRow {
    std::string number;  // "1", "2"
    std::string name;    // "流量", "热量", followed by "(unit)" when the unit is known
    std::string total;   // "%.2f" in the total's unit
};

// Flow, and heat when the instrument computes it.
std::vector<TotalsRow> TotalsRows(const CXFile& file);

// "累积流量报表    Dev:[device name]"
std::string TotalsTitle(const CXFile& file);

// One line per row: number, TAB, name, TAB, total, TAB, CR LF.
std::string TotalsCopyText(const std::vector<TotalsRow>& rows);

}  // namespace kvr
