#include "core/analysis/export_run.h"

#include <chrono>

#include "core/analysis/export_sink.h"
#include "core/sys/sys_io.h"

namespace kvr {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressPeriod = std::chrono::milliseconds(100);
// Rows between two looks at the clock; a row takes about a microsecond.
constexpr std::int64_t kClockRows = 64;

class ProgressPacer {
public:
    ProgressPacer(const ExportProgressFn& report, std::int64_t rowCount)
        : report_(report), rowCount_(rowCount), started_(Clock::now()), last_(started_) {}

    void Row(std::int64_t rowsWritten) {
        if (!report_ || (rowsWritten % kClockRows != 0 && rowsWritten != rowCount_)) return;
        const Clock::time_point now = Clock::now();
        if (now - last_ < kProgressPeriod && rowsWritten != rowCount_) return;
        last_ = now;
        const double elapsed = std::chrono::duration<double>(now - started_).count();
        const double perRow = elapsed / static_cast<double>(rowsWritten);
        report_({rowsWritten, rowCount_, perRow * static_cast<double>(rowCount_ - rowsWritten)});
    }

private:
    const ExportProgressFn& report_;
    std::int64_t rowCount_;
    Clock::time_point started_;
    Clock::time_point last_;
};

}  // namespace

std::string ExportSheetName(std::int64_t rowNumber) {
    return "sheet" + std::to_string((rowNumber - 1) / kExportSheetRows + 1);
}

ExportResult RunExport(const CXFile& file, const ExportPlan& plan, Language language,
                       const std::string& path, const std::atomic<bool>& stop,
                       const ExportProgressFn& progress) {
    const ExportTexts& texts = TextsFor(language);
    // Renaming the finished export over its own data file would destroy the data.
    if (sysio::IsSameFile(path, file.GetFileName()))
        return {ExportOutcome::kCannotCreate, texts.targetIsSource};
    if (sysio::IsDirectory(path)) return {ExportOutcome::kCannotCreate, texts.targetIsFolder};
    const std::vector<ExportColumn> columns = ExportColumns(file, language);
    std::unique_ptr<ExportSink> sink = OpenExportSink(path, columns);
    if (!sink) return {ExportOutcome::kCannotCreate, texts.cannotCreate};

    if (progress) progress({0, plan.rowCount, 0.0});
    ProgressPacer pacer(progress, plan.rowCount);
    ExportRowReader rows(file, columns, plan);
    ExportRow row;
    for (std::int64_t number = 1; number <= plan.rowCount; ++number) {
        if (stop.load(std::memory_order_relaxed)) {
            sink->Abandon();
            return {ExportOutcome::kCancelled, {}};
        }
        if ((number - 1) % kExportSheetRows == 0 && !sink->BeginSheet(ExportSheetName(number))) {
            sink->Abandon();
            return {ExportOutcome::kWriteFailed, texts.writeFailed};
        }
        rows.Build(number, row);
        if (!sink->WriteRow(row)) {
            sink->Abandon();
            return {ExportOutcome::kWriteFailed, texts.writeFailed};
        }
        pacer.Row(number);
    }
    if (!sink->Finish()) return {ExportOutcome::kWriteFailed, texts.writeFailed};
    return {ExportOutcome::kFinished, texts.finished};
}

}  // namespace kvr
