#pragma once
// Runs one export of a data file into a workbook or CSV file, on whatever thread calls it:
// rows are built and written one by one, progress is reported about ten times a second,
// and a stop request is seen before the next row.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "core/analysis/export_table.h"

namespace kvr {

struct ExportProgress {
    std::int64_t rowsWritten = 0;
    std::int64_t rowCount = 0;
    double remainingSeconds = 0.0;  // estimated from the pace so far; 0 until a row is written
};

enum class ExportOutcome { kFinished, kCancelled, kCannotCreate, kWriteFailed };

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::kFinished;
    std::string message;  // what the user is told, in the export's language; empty on cancel
};

using ExportProgressFn = std::function<void(const ExportProgress&)>;

// Writes the plan's rows to path (".csv" for CSV, otherwise .xlsx). The target is replaced
// only when the export finishes; on cancel or a write error no file is left behind. The
// file's own data file is never a target (CannotCreate).
ExportResult RunExport(const CXFile& file, const ExportPlan& plan, Language language,
                       const std::string& path, const std::atomic<bool>& stop,
                       const ExportProgressFn& progress = {});

// "sheet1", "sheet2", ... for the 1-based row number that starts a sheet.
std::string ExportSheetName(std::int64_t rowNumber);

}  // namespace kvr
