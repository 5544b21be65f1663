// Record commands of kvrtool: config-report, logs, file-info. Each prints or changes exactly
// what the matching window shows or changes.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/analysis/config_report.h"
#include "core/analysis/event_lists.h"
#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/file_info.h"
#include "tools/kvrtool/commands.h"
#include "tools/kvrtool/data_file_args.h"

namespace kvrtool {
namespace {

void ConfigReport(const std::string& path, std::optional<int> tab) {
    kvr::CXFile file;
    if (!OpenDataFile(file, path)) return;
    const kvr::ConfigRecord record(file);
    if (tab) {
        const std::optional<std::string> text = kvr::ConfigReportText(record, *tab);
        if (!text) {
            Fail(kUsageOrIo,
                 "a version " + std::to_string(file.GetVersion()) + " file has tabs 0 to " +
                     std::to_string(kvr::ConfigReportTabCount(file.GetVersion()) - 1) + ".");
            return;
        }
        std::cout << *text;
        return;
    }
    for (int t = 0; t < kvr::ConfigReportTabCount(file.GetVersion()); ++t)
        std::cout << "== " << kvr::ConfigReportTabTitle(t) << " ==\n"
                  << *kvr::ConfigReportText(record, t);
}

std::string CsvCell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

void CsvLine(const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) std::cout << (i ? "," : "") << CsvCell(cells[i]);
    std::cout << '\n';
}

void Logs(const std::string& path, const std::string& kind) {
    kvr::CXFile file;
    if (!OpenDataFile(file, path)) return;
    const kvr::EventList list = kind == "alarm"   ? kvr::EventList::kAlarm
                                : kind == "power" ? kvr::EventList::kPowerFailure
                                                  : kvr::EventList::kOperation;
    const kvr::EventTable table = kvr::BuildEventTable(kvr::ConfigRecord(file), list);
    std::vector<std::string> titles;
    for (const kvr::EventColumn& column : table.columns) titles.push_back(column.title);
    CsvLine(titles);
    for (const auto& row : table.rows) CsvLine(row);
    if (list == kvr::EventList::kPowerFailure) CsvLine({table.summary});
}

struct FileInfoArgs {
    std::string file;
    std::optional<std::string> alias, name, unit, colour;
    std::optional<int> channel, width, show;
    std::vector<float> yRange;
    std::vector<int> grid;
};

// "RRGGBB" as a COLORREF (0x00BBGGRR).
std::optional<std::uint32_t> ParseColour(const std::string& text) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    const std::uint32_t rgb = static_cast<std::uint32_t>(std::stoul(text, nullptr, 16));
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

// The channel options change the channel given by --channel (from 1); false when they
// cannot be applied, with the reason given.
bool ApplyChannel(const FileInfoArgs& args, kvr::FileInfo& info) {
    const bool any = args.name || args.unit || args.colour || args.width || args.show;
    if (!args.channel) {
        if (any) Fail(kUsageOrIo, "--name, --unit, --colour, --width and --show need --channel.");
        return !any;
    }
    const int count = static_cast<int>(info.channels.size());
    const int c = *args.channel - 1;
    if (c < 0 || c >= count) {
        Fail(kUsageOrIo, "--channel must be 1 to " + std::to_string(count) + ".");
        return false;
    }
    kvr::ChannelInfo& channel = info.channels[static_cast<std::size_t>(c)];
    if (channel.showState == kvr::kChannelNotInUse) {
        Fail(kUsageOrIo, "channel " + std::to_string(*args.channel) + " is not in use.");
        return false;
    }
    if (args.name) channel.name = *args.name;
    if (args.unit) channel.unit = *args.unit;
    if (args.colour) {
        const auto colour = ParseColour(*args.colour);
        if (!colour) {
            Fail(kUsageOrIo,
                 "--colour needs six hexadecimal digits RRGGBB, not \"" + *args.colour + "\".");
            return false;
        }
        channel.color = *colour;
    }
    if (args.width) {
        if (*args.width != 1 && *args.width != 2 && *args.width != 4 && *args.width != 8) {
            Fail(kUsageOrIo, "--width must be 1, 2, 4 or 8.");
            return false;
        }
        channel.lineWidth = *args.width;
    }
    if (args.show) channel.showState = *args.show;
    return true;
}

void FileInfo(const FileInfoArgs& args) {
    kvr::CXFile file;
    if (!OpenDataFile(file, args.file)) return;
    kvr::FileInfo info = kvr::ReadFileInfo(file);
    if (!ApplyChannel(args, info)) return;
    if (args.alias) info.alias = *args.alias;
    if (args.yRange.size() == 2) {
        info.yLow = args.yRange[0];
        info.yHigh = args.yRange[1];
    }
    if (args.grid.size() == 2) {
        info.gridCount1 = args.grid[0];
        info.gridCount2 = args.grid[1];
    }
    if (const auto message = kvr::SaveFileInfo(info, file)) Fail(kUsageOrIo, *message);
}

}  // namespace

void RegisterRecordCommands(CLI::App& app) {
    auto report = std::make_shared<std::pair<std::string, std::optional<int>>>();
    CLI::App* reportCommand = app.add_subcommand(
        "config-report", "Print the configuration report as its window shows it");
    reportCommand->add_option("file", report->first, "Data file")->required();
    reportCommand->add_option("--tab", report->second, "Only this tab, from 0");
    reportCommand->callback([report] { ConfigReport(report->first, report->second); });

    auto logs = std::make_shared<std::pair<std::string, std::string>>();
    CLI::App* logsCommand = app.add_subcommand("logs", "Print an event-log list as CSV");
    logsCommand->add_option("file", logs->first, "Data file")->required();
    logsCommand->add_option("--kind", logs->second, "alarm, power or operation")
        ->required()
        ->check(CLI::IsMember({"alarm", "power", "operation"}));
    logsCommand->callback([logs] { Logs(logs->first, logs->second); });

    auto info = std::make_shared<FileInfoArgs>();
    CLI::App* infoCommand = app.add_subcommand(
        "file-info", "Change the display settings and channel presentation of a file");
    infoCommand->add_option("file", info->file, "Data file")->required();
    infoCommand->add_option("--alias", info->alias, "Device alias (at most 28 bytes)");
    infoCommand->add_option("--channel", info->channel,
                            "Channel from 1 that the channel options change");
    infoCommand->add_option("--name", info->name,
                            "Channel name (channels 1 to 3, at most 15 bytes)");
    infoCommand->add_option(
        "--unit", info->unit,
        "Channel unit; the instrument decides it, so only the unit the file shows is accepted");
    infoCommand->add_option("--colour", info->colour, "Curve colour RRGGBB");
    infoCommand->add_option("--width", info->width, "Line width 1, 2, 4 or 8");
    infoCommand->add_option("--show", info->show, "Show the curve (1) or hide it (0)")
        ->check(CLI::IsMember({0, 1}));
    infoCommand->add_option("--y-range", info->yRange, "Value axis LOW HIGH")->expected(2);
    infoCommand->add_option("--grid", info->grid, "Grid divisions V H (1 to 100)")->expected(2);
    infoCommand->callback([info] { FileInfo(*info); });
}

}  // namespace kvrtool
