#pragma once
// What an export of a data file's records writes, independent of the target format: the
// texts of each language, the columns, the checked period with its step, and one row.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
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
    const char* intervalBeyondRecords;
    const char* targetIsSource;
    const char* targetIsFolder;
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
    std::string name;    // bracketed, as a table column is named; the header shows it bare
    std::string type;    // "SHORT" for numbers, "TEXT" for the time
    int channel = -1;    // -1 for the number and the time column
    std::string format;  // printf format of the channel's values
};

// "[name(unit)]" with the rules a spreadsheet header needs: the character between an "m"
// and a "3" of the unit ("m^3") becomes a space, and every "." becomes ",".
std::string ExportColumnName(const std::string& channelName, const std::string& unit);

// The number column, the time column and one column per channel in use (state 2 means the
// instrument has no such channel; hidden channels are exported).
std::vector<ExportColumn> ExportColumns(const CXFile& file, ExportLanguage language);

// The period an export starts with: a selection (its ends in either order) when both ends
// are set, differ and lie in the file; otherwise the whole file.
std::pair<Time, Time> ExportRangeFor(const CXFile& file, Time selectionA, Time selectionB);

struct ExportPlan {
    Time start = 0;
    Time end = 0;
    Time step = 1;              // record interval x every
    std::int64_t rowCount = 0;  // moments start, start + step, ... <= end
};

struct ExportPlanResult {
    std::optional<ExportPlan> plan;
    std::string message;  // why there is no plan, in the export's language
};

// Checks the period in the order the user is told about it (start after end, start before
// the file, end after the file), then the interval count, which must be at least 1 and at
// most the file's record count.
ExportPlanResult MakeExportPlan(const CXFile& file, Time start, Time end, std::int64_t every,
                                ExportLanguage language);

// One row as the texts of its cells: the number, the time "YYYY-MM-DD HH:MM:SS", and each
// channel's value in the channel's own format, or "ReadError" where no record is stored.
struct ExportRow {
    std::int64_t number = 0;  // 1-based over the whole export
    std::vector<std::string> cells;
};

// Fills row (reusing its storage) for the given 1-based row number of the plan.
void BuildExportRow(const CXFile& file, const std::vector<ExportColumn>& columns,
                    const ExportPlan& plan, std::int64_t number, ExportRow& row);

}  // namespace kvr
