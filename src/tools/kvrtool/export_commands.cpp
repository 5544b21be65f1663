// Export command of kvrtool: the records of a period as an .xlsx workbook or a CSV file,
// exactly as the export dialog writes them.
#include <atomic>
#include <memory>
#include <string>

#include "core/analysis/export_run.h"
#include "core/analysis/export_table.h"
#include "core/datafile/cxfile.h"
#include "tools/kvrtool/commands.h"
#include "tools/kvrtool/data_file_args.h"
#include "tools/kvrtool/interrupt_guard.h"
#include "tools/kvrtool/output_target.h"

namespace kvrtool {
namespace {

struct ExportArgs {
    std::string file, out, from, to, lang = "zh";
    std::int64_t every = 1;
    bool force = false;
};

void Export(const ExportArgs& args) {
    kvr::CXFile file;
    if (!OpenDataFile(file, args.file)) return;
    const auto from = TimeOption(args.from, "--from", file.GetStartTime());
    if (!from) return;
    const auto to = TimeOption(args.to, "--to", file.GetSpanEndTime());
    if (!to) return;
    const kvr::Language language =
        args.lang == "en" ? kvr::Language::kEnglish : kvr::Language::kChinese;
    const kvr::ExportPlanResult plan = kvr::MakeExportPlan(file, *from, *to, args.every, language);
    if (!plan.plan) return Fail(kUsageOrIo, plan.message);
    if (!MayWrite(args.out, args.force, {args.file})) return;
    const RemoveUnfinishedOnSignal cleanup;
    const std::atomic<bool> never{false};
    const kvr::ExportResult result = kvr::RunExport(file, *plan.plan, language, args.out, never);
    if (result.outcome != kvr::ExportOutcome::kFinished) Fail(kUsageOrIo, result.message);
}

}  // namespace

void RegisterExportCommands(CLI::App& app) {
    auto args = std::make_shared<ExportArgs>();
    CLI::App* command = app.add_subcommand(
        "export",
        "Write the records of a period as an .xlsx workbook, or as CSV when OUT ends in .csv");
    command->add_option("file", args->file, "Data file")->required();
    command->add_option("out", args->out, "Workbook (.xlsx) or CSV file (.csv) to write")
        ->required();
    command->add_option("--from", args->from, "First moment (default: the file start)");
    command->add_option("--to", args->to, "Last moment (default: the file end)");
    command->add_option("--every", args->every, "Write every N-th record (default 1)");
    AddForceFlag(command, args->force, "OUT");
    command
        ->add_option("--lang", args->lang, "Language of the column names and messages (default zh)")
        ->check(CLI::IsMember({"zh", "en"}));
    command->callback([args] { Export(*args); });
}

}  // namespace kvrtool
