#pragma once
// What an export of a data file's records writes, independent of the target format: the
// texts of each language, the columns, the checked period with its step, and one row.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/analysis/column_type.h"
#include "core/datafile/cxfile.h"
#include "core/settings/language.h"

namespace kvr {

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

const ExportTexts& TextsFor(Language language);

// Rows per sheet, below the sheet's header row.
inline constexpr std::int64_t kExportSheetRows = 65535;
// Written instead of a value where the file holds no record.
inline constexpr char kExportReadError[] = "ReadError";

struct ExportColumn {
    std::string name;  // bracketed, as a table column is named; the header shows it bare
    ColumnType type = ColumnType::kNumber;  // the time is text, the rest numbers
    int channel = -1;                       // -1 for the number and the time column
    // How the channel's values are written: decimals after the point, and whether in
    // scientific notation ("1.5E-03"); worked out once from the channel's value format.
    int decimals = 0;
    bool scientific = false;
};

// "[name(unit)]" with the rules a spreadsheet header needs: the character between an "m"
// and a "3" of the unit ("m^3") becomes a space, and every "." becomes ",".
std::string ExportColumnName(const std::string& channelName, const std::string& unit);

// The number column, the time column and one column per channel in use (state 2 means the
// instrument has no such channel; hidden channels are exported).
std::vector<ExportColumn> ExportColumns(const CXFile& file, Language language);

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
                                Language language);

// One row: its number, its moment (written "YYYY-MM-DD HH:MM:SS") and the value of each
// channel column in column order, none where no record is stored ("ReadError"). A value
// that is not finite is written as 0.
struct ExportRow {
    std::int64_t number = 0;  // 1-based over the whole export
    Time time = 0;
    std::vector<std::optional<double>> values;  // columns 2, 3, ...
};

// Builds the rows of a plan. Each channel's values are read a run of rows at a time
// (CXFile::ReadValues), so an export in row order reads the file at memory speed.
class ExportRowReader {
public:
    ExportRowReader(const CXFile& file, const std::vector<ExportColumn>& columns,
                    const ExportPlan& plan);
    // Fills row (reusing its storage) for the given 1-based row number of the plan.
    void Build(std::int64_t number, ExportRow& row);

private:
    void ReadRun(std::int64_t number);

    const CXFile& file_;
    const std::vector<ExportColumn>& columns_;
    const ExportPlan& plan_;
    std::int64_t runFirst_ = 0;  // row number of the run read; 0 before the first
    std::int64_t runRows_ = 0;
    std::vector<float> values_;  // kRunRows a channel column
    std::vector<std::uint8_t> answered_;
};

}  // namespace kvr
