#pragma once
// What an export of a data file's records writes, independent of the target format: the
// texts of each language, the columns, the checked period with its step, and one row.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/datafile/cxfile.h"

namespace kvr {

enum class ExportLanguage { Chinese, English };

struct ExportTexts {
    const char* rangePrefix;
    const char* caption;
    const char* startAfterEnd;
    const char* startBeforeFile;
    const char* endAfterFile;
    const char* badInterval;
    const char* cannotCreate;
    const char* writeFailed;
    const char* finished;
    const char* numberColumn;
    const char* timeColumn;
};

const ExportTexts& TextsFor(ExportLanguage language);

// Rows per sheet, below the sheet's header row.
inline constexpr std::int64_t kExportSheetRows = 65535;
// Written instead of a value where the file holds no record.
inline constexpr char kExportReadError[] = "ReadError";

struct ExportColumn {
    std::string name;
    int channel = -1;  // -1 for the number and the time column
    int decimals = 0;  // of fixed-point channel values
    bool scientific = false;
};

// "[name(unit)]" with the rules a spreadsheet header needs: the character between an "m"
// and a "3" of the unit ("m^3") becomes a space, and every "." becomes ",".
std::string ExportColumnName(const std::string& channelName, const std::string& unit);

// The number column, the time column and one column per channel in use (state 2 means the
// instrument has no such channel; hidden channels are exported).
std::vector<ExportColumn> ExportColumns(const CXFile& file, ExportLanguage language);

struct ExportPlan {
    Time start = 0;
    Time end = 0;
    Time step = 1;             // record interval x every
    std::int64_t rowCount = 0;  // moments start, start + step, ... <= end
};

struct ExportPlanResult {
    std::optional<ExportPlan> plan;
    std::string message;  // why there is no plan, in the export's language
};

// Checks the period in the order the user is told about it (start after end, start before
// the file, end after the file), then the interval count, which must be at least 1.
ExportPlanResult MakeExportPlan(const CXFile& file, Time start, Time end, std::int64_t every,
                                ExportLanguage language);

// One value cell: a number shown with its column's format, or a text (no record).
struct ExportValue {
    bool present = false;
    double number = 0.0;  // rounded to the column's decimals, so the cell holds what it shows
};

struct ExportRow {
    std::int64_t number = 0;  // 1-based over the whole export
    Time time = 0;
    std::vector<ExportValue> values;  // one per channel column
};

// Fills row (reusing its storage) for the given 1-based row number of the plan.
void BuildExportRow(const CXFile& file, const std::vector<ExportColumn>& columns,
                    const ExportPlan& plan, std::int64_t number, ExportRow& row);

// The value as a text in the channel's own format ("12.50", "1.5E-03").
std::string FormatExportValue(const ExportColumn& column, double value);

// The spreadsheet number format matching the channel's format ("0.00", "0.0E+00").
std::string ExportNumberFormat(const ExportColumn& column);

}  // namespace kvr
