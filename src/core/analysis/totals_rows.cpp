#include "core/analysis/totals_rows.h"

#include <cstdio>

#include "core/datafile/config_record.h"
#include "core/datafile/lookup_tables.h"

namespace kvr {
namespace {

std::string Hundredths(std::int64_t stored) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(stored) * 0.01);
    return text;
}

std::string WithUnit(const std::string& name, const std::string& unit) {
    return unit.empty() ? name : name + "(" + unit + ")";
}

}  // namespace

std::vector<TotalsRow> TotalsRows(const CXFile& file) {
    const ConfigRecord config(file);
    std::vector<TotalsRow> rows{{"1", WithUnit("流量", FlowTotalUnitText(config.FlowTotalUnit())),
                                 Hundredths(file.Header().flowTotal)}};
    if (config.HeatEnabled())
        rows.push_back({"2", WithUnit("热量", HeatTotalUnitText(config.HeatTotalUnit())),
                        Hundredths(file.Header().heatTotal)});
    return rows;
}

std::string TotalsTitle(const CXFile& file) {
    return "累积流量报表    Dev:[" + file.GetDeviceName() + "]";
}

std::string TotalsCopyText(const std::vector<TotalsRow>& rows) {
    std::string text;
    for (const auto& row : rows) text += row.number + "\t" + row.name + "\t" + row.total + "\t\r\n";
    return text;
}

}  // namespace kvr
