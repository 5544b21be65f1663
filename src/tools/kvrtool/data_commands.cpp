// Data-file commands of kvrtool: make-sample, info, values, hourly, tags, tag-add,
// tag-delete, find, config.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "core/datafile/time.h"
#include "tools/kvrtool/commands.h"
#include "tools/kvrtool/config_printer.h"
#include "tools/kvrtool/data_file_args.h"
#include "tools/kvrtool/output_target.h"
#include "tools/kvrtool/values_rows.h"

namespace kvrtool {
namespace {

using json = nlohmann::ordered_json;

// The shortest decimal that reads back as the same float, so 1.6f prints as 1.6.
double JsonFloat(float value) {
    if (!std::isfinite(value)) return 0.0;
    char text[32];
    for (int precision = 6; precision <= 9; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value) break;
    }
    return std::strtod(text, nullptr);
}

// Hourly entries that lie inside the file: a damaged count must not print billions of rows.
std::uint32_t HourlyRows(const kvr::CXFile& file) {
    const kvr::FileHeader& h = file.Header();
    const std::uint64_t hourly =
        kvr::kHeaderSize + static_cast<std::uint64_t>(file.GetConfigSize()) +
        static_cast<std::uint64_t>(h.channelCount) * h.records.byte18 * h.records.count;
    if (hourly >= file.MappedSize()) return 0;
    const std::uint64_t present = (file.MappedSize() - hourly) / 8;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(present, h.hourly.count));
}

// ---------------------------------------------------------------------------------------

struct MakeSampleArgs {
    std::string out;
    std::string start = "2026-01-05 00:00:00";
    kvr::SampleOptions options;
    bool force = false;
};

void MakeSample(const MakeSampleArgs& args) {
    kvr::SampleOptions options = args.options;
    const std::optional<kvr::Time> start = TimeOption(args.start, "--start");
    if (!start) return;
    options.start = *start;
    if (!MayWrite(args.out, args.force)) return;
    std::string error;
    if (!kvr::WriteSampleFile(args.out, options, &error)) Fail(kUsageOrIo, error + ".");
}

json ChannelJson(const kvr::CXFile& file, int c) {
    const kvr::ChannelDescriptor& d = file.Header().channels[c];
    return {{"name", file.GetChannelName(c)},
            {"unit", file.GetChannelUnit(c)},
            {"range_low", JsonFloat(file.GetRangeLow(c))},
            {"range_high", JsonFloat(file.GetRangeHigh(c))},
            {"alarm_low_low", JsonFloat(file.GetAlarmLowLow(c))},
            {"alarm_high_high", JsonFloat(file.GetAlarmHighHigh(c))},
            {"alarm_low", JsonFloat(file.GetAlarmLow(c))},
            {"alarm_high", JsonFloat(file.GetAlarmHigh(c))},
            {"hysteresis", JsonFloat(file.GetHysteresis(c))},
            {"signal_type", d.signalType},
            {"show_state", d.showState},
            {"color", d.color},
            {"line_width", d.lineWidth},
            {"base_total", file.GetBaseTotal(c)},
            {"format", file.GetValueFormat(c)}};
}

void Info(const std::string& path) {
    kvr::CXFile file;
    if (!OpenDataFile(file, path)) return;
    const kvr::FileHeader& h = file.Header();
    json tags = json::array();
    for (int j = 0; j < file.GetTagCount(); ++j) tags.push_back(kvr::FormatTime(file.GetTag(j)));
    json channels = json::array();
    for (int c = 0; c < file.GetChannelCount(); ++c) channels.push_back(ChannelJson(file, c));
    json info = {
        {"identification",
         std::string(h.identification, strnlen(h.identification, sizeof h.identification))},
        {"version", file.GetVersion()},
        {"config_size", file.GetConfigSize()},
        {"device_name", file.GetDeviceName()},
        {"address", file.GetAddress()},
        {"interval", file.GetInterval()},
        {"channel_count", file.GetChannelCount()},
        {"record_count", file.GetRecordCount()},
        {"capacity", h.records.count},
        {"start", kvr::FormatTime(file.GetStartTime())},
        {"end", kvr::FormatTime(file.GetEndTime())},
        {"hourly",
         {{"first", kvr::FormatTime(h.hourly.first)},
          {"last", kvr::FormatTime(h.hourly.last)},
          {"count", h.hourly.count}}},
        {"tags", tags},
        {"totals", {{"flow", h.flowTotal}, {"heat", h.heatTotal}}},
        {"display",
         {{"x_mode", h.xMode},
          {"y_mode", h.yMode},
          {"y_low", JsonFloat(h.yLow)},
          {"y_high", JsonFloat(h.yHigh)},
          {"grid_v", h.gridCount1},
          {"grid_h", h.gridCount2},
          {"grid_color", h.gridColor},
          {"background_color", h.backgroundColor},
          {"show_grid", h.showGrid}}},
        {"channels", channels}};
    if (file.IsDamaged()) {
        info["damaged"] = true;
        info["whole_records"] = file.GetWholeRecords();
    }
    std::cout << info.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
}

