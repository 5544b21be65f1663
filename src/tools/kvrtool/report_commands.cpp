// Report commands of kvrtool: report (the cumulative report as CSV or a workbook), stats
// (peak, valley, mean and uniformity per channel) and span (what a selection of the curves
// measures).
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/analysis/csv_export_sink.h"
#include "core/analysis/cumulative_report.h"
#include "core/analysis/span_figures.h"
#include "core/analysis/statistics.h"
#include "core/datafile/cxfile.h"
#include "tools/kvrtool/commands.h"
#include "tools/kvrtool/data_file_args.h"
#include "tools/kvrtool/interrupt_guard.h"
#include "tools/kvrtool/output_target.h"

namespace kvrtool {
namespace {

struct PeriodArgs {
    std::string file;
    std::string from;
    std::string to;
    std::string xlsx;
    bool force = false;
};

void PrintCsvLine(const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) std::cout << (i ? "," : "") << kvr::CsvCell(cells[i]);
    std::cout << '\n';
}

// The period from the options, each side defaulting to the given moment.
std::optional<std::pair<kvr::Time, kvr::Time>> Period(const PeriodArgs& args, kvr::Time start,
                                                      kvr::Time end) {
    const auto from = TimeOption(args.from, "--from", start);
    if (!from) return std::nullopt;
    const auto to = TimeOption(args.to, "--to", end);
    if (!to) return std::nullopt;
    return std::make_pair(*from, *to);
}

void Report(const PeriodArgs& args) {
    kvr::CXFile file;
    if (!OpenDataFile(file, args.file)) return;
    const kvr::ReportSource source = kvr::ReportSourceOf(file);
    const auto period = Period(args, source.firstHour, source.lastHour);
    if (!period) return;
    const kvr::ReportOutcome outcome =
        kvr::BuildCumulativeReport(source, period->first, period->second);
    if (!outcome.report) return Fail(kUsageOrIo, outcome.error);

    if (!args.xlsx.empty()) {
        if (!MayWrite(args.xlsx, args.force, {args.file})) return;
        const RemoveUnfinishedOnSignal cleanup;
        if (auto problem = kvr::WriteReportWorkbook(args.xlsx, *outcome.report))
            Fail(kUsageOrIo, *problem + " " + args.xlsx);
        return;
    }
    const kvr::ReportTable& list = outcome.report->list;
    std::vector<std::string> titles;
    for (const auto& column : list.columns) titles.push_back(column.title);
    PrintCsvLine(titles);
    for (const auto& row : list.rows) PrintCsvLine(row);
}

void Stats(const PeriodArgs& args) {
    kvr::CXFile file;
    if (!OpenDataFile(file, args.file)) return;
    const auto period = Period(args, file.GetSpanEndTime() - 3600, file.GetSpanEndTime());
    if (!period) return;
    const kvr::StatisticsOutcome outcome =
        kvr::ComputeStatistics(file, period->first, period->second);
    if (!outcome.error.empty()) return Fail(kUsageOrIo, outcome.error);
    PrintCsvLine(kvr::StatisticsTitles());
    for (const auto& row : outcome.rows)
        PrintCsvLine({row.number, row.channel, row.peak, row.valley, row.mean, row.uniformity});
}

void Span(const PeriodArgs& args) {
    kvr::CXFile file;
    if (!OpenDataFile(file, args.file)) return;
    const auto period = Period(args, file.GetStartTime(), file.GetEndTime());
    if (!period) return;
    const kvr::SpanOutcome outcome = kvr::ComputeSpan(file, period->first, period->second);
    if (!outcome.error.empty()) return Fail(kUsageOrIo, outcome.error);
    PrintCsvLine(kvr::SpanTitles());
    for (const auto& channel : outcome.channels) PrintCsvLine(kvr::SpanCells(file, channel));
}

}  // namespace

void RegisterReportCommands(CLI::App& app) {
    auto report = std::make_shared<PeriodArgs>();
    CLI::App* reportCommand = app.add_subcommand(
        "report", "Print the cumulative report as CSV, or write it as a workbook");
    reportCommand->add_option("file", report->file, "Data or report file")->required();
    reportCommand->add_option("--from", report->from,
                              "Period start (default: the first hour of the hourly table)");
    reportCommand->add_option("--to", report->to,
                              "Period end (default: the last hour of the hourly table)");
    reportCommand->add_option("--xlsx", report->xlsx,
                              "Write the report workbook here instead of printing");
    AddForceFlag(reportCommand, report->force, "--xlsx workbook");
    reportCommand->callback([report] { Report(*report); });

    auto stats = std::make_shared<PeriodArgs>();
    CLI::App* statsCommand =
        app.add_subcommand("stats", "Print peak, valley, mean and uniformity per channel as CSV");
    statsCommand->add_option("file", stats->file, "Data file")->required();
    statsCommand->add_option("--from", stats->from,
                             "Period start (default: one hour before the file end)");
    statsCommand->add_option("--to", stats->to, "Period end (default: the file end)");
    statsCommand->callback([stats] { Stats(*stats); });

    auto span = std::make_shared<PeriodArgs>();
    CLI::App* spanCommand = app.add_subcommand(
        "span",
        "Print the values at both ends, difference, peak, valley, mean and totals of a "
        "period per channel in use as CSV");
    spanCommand->add_option("file", span->file, "Data file")->required();
    spanCommand->add_option("--from", span->from, "Period start (default: the file start)");
    spanCommand->add_option("--to", span->to, "Period end (default: the file end)");
    spanCommand->callback([span] { Span(*span); });
}

}  // namespace kvrtool
