// Acquisition commands of kvrtool: acquire (headless realtime logging with the window's
// engine, alarm transitions written beside the history file) and recover (the records a
// killed acquisition left in its live buffer).
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "core/analysis/alarm_log.h"
#include "core/link/acquisition.h"
#include "core/link/link_texts.h"
#include "core/link/live_recovery.h"
#include "core/settings/profile.h"
#include "tools/kvrtool/commands.h"
#include "tools/kvrtool/interrupt_guard.h"
#include "tools/kvrtool/link_options.h"
#include "tools/kvrtool/output_target.h"
#include "tools/kvrtool/values_rows.h"

namespace kvrtool {
namespace {

struct AcquireOptions {
    LinkOptions link;
    std::string out;
    int records = 0;
    int interval = 0;  // 0: the display defaults' record interval
    bool force = false;
};

struct RecoverOptions {
    std::string temp, out;
    bool force = false;
};

void Fail(const std::string& sentence, int code = kUsageOrIo) {
    std::cerr << "kvrtool: " << sentence << '\n';
    exitCode = code;
}

int DefaultInterval() {
    const std::string text = kvr::ReadProfileString("ViewSetting", "RealtimeInterval", "");
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value >= 1 && value <= 86400 ? static_cast<int>(value) : kvr::ViewDef{}.realtimeInterval;
}

void PrintRecord(const kvr::CXFile& file, int index) {
    const kvr::Time t = file.GetStartTime() + static_cast<kvr::Time>(index) * file.GetInterval();
    std::cout << ValuesRow(file, t, false) << '\n' << std::flush;
}

// The alarm transitions of each new record, into NAME.alarms.csv. A failed write is told
// once and fails the command at the end; the recording goes on.
class AlarmFile {
public:
    AlarmFile(const kvr::CXFile& file, std::string path)
        : recorder_(file), path_(std::move(path)) {}
    std::optional<std::string> Open(bool replace) { return recorder_.Open(path_, replace); }
    void Record(const kvr::CXFile& file, int index) {
        if (failed_ || recorder_.Record(file, index)) return;
        failed_ = true;
        Fail("cannot write " + path_ + ": " + std::strerror(errno) + ".");
    }

private:
    kvr::AlarmRecorder recorder_;
    std::string path_;
    bool failed_ = false;
};

void SaveRecorded(kvr::Acquisition& acquisition, const std::string& out) {
    if (acquisition.RecordCount() == 0) return;
    if (!acquisition.Save(out)) Fail(std::string(kvr::texts::kSaveFileFailed) + " " + out);
}

// The live buffer a new acquisition would replace: records nobody saved are never lost,
// and a file that is no buffer at all goes only with --force.
bool MayReplaceBuffer(const std::string& buffer, bool force) {
    switch (kvr::InspectLiveBuffer(buffer)) {
        case kvr::LiveBufferState::kAbsent:
        case kvr::LiveBufferState::kEmpty: return true;
        case kvr::LiveBufferState::kNotLiveBuffer: return MayWrite(buffer, force);
        case kvr::LiveBufferState::kInUse:
            Fail(buffer + " is the live buffer of an acquisition that is still running.");
            return false;
        case kvr::LiveBufferState::kHoldsRecords:
            Fail(buffer +
                 " holds the records of an earlier acquisition; save them with "
                 "\"kvrtool recover '" +
                 buffer + "' --out FILE\" before acquiring into it again.");
            return false;
    }
    return false;
}

// Refuses before anything is read from the instrument: the history file and the alarm
// file are only replaced with --force, an earlier run's buffer with records never.
bool OutputsFree(const AcquireOptions& o) {
    return MayWrite(o.out, o.force) && MayWrite(kvr::AlarmLogPath(o.out), o.force) &&
           MayReplaceBuffer(o.out + ".tmp", o.force);
}

void RunAcquire(const AcquireOptions& o) {
    if (o.records < 1) return Fail("--records must be at least 1.");
    if (!OutputsFree(o)) return;
    kvr::ViewDef view;
    view.realtimeInterval = o.interval > 0 ? o.interval : DefaultInterval();
    auto acquisition = std::make_unique<kvr::Acquisition>();
    acquisition->SetParams(ToParam(o.link));
    acquisition->SetViewDef(view);
    acquisition->SetDelayScale(o.link.delayScale);
    acquisition->SetTempFilePath(o.out + ".tmp");

    InterruptGuard guard;
    std::atomic<bool> cancel{false};
    // A signal during the configuration read cancels it: nothing was recorded yet.
    std::thread watcher([&] {
        while (!cancel && !Interrupted())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cancel = true;
    });
    kvr::StartResult started = acquisition->ReadConfiguration(nullptr, cancel);
    if (started.status == kvr::StartStatus::kStarted) started = acquisition->BeginPolling();
    cancel = true;
    watcher.join();
    if (started.status == kvr::StartStatus::kCancelled) return;
    if (started.status != kvr::StartStatus::kStarted) return Fail(started.message);

    const kvr::CXFile& file = acquisition->File();
    AlarmFile alarms(file, kvr::AlarmLogPath(o.out));
    if (auto problem = alarms.Open(o.force)) {
        acquisition->Stop();
        return Fail(*problem);
    }
    std::cout << ValuesHeaderLine(file) << '\n';
    PrintRecord(file, 0);
    alarms.Record(file, 0);
    auto next = std::chrono::steady_clock::now();
    std::string lost;
    while (acquisition->RecordCount() < o.records && !Interrupted()) {
        next += std::chrono::seconds(view.realtimeInterval);
        SleepUntil(next);
        if (Interrupted()) break;
        const kvr::TickResult tick = acquisition->RecordTick();
        if (tick.index >= 0) {
            PrintRecord(file, tick.index);
            alarms.Record(file, tick.index);
        }
        if (tick.status == kvr::TickStatus::kCommunicationLost) lost = tick.message;
        if (tick.status != kvr::TickStatus::kRecorded) break;
    }
    const std::string stopMessage = acquisition->Stop();
    if (!stopMessage.empty()) std::cerr << stopMessage << '\n';
    SaveRecorded(*acquisition, o.out);
    if (!lost.empty()) {
        std::cerr << lost << '\n';
        exitCode = kUsageOrIo;
    }
    // Closing the live file removes the buffer. After a failed save it must stay for
    // "recover", so the engine is left to the end of the process instead.
    if (!acquisition->IsSaved()) (void)acquisition.release();
}

void RunRecover(const RecoverOptions& o) {
    const std::string& temp = o.temp;
    const std::string& out = o.out;
    if (!MayWrite(out, o.force, {temp})) return;
    const kvr::RecoverResult result = kvr::RecoverLiveBuffer(temp, out);
    switch (result.status) {
        case kvr::RecoverStatus::kSaved:
            std::cout << "recovered: " << result.records.count << " records, "
                      << kvr::FormatTime(result.records.start) << " => "
                      << kvr::FormatTime(result.records.end) << '\n';
            return;
        case kvr::RecoverStatus::kNotLiveBuffer:
            return Fail(temp + " is not the live buffer of an acquisition.", kUnsupported);
        case kvr::RecoverStatus::kNoRecords: return Fail(temp + " holds no record.", kNotFound);
        case kvr::RecoverStatus::kWriteFailed:
            return Fail(std::string(kvr::texts::kSaveFileFailed) + " " + out);
    }
}

}  // namespace

void RegisterAcquireCommands(CLI::App& app) {
    auto acquire = std::make_shared<AcquireOptions>();
    CLI::App* command =
        app.add_subcommand("acquire", "Record the instrument's current values into a history file");
    AddLinkOptions(command, acquire->link);
    command->add_option("--out", acquire->out, "history file to save")->required();
    command->add_option("--records", acquire->records, "records to take")->required();
    command
        ->add_option("--interval", acquire->interval,
                     "seconds between records (default: the display defaults)")
        ->check(CLI::Range(1, 86400));
    AddForceFlag(command, acquire->force, "--out and its alarm file NAME.alarms.csv");
    command->callback([acquire] { RunAcquire(*acquire); });

    auto options = std::make_shared<RecoverOptions>();
    CLI::App* recover =
        app.add_subcommand("recover", "Save the records a killed acquisition left in its buffer");
    recover->add_option("temp", options->temp, "live buffer (FILE.tmp, temp.tmp)")->required();
    recover->add_option("--out", options->out, "history file to save")->required();
    AddForceFlag(recover, options->force, "--out");
    recover->callback([options] { RunRecover(*options); });
}

}  // namespace kvrtool
