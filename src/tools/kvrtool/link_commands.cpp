// Link commands of kvrtool: scan, read-memory and upload, each with the serial parameters
// of the serial-parameter dialog (same defaults).
#include <signal.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"
#include "core/datafile/time.h"
#include "core/link/cxlink.h"
#include "core/link/instrument_scan.h"
#include "core/link/link_texts.h"
#include "core/link/realtime_config.h"
#include "core/link/upload_session.h"
#include "tools/kvrtool/commands.h"
#include "tools/kvrtool/data_file_args.h"
#include "tools/kvrtool/link_options.h"
#include "tools/kvrtool/output_target.h"

namespace kvrtool {
namespace {

void Fail(const std::string& sentence) {
    std::cerr << "kvrtool: " << sentence << '\n';
    exitCode = kUsageOrIo;
}

// ---------------------------------------------------------------------------------------

void RunScan(const LinkOptions& o) {
    const kvr::ComParam param = ToParam(o);
    kvr::CXLink link;
    link.SetDelayScale(o.delayScale);
    kvr::CXFile file;
    const kvr::ScanResult scan = kvr::ScanInstrument(link, param, file);
    if (!scan.timeParameters) {
        Fail(!scan.message.empty() ? scan.message : scan.rangeText);
        return;
    }
    std::string identification = scan.identification;
    if (scan.rtuFamily) {
        // The RTU scan does not identify; ask, for the reader's sake.
        char id[kvr::CXLink::kIdentificationSize + 1] = {};
        if (link.Identify(id)) identification = id;
    }
    std::cout << "family: "
              << (scan.rtuFamily     ? "rtu"
                  : scan.family == 0 ? "ascii0"
                                     : "ascii1")
              << '\n';
    std::cout << "identification: " << identification << '\n';
    const kvr::FirmwareFormat format = kvr::FormatForIdentification(identification.c_str());
    if (format.version != 0)
        std::cout << "realtime format: " << format.magic << " (configuration " << format.configSize
                  << " bytes)\n";
    std::cout << "interval: " << scan.interval << '\n';
    std::cout << "oldest: " << kvr::FormatTime(scan.oldest) << '\n';
    std::cout << "newest: " << kvr::FormatTime(scan.newest) << '\n';
    if (!scan.rtuFamily) std::cout << "record counter: " << scan.recordCounter << '\n';
}

// ---------------------------------------------------------------------------------------

struct ReadOptions {
    std::string start = "0";
    std::string length = "0";
    bool ascii = false;
    bool param = false;
};

std::optional<unsigned> Number(const std::string& text, unsigned limit, const std::string& option) {
    try {
        std::size_t used = 0;
        const unsigned long value = std::stoul(text, &used, 0);
        if (used == text.size() && value <= limit) return static_cast<unsigned>(value);
    } catch (const std::exception&) {
    }
    Fail(option + " needs a number from 0 to " + std::to_string(limit) +
         " (0x prefix for hex), not \"" + text + "\".");
    return std::nullopt;
}

void RunReadMemory(const LinkOptions& o, const ReadOptions& r) {
    const auto start = Number(r.start, 0xFFFF, "--start");
    const auto length = start ? Number(r.length, 0xFFFF, "--length") : std::nullopt;
    if (!start || !length) return;
    if (*length == 0) return Fail("--length must be at least 1.");
    kvr::CXLink link;
    link.SetDelayScale(o.delayScale);
    if (!link.Connect(ToParam(o)))
        return Fail(std::string(kvr::texts::kOpenPortFailed) + " " + link.Port().LastError());
    std::vector<std::uint8_t> bytes(*length);
    const auto s = static_cast<std::uint16_t>(*start);
    const auto n = static_cast<std::uint16_t>(*length);
    const int ok = r.ascii   ? link.ReadMemoryAscii(s, n, bytes)
                   : r.param ? link.ReadParam(s, n, bytes)
                             : link.ReadMemory(s, n, bytes);
    if (!ok) return Fail(kvr::texts::kCommunicationFailed);
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", bytes[i]);
        line += hex;
    }
    std::cout << line << '\n';
}

// ---------------------------------------------------------------------------------------

volatile std::sig_atomic_t interrupted = 0;
void OnInterrupt(int) { interrupted = 1; }

class StderrSink : public kvr::UploadSink {
public:
    void SetProgressRange(int high) override { high_ = high; }
    void SetProgress(int position) override { position_ = position; }
    void SetRemainingText(const std::string& text) override {
        if (!text.empty())
            std::cerr << "kvrtool: " << position_ << "/" << high_ << " " << text << '\n';
    }
    void Finished(const kvr::UploadOutcome& outcome) override {
        std::lock_guard lock(mutex_);
        outcome_ = outcome;
        changed_.notify_all();
    }
    // Waits for the end, cancelling the upload on Ctrl+C or SIGTERM.
    kvr::UploadOutcome Wait(kvr::UploadSession& session) {
        std::unique_lock lock(mutex_);
        while (!outcome_) {
            if (interrupted) session.Cancel();
            changed_.wait_for(lock, std::chrono::milliseconds(100));
        }
        return *outcome_;
    }

private:
    int high_ = 0;
    int position_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<kvr::UploadOutcome> outcome_;
};

class StderrProgress : public kvr::LinkProgress {
public:
    void SetText(const std::string& text) override { std::cerr << "kvrtool: " << text << '\n'; }
};

struct UploadOptions {
    std::string out;
    bool force = false;
    bool all = false;
    std::string from, to;
};

void RunUpload(const LinkOptions& o, const UploadOptions& u) {
    if (!u.all && (u.from.empty() != u.to.empty())) return Fail("--from and --to go together.");
    if (!MayWrite(u.out, u.force)) return;
    kvr::UploadSession session;
    session.SetParams(ToParam(o));
    session.Link().SetDelayScale(o.delayScale);
    const kvr::ScanResult scan = session.Scan();
    if (!scan.timeParameters) return Fail(!scan.message.empty() ? scan.message : scan.rangeText);

    kvr::UploadChoice choice{u.all, scan.pickerStart, scan.pickerEnd};
    if (!u.all && !u.from.empty()) {
        const auto from = TimeOption(u.from, "--from");
        const auto to = from ? TimeOption(u.to, "--to") : std::nullopt;
        if (!from || !to) return;
        choice.start = *from;
        choice.end = *to;
    }
    const kvr::PreparedRange range = session.Prepare(choice);
    if (!range.ok) return Fail(range.message);
    std::cerr << "kvrtool: uploading " << kvr::FormatTime(range.start) << " .. "
              << kvr::FormatTime(range.end) << '\n';

    // Ctrl+C from here on cancels: the configuration read runs to its end, then nothing is
    // kept; an existing file at --out is only ever replaced by a complete upload.
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    struct sigaction oldInt {
    }, oldTerm{};
    sigaction(SIGINT, &action, &oldInt);
    sigaction(SIGTERM, &action, &oldTerm);
    auto restoreSignals = [&] {
        sigaction(SIGINT, &oldInt, nullptr);
        sigaction(SIGTERM, &oldTerm, nullptr);
    };
    std::string message;
    StderrProgress progress;
    if (!session.ReadConfiguration(u.out, &progress, &message)) {
        restoreSignals();
        return Fail(message);
    }
    if (interrupted) {
        session.File().Close();
        restoreSignals();
        return Fail("upload cancelled; " + u.out + " not written.");
    }
    StderrSink sink;
    kvr::UploadOutcome outcome;
    if (session.Start(sink, &message)) {
        outcome = sink.Wait(session);
        session.Wait();
    } else {
        outcome.status = kvr::UploadOutcome::kFailed;
        outcome.message = message;
    }
    restoreSignals();

    switch (outcome.status) {
        case kvr::UploadOutcome::kCompleted: std::cerr << outcome.message << '\n'; break;
        case kvr::UploadOutcome::kCancelled:
            Fail("upload cancelled; " + u.out + " not written.");
            break;
        case kvr::UploadOutcome::kFailed:
            Fail(outcome.message + " " + u.out + " not written.");
            break;
    }
}

}  // namespace

