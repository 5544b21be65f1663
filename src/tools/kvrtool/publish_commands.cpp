// kvrtool publish: every record of the followed files to an MQTT broker, one connection per
// instrument, until SIGTERM or SIGINT. kvrtool subscribe: what a site publishes back into
// history files per instrument (an archive, and the round-trip check).
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/publish/message_journal.h"
#include "core/publish/publisher.h"
#include "core/publish/record_archive.h"
#include "core/publish/source_follower.h"
#include "tools/kvrtool/broker_options.h"
#include "tools/kvrtool/commands.h"
#include "tools/kvrtool/data_file_args.h"
#include "tools/kvrtool/interrupt_guard.h"

namespace kvrtool {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kScanPeriod = std::chrono::seconds(1);
constexpr auto kRefreshPeriod = std::chrono::milliseconds(200);
constexpr auto kLongestWait = std::chrono::milliseconds(20);
constexpr auto kStopGrace = std::chrono::seconds(3);

struct PublishOptions {
    BrokerOptions broker;
    int qos = 1;
    std::string cursorDir;
    int cursorMs = 1000;
    int replaySeconds = 30;
    std::vector<std::string> paths;
};

struct SubscribeOptions {
    BrokerOptions broker;
    std::string out;
    std::string clientId;
    bool force = false;
    int saveEverySec = 3600;  // 0: only when it ends
};

bool MakeFolders(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
        return false;
    return ::mkdir(path.c_str(), 0755) == 0 ||
           (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode));
}

// Beside the data: the folder named first (or the folder of the file named first).
std::string DefaultCursorDir(const PublishOptions& o) {
    const std::string& first = o.paths.front();
    struct stat info {};
    std::string folder = first;
    if (::stat(first.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        const std::size_t slash = first.rfind('/');
        folder = slash == std::string::npos ? "." : first.substr(0, slash);
    }
    return folder + "/.kvr-publish/" + o.broker.site;
}

void Print(const std::vector<kvr::PublisherLogLine>& lines) {
    for (const kvr::PublisherLogLine& line : lines) {
        if (line.problem)
            std::cerr << "kvrtool: " << line.text << '\n' << std::flush;
        else
            std::cout << line.text << '\n' << std::flush;
    }
}

class PublishRun {
public:
    PublishRun(const PublishOptions& options, kvr::SessionOptions session)
        : options_(options), session_(std::move(session)), follower_(options.paths) {}

    // False when an instrument found at the start cannot be published (its cursor).
    bool Prepare() {
        cursorDir_ = options_.cursorDir.empty() ? DefaultCursorDir(options_) : options_.cursorDir;
        if (!MakeFolders(cursorDir_)) {
            Fail(kUsageOrIo, "cannot create " + cursorDir_);
            return false;
        }
        return Scan(true);
    }

    void Run() {
        auto nextScan = Clock::now() + kScanPeriod;
        auto nextRefresh = Clock::now();
        while (!Interrupted()) {
            const auto now = Clock::now();
            if (now >= nextScan) {
                Scan(false);
                nextScan = now + kScanPeriod;
            }
            if (now >= nextRefresh) {
                for (auto& [name, publisher] : publishers_) publisher->Refresh(files_[name]);
                nextRefresh = now + kRefreshPeriod;
            }
            std::vector<kvr::MqttSession*> sessions;
            for (auto& [name, publisher] : publishers_) {
                publisher->Step(now);
                Print(publisher->TakeLog());
                sessions.push_back(&publisher->Session());
            }
            kvr::MqttSession::Wait(sessions, kLongestWait);
        }
        for (auto& [name, publisher] : publishers_) {
            publisher->Stop(kStopGrace);
            Print(publisher->TakeLog());
            const kvr::PublisherCounters& c = publisher->Counters();
            std::cout << name << ": " << c.liveRecords << " live, " << c.histRecords
                      << " backlog records in " << c.histMessages << " messages, " << c.resent
                      << " sent again; cursor " << publisher->Cursor() << '\n';
        }
    }

private:
    bool Scan(bool first) {
        files_ = follower_.Scan();
        bool ready = true;
        for (const auto& [name, paths] : files_) {
            if (publishers_.count(name) || refused_.count(name)) continue;
            kvr::PublisherOptions options;
            options.site = options_.broker.site;
            options.qos = options_.qos;
            options.cursorPath = cursorDir_ + "/" + name + ".cursor";
            options.cursorPeriod = std::chrono::milliseconds(options_.cursorMs);
            options.replay = std::chrono::seconds(options_.replaySeconds);
            kvr::SessionOptions session = session_;
            session.clientId = "kvr-publish-" + options_.broker.site + "-" + name;
            auto publisher = std::make_unique<kvr::Publisher>(name, options, session);
            const std::string problem = publisher->Start();
            if (!problem.empty()) {
                Fail(kUsageOrIo, name + ": " + problem);
                refused_.insert(name);
                ready = ready && !first;
                continue;
            }
            publisher->Refresh(paths);
            publishers_.emplace(name, std::move(publisher));
            std::cout << "following: " << name << " (" << paths.size() << " files)\n" << std::flush;
        }
        return ready;
    }

    const PublishOptions& options_;
    const kvr::SessionOptions session_;
    kvr::SourceFollower follower_;
    std::string cursorDir_;
    std::map<std::string, std::vector<std::string>> files_;
    std::map<std::string, std::unique_ptr<kvr::Publisher>> publishers_;
    std::set<std::string> refused_;
};

void RunPublish(const PublishOptions& o) {
    const std::optional<kvr::SessionOptions> session = SessionFrom(o.broker);
    if (!session) return;
    // A misspelt path would otherwise be followed in silence for ever.
    for (const std::string& path : o.paths) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return Fail(kUsageOrIo, path + ": " + std::strerror(errno));
    }
    InterruptGuard guard;
    PublishRun run(o, *session);
    if (!run.Prepare()) return;
    run.Run();
}