struct ValuesArgs {
    std::string file, from, to;
    int step = 1;
    bool percent = false;
};

void Values(const ValuesArgs& args) {
    kvr::CXFile file;
    if (!OpenDataFile(file, args.file)) return;
    const auto from = TimeOption(args.from, "--from", file.GetStartTime());
    if (!from) return;
    const auto to = TimeOption(args.to, "--to", file.GetEndTime());
    if (!to) return;
    std::cout << ValuesHeaderLine(file) << '\n';
    const kvr::Time step = static_cast<kvr::Time>(args.step) * file.GetInterval();
    for (kvr::Time t = *from; t <= *to; t += step)
        std::cout << ValuesRow(file, t, args.percent) << '\n';
}

void Hourly(const std::string& path) {
    kvr::CXFile file;
    if (!OpenDataFile(file, path)) return;
    std::cout << "hour,total\n";
    const std::uint32_t rows = HourlyRows(file);
    for (std::uint32_t k = 0; k < rows; ++k) {
        const kvr::Time hour = file.Header().hourly.first + static_cast<kvr::Time>(k) * 3600;
        double total = 0.0;
        if (file.GetHourTotal(0, hour, &total) != 1) total = 0.0;
        std::cout << kvr::FormatTime(hour) << ',' << static_cast<long long>(total) << '\n';
    }
}

void Tags(const std::string& path) {
    kvr::CXFile file;
    if (!OpenDataFile(file, path)) return;
    std::cout << "index,time\n";
    for (int j = 0; j < file.GetTagCount(); ++j)
        std::cout << j << ',' << kvr::FormatTime(file.GetTag(j)) << '\n';
}

void TagAdd(const std::string& path, const std::string& when) {
    kvr::CXFile file;
    if (!OpenDataFile(file, path)) return;
    const auto t = TimeOption(when, "the tag");
    if (!t) return;
    if (const char* refusal = file.EditRefusal())
        Fail(kUsageOrIo, path + ": " + refusal);
    else if (file.GetTagCount() >= kvr::kMaxTags)
        Fail(kUsageOrIo, path + " already holds 255 tags.");
    else if (*t < file.GetStartTime() || *t > file.GetEndTime())
        Fail(kUsageOrIo, "the tag time " + when + " lies outside the recording.");
    else if (file.AddTag(*t) != 1)
        Fail(kUsageOrIo, "cannot write the tag to " + path + ".");
}

void TagDelete(const std::string& path, int index) {
    kvr::CXFile file;
    if (!OpenDataFile(file, path)) return;
    if (const char* refusal = file.EditRefusal())
        Fail(kUsageOrIo, path + ": " + refusal);
    else if (index < 0 || index >= file.GetTagCount() || file.DeleteTag(index) != 1)
        Fail(kUsageOrIo, path + " has no tag " + std::to_string(index) + ".");
}

struct FindArgs {
    std::string file, from;
    float value = 0.0f;
    float tolerance = 0.0f;
    int channel = 0;
    bool backward = false;
};

void Find(const FindArgs& args) {
    kvr::CXFile file;
    if (!OpenDataFile(file, args.file)) return;
    if (args.channel < 0 || args.channel > file.GetChannelCount()) {
        Fail(kUsageOrIo, "--channel must be 1 to " + std::to_string(file.GetChannelCount()) + ".");
        return;
    }
    kvr::FindRequest request;
    request.target = args.value;
    request.tolerance = args.tolerance;
    request.direction = args.backward ? 1 : 0;
    request.channel = args.channel;
    const auto from =
        TimeOption(args.from, "--from", args.backward ? file.GetEndTime() : file.GetStartTime());
    if (!from) return;
    request.time = *from;
    file.FindValue(&request);
    if (request.time == 0) {
        std::cerr << "kvrtool: no value matches.\n";
        exitCode = kNotFound;
        return;
    }
    std::cout << kvr::FormatTime(request.time) << '\n';
}