void RegisterLinkCommands(CLI::App& app) {
    {
        auto* command =
            app.add_subcommand("scan", "identify the instrument and show the time range it holds");
        auto link = std::make_shared<LinkOptions>();
        AddLinkOptions(command, *link);
        command->callback([link] { RunScan(*link); });
    }
    {
        auto* command =
            app.add_subcommand("read-memory", "read instrument memory and print it as hex bytes");
        auto link = std::make_shared<LinkOptions>();
        auto read = std::make_shared<ReadOptions>();
        AddLinkOptions(command, *link);
        command->add_option("--start", read->start, "start address (byte address; 0x for hex)")
            ->required();
        command->add_option("--length", read->length, "number of bytes")->required();
        auto* ascii =
            command->add_flag("--ascii", read->ascii, "use the ASCII framing (function 0x03)");
        command->add_flag("--param", read->param, "read parameter memory (RTU function 0x16)")
            ->excludes(ascii);
        command->callback([link, read] { RunReadMemory(*link, *read); });
    }
    {
        auto* command = app.add_subcommand("upload", "upload stored history into a new data file");
        auto link = std::make_shared<LinkOptions>();
        auto upload = std::make_shared<UploadOptions>();
        AddLinkOptions(command, *link);
        command->add_option("--out", upload->out, "the file to write")->required();
        AddForceFlag(command, upload->force, "--out (only by a complete upload)");
        auto* all = command->add_flag("--all", upload->all, "everything the instrument holds");
        command->add_option("--from", upload->from, "first time, \"YYYY-MM-DD HH:MM:SS\"")
            ->excludes(all);
        command->add_option("--to", upload->to, "last time, \"YYYY-MM-DD HH:MM:SS\"")
            ->excludes(all);
        command->callback([link, upload] { RunUpload(*link, *upload); });
    }
}

}  // namespace kvrtool