// Topic kvr/v1/SITE/INSTRUMENT/LEAF -> INSTRUMENT and LEAF.
bool SplitTopic(const std::string& topic, const std::string& site, std::string& instrument,
                std::string& leaf) {
    const std::string prefix = "kvr/v1/" + site + "/";
    if (topic.compare(0, prefix.size(), prefix) != 0) return false;
    const std::string rest = topic.substr(prefix.size());
    const std::size_t slash = rest.find('/');
    if (slash == std::string::npos || slash == 0) return false;
    instrument = rest.substr(0, slash);
    leaf = rest.substr(slash + 1);
    return true;
}

class SubscribeRun {
public:
    SubscribeRun(const SubscribeOptions& options, kvr::SessionOptions session)
        : options_(options), session_(std::move(session)) {}

    // Reads back what a previous run received and did not save. False when the journal
    // cannot be used (said, exit code 1).
    bool Prepare() {
        const std::string path =
            options_.out + "/.kvr-subscribe-" + options_.broker.site + ".journal";
        int replayed = 0;
        const std::string problem =
            journal_.Open(path, [&](const std::string& topic, const std::string& payload) {
                Take({topic, payload});
                ++replayed;
            });
        if (!problem.empty()) {
            Fail(kUsageOrIo, problem);
            return false;
        }
        if (replayed > 0)
            std::cout << "replayed: " << replayed << " messages kept from the last run\n";
        return true;
    }

    void Run() {
        const auto saveEvery = std::chrono::seconds(options_.saveEverySec);
        auto nextProgress = Clock::now();
        auto nextSave = Clock::now() + saveEvery;
        while (!Interrupted()) {
            session_.Step(Clock::now());
            TakeEvents();
            if (Clock::now() >= nextProgress) {
                PrintProgress();
                nextProgress = Clock::now() + kScanPeriod;
            }
            // Saved as it goes, so that neither memory nor the journal grows with the
            // time it runs.
            if (options_.saveEverySec > 0 && Clock::now() >= nextSave) {
                Save(false);
                nextSave = Clock::now() + saveEvery;
            }
            kvr::MqttSession::Wait({&session_}, kLongestWait);
        }
        TakeEvents();
        session_.Disconnect();
        Save(true);
    }

private:
    void TakeEvents() {
        kvr::SessionEvents events = session_.TakeEvents();
        if (!events.problem.empty()) std::cerr << "kvrtool: " << events.problem << '\n';
        if (events.connected && session_.Connected()) {
            const std::string base = "kvr/v1/" + options_.broker.site + "/+/";
            if (session_.Subscribe(base + "live", 1) && session_.Subscribe(base + "hist", 1) &&
                session_.Subscribe(base + "state", 1))
                std::cout << "subscribed: kvr/v1/" << options_.broker.site << "/#\n" << std::flush;
        }
        for (const kvr::SessionEvents::Message& message : events.messages) {
            // On disk before anything else: the broker has forgotten it already.
            if (!journal_.Append(message.topic, message.payload)) journalFailed_ = true;
            Take(message);
        }
        if (!events.messages.empty() && !journal_.Sync()) journalFailed_ = true;
        if (journalFailed_ && !journalSaid_) {
            std::cerr << "kvrtool: cannot write the journal in " << options_.out << ": "
                      << std::strerror(errno) << "; what arrives is kept in memory only\n";
            journalSaid_ = true;
        }
    }

    // Once a second for each instrument that received something since: the newest record.
    void PrintProgress() {
        for (auto& [instrument, archive] : archives_) {
            if (archive.received == archive.reported) continue;
            archive.reported = archive.received;
            std::cout << instrument << ": newest record " << archive.newest << ", "
                      << archive.received << " received\n"
                      << std::flush;
        }
    }

