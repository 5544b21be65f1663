// kvrtool collect: unattended collection from many instruments on shared buses, one bus
// thread per port and one live buffer per instrument, until SIGTERM or SIGINT.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/analysis/alarm_log.h"
#include "core/link/bus_station.h"
#include "core/link/bus_thread.h"
#include "tools/kvrtool/collect_config.h"
#include "tools/kvrtool/collect_status.h"
#include "tools/kvrtool/commands.h"
#include "tools/kvrtool/interrupt_guard.h"
#include "tools/kvrtool/link_options.h"

namespace kvrtool {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kStatusPeriod = std::chrono::seconds(10);
// The longest the recording loop sleeps before it looks at every station again.
constexpr auto kLongestWait = std::chrono::milliseconds(100);

struct CollectOptions {
    std::string config;
    std::string statusDir;
    int delayScale = 100;
    // For tests: the calendar time the collector takes as now is this far ahead, and a file
    // holds at most this many records (0: as many as the buffer holds).
    long clockOffset = 0;
    int recordsPerFile = 0;
};

void Fail(const std::string& sentence) {
    std::cerr << "kvrtool: " << sentence << '\n';
    exitCode = kUsageOrIo;
}

bool MakeFolder(const std::string& path) {
    struct stat info {};
    return ::mkdir(path.c_str(), 0755) == 0 ||
           (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
}

kvr::ComParam LineParams(const CollectInstrument& instrument) {
    LinkOptions link;
    link.port = instrument.port;
    link.baud = instrument.baud;
    link.address = instrument.address;
    kvr::ComParam param = ToParam(link);
    param.parity = instrument.parity;
    return param;
}

class Collector {
public:
    Collector(const CollectConfig& config, const CollectOptions& options)
        : config_(config), options_(options) {}

    bool Prepare() {
        if (!MakeFolder(config_.dir)) {
            Fail("cannot create " + config_.dir);
            return false;
        }
        std::map<std::string, std::vector<kvr::BusStation*>> buses;
        for (const CollectInstrument& instrument : config_.instruments) {
            kvr::StationSettings settings;
            settings.name = instrument.name;
            settings.folder = config_.dir + "/" + instrument.name;
            settings.address = instrument.address;
            settings.interval = instrument.interval;
            settings.rotateHour = config_.rotateHour;
            settings.reconnectSec = config_.reconnect;
            settings.recordsPerFile = options_.recordsPerFile;
            settings.realtimeOnly = instrument.family == "realtime";
            if (!MakeFolder(settings.folder)) {
                Fail("cannot create " + settings.folder);
                return false;
            }
            stations_.push_back(std::make_unique<kvr::BusStation>(settings));
            stations_.back()->SetRecordObserver(AlarmsOf(instrument.name));
            // What a killed collector left is in a history file before polling begins.
            for (const std::string& recovered : stations_.back()->RecoverBuffers())
                std::cout << "recovered: " << recovered << '\n' << std::flush;
            buses[instrument.port].push_back(stations_.back().get());
        }
        for (auto& [port, stations] : buses) {
            const CollectInstrument& first = config_.instruments[IndexOf(stations.front())];
            buses_.push_back(
                std::make_unique<kvr::BusThread>(LineParams(first), stations, options_.delayScale));
        }
        return true;
    }

    void Run() {
        for (auto& bus : buses_) bus->Start();
        auto nextStatus = Clock::now();
        while (!Interrupted()) {
            const auto now = Clock::now();
            const kvr::Time wall = std::time(nullptr) + options_.clockOffset;
            auto next = now + kLongestWait;
            for (auto& station : stations_) {
                station->Step(now, wall);
                next = std::min(next, station->NextDue());
            }
            if (now >= nextStatus) {
                WriteStatus(wall);
                nextStatus = now + kStatusPeriod;
            }
            SleepUntil(std::min(next, nextStatus));
        }
        // No poll may run while the files are finished.
        for (auto& bus : buses_) bus->Stop();
        for (auto& station : stations_) station->Finish();
        WriteStatus(std::time(nullptr) + options_.clockOffset);
    }

private:
    // Each history file gets its alarm file beside it (NAME-...-HHMMSS.alarms.csv), with a
    // monitor that starts afresh: an alarm still raised shows again in the next file.
    kvr::BusStation::RecordObserver AlarmsOf(const std::string& name) {
        auto recorder = std::make_shared<std::unique_ptr<kvr::AlarmRecorder>>();
        return [recorder, name](const kvr::CXFile& file, int index, const std::string& history) {
            if (index == 0) {
                *recorder = std::make_unique<kvr::AlarmRecorder>(file);
                const std::string path = kvr::AlarmLogPath(history);
                if (auto problem = (*recorder)->Open(path, false)) {
                    std::cerr << name << ": " << *problem << '\n';
                    recorder->reset();
                }
            }
            if (*recorder && !(*recorder)->Record(file, index)) {
                std::cerr << name << ": cannot write " << kvr::AlarmLogPath(history) << ": "
                          << std::strerror(errno) << ".\n";
                recorder->reset();
            }
        };
    }

    std::size_t IndexOf(const kvr::BusStation* station) const {
        for (std::size_t i = 0; i < stations_.size(); ++i)
            if (stations_[i].get() == station) return i;
        return 0;
    }

    void WriteStatus(kvr::Time wall) {
        std::vector<StatusEntry> entries;
        for (std::size_t i = 0; i < stations_.size(); ++i) {
            const CollectInstrument& instrument = config_.instruments[i];
            entries.push_back(
                {instrument.name, instrument.port, instrument.address, stations_[i]->Status()});
        }
        // Said once: a full disk would otherwise fill the log as well.
        if (WriteStatusFile(config_.dir, wall, entries) || statusFailed_) return;
        std::cerr << "kvrtool: cannot write " << config_.dir << "/status.json\n";
        statusFailed_ = true;
    }

    const CollectConfig& config_;
    const CollectOptions& options_;
    // The bus threads go before the stations they poll.
    std::vector<std::unique_ptr<kvr::BusStation>> stations_;
    std::vector<std::unique_ptr<kvr::BusThread>> buses_;
    bool statusFailed_ = false;
};

void RunCollect(const CollectOptions& o) {
    if (!o.statusDir.empty()) {
        std::string error;
        if (!PrintStatusTable(o.statusDir, std::cout, &error)) Fail(error);
        return;
    }
    if (o.config.empty()) return Fail("--config FILE or --status DIR is required.");
    std::string error;
    const std::optional<CollectConfig> config = ReadCollectConfig(o.config, &error);
    if (!config) return Fail(o.config + ": " + error);
    InterruptGuard guard;
    Collector collector(*config, o);
    if (!collector.Prepare()) return;
    collector.Run();
}

}  // namespace

void RegisterCollectCommands(CLI::App& app) {
    auto options = std::make_shared<CollectOptions>();
    CLI::App* command = app.add_subcommand(
        "collect", "Record many instruments on shared serial buses until SIGTERM or SIGINT");
    CLI::Option* config =
        command
            ->add_option("--config", options->config, "INI file: [collect] and [instrument NAME]")
            ->check(CLI::ExistingFile);
    command
        ->add_option("--status", options->statusDir,
                     "print the status of the collector writing into DIR, and end")
        ->excludes(config);
    command
        ->add_option("--delay-scale", options->delayScale,
                     "percent of the protocol's fixed waits (a simulator needs none)")
        ->check(CLI::Range(0, 1000))
        ->capture_default_str();
    command->add_option("--clock-offset", options->clockOffset)->group("");
    command->add_option("--records-per-file", options->recordsPerFile)
        ->check(CLI::NonNegativeNumber)
        ->group("");
    command->callback([options] { RunCollect(*options); });
}

}  // namespace kvrtool