void Config(const std::string& path) {
    kvr::CXFile file;
    if (!OpenDataFile(file, path)) return;
    PrintConfiguration(file, std::cout);
}

}  // namespace

void RegisterDataCommands(CLI::App& app) {
    auto sample = std::make_shared<MakeSampleArgs>();
    CLI::App* make = app.add_subcommand("make-sample",
                                        "Write a data file with realistic, deterministic content");
    make->add_option("out", sample->out, "File to write")->required();
    make->add_option("--records", sample->options.records, "Record count (default 1440)");
    make->add_option("--interval", sample->options.interval,
                     "Record interval in seconds (default 60)");
    make->add_option("--start", sample->start, "Start time \"YYYY-MM-DD HH:MM:SS\"");
    make->add_option("--version", sample->options.version, "Format version 1002, 1003 or 1004");
    make->add_option("--tags", sample->options.tags, "Tag count (default 3)");
    make->add_option("--seed", sample->options.seed, "Seed of the generated curves (default 1)");
    AddForceFlag(make, sample->force, "OUT");
    make->callback([sample] { MakeSample(*sample); });

    auto infoPath = std::make_shared<std::string>();
    CLI::App* info = app.add_subcommand("info", "Print the header of a data file as JSON");
    info->add_option("file", *infoPath, "Data file")->required();
    info->callback([infoPath] { Info(*infoPath); });

    auto values = std::make_shared<ValuesArgs>();
    CLI::App* valuesCommand = app.add_subcommand("values", "Print the samples as CSV");
    valuesCommand->add_option("file", values->file, "Data file")->required();
    valuesCommand->add_option("--from", values->from, "First moment (default: the file start)");
    valuesCommand->add_option("--to", values->to, "Last moment (default: the file end)");
    valuesCommand->add_option("--step", values->step, "Step in record intervals (default 1)")
        ->check(CLI::PositiveNumber);
    valuesCommand->add_flag("--percent", values->percent, "Print the percent of range");
    valuesCommand->callback([values] { Values(*values); });

    auto hourlyPath = std::make_shared<std::string>();
    CLI::App* hourly = app.add_subcommand("hourly", "Print the hourly totals as CSV");
    hourly->add_option("file", *hourlyPath, "Data file")->required();
    hourly->callback([hourlyPath] { Hourly(*hourlyPath); });

    auto tagsPath = std::make_shared<std::string>();
    CLI::App* tags = app.add_subcommand("tags", "List the tags");
    tags->add_option("file", *tagsPath, "Data file")->required();
    tags->callback([tagsPath] { Tags(*tagsPath); });

    auto tagAdd = std::make_shared<std::pair<std::string, std::string>>();
    CLI::App* add = app.add_subcommand("tag-add", "Add a tag at a time of the recording");
    add->add_option("file", tagAdd->first, "Data file")->required();
    add->add_option("time", tagAdd->second, "Tag time \"YYYY-MM-DD HH:MM:SS\"")->required();
    add->callback([tagAdd] { TagAdd(tagAdd->first, tagAdd->second); });

    auto tagDelete = std::make_shared<std::pair<std::string, int>>();
    CLI::App* remove = app.add_subcommand("tag-delete", "Delete the tag with an index from 0");
    remove->add_option("file", tagDelete->first, "Data file")->required();
    remove->add_option("index", tagDelete->second, "Tag index")->required();
    remove->callback([tagDelete] { TagDelete(tagDelete->first, tagDelete->second); });

    auto find = std::make_shared<FindArgs>();
    CLI::App* findCommand =
        app.add_subcommand("find", "Find the first moment a channel shows a value");
    findCommand->add_option("file", find->file, "Data file")->required();
    findCommand->add_option("--value", find->value, "Value to find")->required();
    findCommand->add_option("--tolerance", find->tolerance, "Accepted difference (default 0)");
    findCommand->add_option("--channel", find->channel, "Channel from 1 (default: every channel)");
    findCommand->add_option("--from", find->from,
                            "Where to start (default: the file start, or end)");
    findCommand->add_flag("--backward", find->backward, "Search towards the start");
    findCommand->callback([find] { Find(*find); });

    auto configPath = std::make_shared<std::string>();
    CLI::App* config = app.add_subcommand("config", "Print the instrument configuration by field");
    config->add_option("file", *configPath, "Data file")->required();
    config->callback([configPath] { Config(*configPath); });
}

}  // namespace kvrtool
