// Export of a whole live-buffer-sized file (262144 records x 6 channels) to .xlsx and CSV,
// against the same cells written straight through libxlsxwriter in constant-memory mode and
// formatted by a bare to_chars loop: the limits an export can approach.
#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <atomic>
#include <charconv>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/analysis/export_run.h"
#include "core/analysis/export_table.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/layout.h"
#include "core/datafile/sample_file.h"

namespace {

constexpr int kRecords = static_cast<int>(kvr::kTempCapacity);  // 262144

// One sample file for the whole run and the exports' targets, removed at exit.
struct BenchFolder {
    kvrbench::ScratchDir dir;
    BenchFolder() {
        kvr::SampleOptions options;
        options.records = kRecords;
        kvrbench::WriteSample(dir, "bench.FDZ", options);
    }
};

const kvrbench::ScratchDir& Folder() {
    static const BenchFolder folder;
    return folder.dir;
}

void RunWholeFile(benchmark::State& state, const std::string& target) {
    kvr::CXFile file;
    if (file.Open(Folder().file("bench.FDZ")) != 1) std::abort();
    const auto plan = kvr::MakeExportPlan(file, file.GetStartTime(), file.GetEndTime(), 1,
                                          kvr::Language::kChinese)
                          .plan;
    if (!plan) std::abort();
    const std::atomic<bool> never{false};
    for (auto _ : state) {
        const kvr::ExportResult result =
            kvr::RunExport(file, *plan, kvr::Language::kChinese, target, never);
        if (result.outcome != kvr::ExportOutcome::kFinished) state.SkipWithError("export failed");
    }
    state.SetItemsProcessed(state.iterations() * plan->rowCount);
}

void BM_ExportXlsx(benchmark::State& state) { RunWholeFile(state, Folder().file("out.xlsx")); }

void BM_ExportCsv(benchmark::State& state) { RunWholeFile(state, Folder().file("out.csv")); }

// The cells of a whole-file export, prepared before any timing: the time texts and the
// values, row after row.
struct ExportCells {
    std::vector<kvr::ExportColumn> columns;
    std::int64_t rowCount = 0;
    std::vector<std::string> times;
    std::vector<double> values;
    std::size_t channels = 0;
};

const ExportCells& Cells() {
    static const ExportCells cells = [] {
        ExportCells made;
        kvr::CXFile file;
        if (file.Open(Folder().file("bench.FDZ")) != 1) std::abort();
        made.columns = kvr::ExportColumns(file, kvr::Language::kChinese);
        const auto plan = kvr::MakeExportPlan(file, file.GetStartTime(), file.GetEndTime(), 1,
                                              kvr::Language::kChinese)
                              .plan;
        made.rowCount = plan->rowCount;
        made.channels = made.columns.size() - 2;
        kvr::ExportRowReader rows(file, made.columns, *plan);
        kvr::ExportRow row;
        for (std::int64_t number = 1; number <= plan->rowCount; ++number) {
            rows.Build(number, row);
            made.times.push_back(kvr::FormatTime(row.time));
            for (const auto& value : row.values) made.values.push_back(value.value_or(0.0));
        }
        return made;
    }();
    return cells;
}

// The floor of a CSV export: the same cells formatted with to_chars into one line buffer,
// without the file, the rows' reading or anything else.
void BM_CsvFormatOnly(benchmark::State& state) {
    const ExportCells& cells = Cells();
    std::string line;
    char cell[64];
    for (auto _ : state) {
        std::size_t written = 0;
        for (std::int64_t r = 0; r < cells.rowCount; ++r) {
            line.clear();
            line.append(cell, std::to_chars(cell, cell + sizeof cell, r + 1).ptr);
            line += ',';
            line += cells.times[static_cast<std::size_t>(r)];
            for (std::size_t c = 0; c < cells.channels; ++c) {
                line += ',';
                line.append(
                    cell,
                    std::to_chars(cell, cell + sizeof cell,
                                  cells.values[static_cast<std::size_t>(r) * cells.channels + c],
                                  std::chars_format::fixed, cells.columns[c + 2].decimals)
                        .ptr);
            }
            line += '\n';
            written += line.size();
        }
        benchmark::DoNotOptimize(written);
    }
    state.SetItemsProcessed(state.iterations() * cells.rowCount);
}

// The same cells as the export: a number, the time text and six values with their decimals,
// 65535 rows per sheet below a header row. Everything is prepared before the timing.
void BM_LibxlsxwriterOnly(benchmark::State& state) {
    const ExportCells& cells = Cells();
    const std::vector<kvr::ExportColumn>& columns = cells.columns;
    const std::vector<std::string>& times = cells.times;
    const std::vector<double>& values = cells.values;
    const std::size_t channels = cells.channels;
    const std::string target = Folder().file("limit.xlsx");
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* workbook = workbook_new_opt(target.c_str(), &options);
        std::vector<lxw_format*> formats;
        for (std::size_t c = 2; c < columns.size(); ++c) {
            const int digits = columns[c].decimals;
            formats.push_back(workbook_add_format(workbook));
            format_set_num_format(
                formats.back(),
                digits > 0 ? ("0." + std::string(static_cast<std::size_t>(digits), '0')).c_str()
                           : "0");
        }
        lxw_worksheet* sheet = nullptr;
        lxw_row_t sheetRow = 0;
        for (std::int64_t r = 0; r < cells.rowCount; ++r) {
            if (r % kvr::kExportSheetRows == 0) {
                sheet = workbook_add_worksheet(workbook, kvr::ExportSheetName(r + 1).c_str());
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    const std::string& name = columns[c].name;
                    worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c),
                                           name.substr(1, name.size() - 2).c_str(), nullptr);
                }
                sheetRow = 0;
            }
            ++sheetRow;
            worksheet_write_number(sheet, sheetRow, 0, static_cast<double>(r + 1), nullptr);
            worksheet_write_string(sheet, sheetRow, 1, times[static_cast<std::size_t>(r)].c_str(),
                                   nullptr);
            for (std::size_t c = 0; c < channels; ++c) {
                worksheet_write_number(sheet, sheetRow, static_cast<lxw_col_t>(c + 2),
                                       values[static_cast<std::size_t>(r) * channels + c],
                                       formats[c]);
            }
        }
        if (workbook_close(workbook) != LXW_NO_ERROR) state.SkipWithError("workbook failed");
    }
    state.SetItemsProcessed(state.iterations() * cells.rowCount);
}

}  // namespace

BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LibxlsxwriterOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CsvFormatOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