    void Take(const kvr::SessionEvents::Message& message) {
        std::string instrument, leaf, error;
        if (!SplitTopic(message.topic, options_.broker.site, instrument, leaf)) return;
        const auto [entry, isNew] = archives_.try_emplace(instrument);
        Archive& archive = entry->second;
        // What earlier runs filed is not filed again.
        if (isNew) archive.records.LearnFiled(options_.out + "/" + instrument, instrument);
        if (leaf == "state") {
            if (const auto state = kvr::ParseState(message.payload, &error))
                archive.records.SetInfo(state->info);
            else
                std::cerr << "kvrtool: " << message.topic << ": " << error << '\n';
            return;
        }
        if (leaf != "live" && leaf != "hist") return;
        const auto records = kvr::ParseRecords(message.payload, &error);
        if (!records) {
            std::cerr << "kvrtool: " << message.topic << ": " << error << '\n';
            return;
        }
        archive.received += records->size();
        for (const kvr::PublishedRecord& record : *records)
            archive.newest = std::max(archive.newest, record.ts);
        archive.duplicates += archive.records.Add(*records);
    }

    // Writes what arrived into history files. A failure on the way (a full disk) is said;
    // its records stay in memory and in the journal for the next save, and only the last
    // save's failure sets the exit code.
    void Save(bool last) {
        bool saved = true;
        const auto problem = [&](const std::string& why) {
            if (last)
                Fail(kUsageOrIo, why);
            else
                std::cerr << "kvrtool: " << why << "; kept for the next save\n";
            saved = false;
        };
        for (auto& [instrument, archive] : archives_) {
            const std::string folder = options_.out + "/" + instrument;
            if (archive.records.Pending() > 0 && !MakeFolders(folder)) {
                problem("cannot create " + folder);
                continue;
            }
            const kvr::ArchiveSaveResult result =
                archive.records.Save(folder, instrument, options_.force);
            for (const std::string& file : result.files) std::cout << "saved: " << file << '\n';
            if (!result.error.empty()) problem(result.error);
            if (last)
                std::cout << instrument << ": " << archive.received << " records received, "
                          << archive.duplicates << " duplicates\n";
        }
        std::cout << std::flush;
        // Kept when a file could not be written: the next run tries again.
        if (saved && !journal_.Clear())
            std::cerr << "kvrtool: cannot empty the journal in " << options_.out << '\n';
    }

    struct Archive {
        kvr::RecordArchive records;
        std::size_t received = 0;
        std::size_t reported = 0;
        std::size_t duplicates = 0;
        kvr::Time newest = 0;
    };
    const SubscribeOptions& options_;
    kvr::MqttSession session_;
    kvr::MessageJournal journal_;
    bool journalFailed_ = false;
    bool journalSaid_ = false;
    std::map<std::string, Archive> archives_;
};

void RunSubscribe(const SubscribeOptions& o) {
    std::optional<kvr::SessionOptions> session = SessionFrom(o.broker);
    if (!session) return;
    if (!MakeFolders(o.out)) return Fail(kUsageOrIo, "cannot create " + o.out);
    // A fixed identity and a kept session: what is published while we are away waits at
    // the broker.
    session->clientId = o.clientId.empty() ? "kvr-subscribe-" + o.broker.site : o.clientId;
    session->cleanSession = false;
    InterruptGuard guard;
    SubscribeRun run(o, *session);
    if (run.Prepare()) run.Run();
}

}  // namespace

void RegisterPublishCommands(CLI::App& app) {
    auto publish = std::make_shared<PublishOptions>();
    CLI::App* command = app.add_subcommand(
        "publish", "Publish every record of data files and collector folders to an MQTT broker");
    AddBrokerOptions(command, publish->broker);
    command->add_option("--qos", publish->qos, "0 or 1 (at least once)")
        ->check(CLI::Range(0, 1))
        ->capture_default_str();
    command->add_option("--cursor-dir", publish->cursorDir,
                        "where each instrument's cursor is kept (default: PATH/.kvr-publish/SITE)");
    command
        ->add_option("--replay-seconds", publish->replaySeconds,
                     "after a lost connection, send again what was acknowledged this long before")
        ->check(CLI::Range(0, 86400))
        ->capture_default_str();
    // For tests: the cursor file follows the acknowledgements more closely.
    command->add_option("--cursor-ms", publish->cursorMs)->check(CLI::Range(10, 60000))->group("");
    command->add_option("paths", publish->paths, "history files, live buffers, data folders")
        ->required();
    command->callback([publish] { RunPublish(*publish); });

    auto subscribe = std::make_shared<SubscribeOptions>();
    CLI::App* sub = app.add_subcommand(
        "subscribe", "Write what a site publishes into history files per instrument");
    AddBrokerOptions(sub, subscribe->broker);
    sub->add_option("--out", subscribe->out, "folder of the archive (one folder per instrument)")
        ->required();
    sub->add_option("--client-id", subscribe->clientId,
                    "identity of the kept session (default kvr-subscribe-SITE)");
    sub->add_flag("--force", subscribe->force, "replace archive files of the same name");
    sub->add_option("--save-every", subscribe->saveEverySec,
                    "seconds between saves of what arrived into history files (0: only at the "
                    "end)")
        ->check(CLI::Range(0, 86400))
        ->capture_default_str();
    sub->callback([subscribe] { RunSubscribe(*subscribe); });
}

}  // namespace kvrtool
