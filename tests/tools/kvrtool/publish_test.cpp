// kvrtool publish and subscribe against a real mosquitto on loopback (started by each test
// with its own configuration, stopped by process id): steady publishing, the broker killed
// and restarted, the broker paused past the keep-alive, the publisher killed during its
// backlog, the link cut by a proxy, a broker address that never answers, TLS and
// credentials. After each, every record of the source files must be in subscribe's history
// files with the same samples, and in one file only, however often it arrived.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "core/datafile/cxfile.h"
#include "core/link/live_record.h"
#include "core/publish/publish_cursor.h"
#include "core/publish/record_payload.h"
#include "support/broker_process.h"
#include "support/kvrtool_test_support.h"

namespace {

namespace fs = std::filesystem;
using Samples = std::array<float, 6>;
using Records = std::map<kvr::Time, Samples>;

constexpr kvr::Time kStart = 1767542400;  // 2026-01-05 00:00:00 in Asia/Shanghai

using kvrtest::WaitFor;
using Tool = kvrtest::LoggedTool;

bool SameSample(float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

// Every record of the data files under folder, by time; total counts a time once per file
// that holds it.
Records ReadRecords(const std::string& folder, std::size_t* total = nullptr) {
    Records records;
    if (!fs::exists(folder)) return records;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name[0] == '.' ||
            (entry.path().extension() != ".FDZ" && entry.path().extension() != ".tmp"))
            continue;
        kvr::CXFile file;
        if (file.OpenReadOnly(entry.path().string()) != 1 || file.GetInterval() <= 0 ||
            file.GetStartTime() <= 0 || file.GetEndTime() < file.GetStartTime())
            continue;
        const int count = std::min<int>(
            file.GetWholeRecords(),
            static_cast<int>((file.GetEndTime() - file.GetStartTime()) / file.GetInterval() + 1));
        for (int i = 0; i < count; ++i) {
            Samples samples{};
            for (int c = 0; c < 6; ++c) file.ReadChannel(c, i, 1, &samples[c]);
            records.emplace(file.GetStartTime() + static_cast<kvr::Time>(i) * file.GetInterval(),
                            samples);
        }
        if (total) *total += static_cast<std::size_t>(std::max(count, 0));
    }
    return records;
}

// The newest record time subscribe has reported for instrument a (0 before any).
kvr::Time NewestReceived(const std::string& output) {
    const std::size_t at = output.rfind("a: newest record ");
    return at == std::string::npos ? 0 : std::atoll(output.c_str() + at + 17);
}

// A collector's live buffer, filled by the test as fast as it likes: one interval-second
// record per Append, every seventh with channel 2 missing.
class LiveBuffer {
public:
    LiveBuffer(const std::string& templateFile, const std::string& path, kvr::Time start)
        : start_(start) {
        kvr::CXFile sample;
        EXPECT_EQ(sample.Open(templateFile), 1);
        file_.SetVersion(sample.GetVersion());
        file_.SetConfigSize(sample.GetConfigSize());
        file_.Header() = sample.Header();
        file_.Header().records.count = 100000;
        file_.Header().records.byte18 = 4;
        file_.SetTempFilePath(path);
        EXPECT_EQ(file_.CreateTempFile(), 1);
        file_.FlushHeader();
    }
    void Append(int count) {
        for (int i = 0; i < count; ++i, ++index_) {
            kvr::LiveSample sample;
            for (int c = 0; c < 6; ++c)
                sample.values[c] = static_cast<float>(c * 100000 + index_) + 0.25f;
            if (index_ % 7 == 3) sample.values[2] = std::numeric_limits<float>::quiet_NaN();
            sample.flowTotal = 9007199254740993LL + index_;  // beyond a double's integers
            kvr::AppendLiveRecord(file_, sample, index_, start_ + index_);
        }
    }
    kvr::Time Last() const { return start_ + index_ - 1; }

private:
    kvr::CXFile file_;
    kvr::Time start_;
    int index_ = 0;
};

// Appends a record to a live buffer every few milliseconds until it goes away.
class Stream {
public:
    explicit Stream(LiveBuffer& live)
        : thread_([this, &live] {
              while (!stop_) {
                  live.Append(1);
                  std::this_thread::sleep_for(std::chrono::milliseconds(3));
              }
          }) {}
    ~Stream() { Stop(); }
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The runs of source record times the archive lacks, for the failure message.
std::string MissingRanges(const Records& sources, const Records& archived) {
    std::string ranges;
    kvr::Time first = 0, last = 0;
    for (const auto& [ts, samples] : sources) {
        if (archived.count(ts)) continue;
        if (first != 0 && ts == last + 1) {
            last = ts;
            continue;
        }
        if (first != 0) ranges += std::to_string(first) + "-" + std::to_string(last) + " ";
        first = last = ts;
    }
    if (first != 0) ranges += std::to_string(first) + "-" + std::to_string(last);
    return ranges;
}

class KvrtoolPublish : public kvrtest::KvrtoolTest {
protected:
    explicit KvrtoolPublish(kvrtest::BrokerConfig config = {})
        : zone_("Asia/Shanghai"), broker_(dir.path(), config) {}

    void SetUp() override {
        ASSERT_TRUE(broker_.Start()) << kvrtest::ReadWholeFile(broker_.Log());
        fs::create_directories(Folder());
    }

    std::string Folder() const { return dir.file("data/a"); }
    std::string Archive() const { return dir.file("archive"); }

    // A history file of records one second apart from kStart, named as a collector names it.
    std::string History(int records) {
        const std::string path = Folder() + "/a-20260105-000000.FDZ";
        const auto made = kvrtest::RunTool(
            "kvrtool", "make-sample --force '" + path + "' --records " + std::to_string(records) +
                           " --interval 1 --tags 0 --start '2026-01-05 00:00:00'");
        EXPECT_EQ(made.exitCode, 0) << made.err;
        return path;
    }

    std::unique_ptr<Tool> Subscriber(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> arguments{"subscribe", "--broker",   broker_.Url(), "--site",
                                           "s",         "--out",      Archive(),     "--keepalive",
                                           "5",         "--retry-ms", "100"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        auto tool = std::make_unique<Tool>(
            arguments, dir.file("subscribe-" + std::to_string(++subscribers_) + ".log"));
        EXPECT_TRUE(tool->WaitForOutput("subscribed")) << tool->Output();
        return tool;
    }

    // The publisher retries after retryMs (the subscriber after 100 ms).
    std::unique_ptr<Tool> Publisher(const std::vector<std::string>& extra = {},
                                    const std::string& url = "", int retryMs = 200) {
        std::vector<std::string> arguments{
            "publish",     "--broker",   url.empty() ? broker_.Url() : url,
            "--site",      "s",          "--keepalive",
            "5",           "--retry-ms", std::to_string(retryMs),
            "--cursor-ms", "50"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        arguments.push_back(dir.file("data"));
        return std::make_unique<Tool>(arguments, dir.file("publish.log"));
    }

    kvr::Time Cursor() const {
        return kvr::ReadPublishCursor(dir.file("data/.kvr-publish/s/a.cursor")).cursor.value_or(0);
    }

    // Every source record is in the archive with the same samples, and nothing else is.
    void ExpectRoundTrip(const std::string& subscribeOutput) {
        const Records sources = ReadRecords(dir.file("data"));
        std::size_t filed = 0;
        const Records archived = ReadRecords(Archive(), &filed);
        ASSERT_FALSE(sources.empty());
        EXPECT_EQ(archived.size(), sources.size());
        EXPECT_EQ(filed, archived.size()) << "a record in more than one file";
        int missing = 0, different = 0;
        for (const auto& [ts, samples] : sources) {
            const auto found = archived.find(ts);
            if (found == archived.end()) {
                ++missing;
                continue;
            }
            for (int c = 0; c < 6; ++c)
                if (!SameSample(samples[c], found->second[c])) ++different;
        }
        EXPECT_EQ(missing, 0) << MissingRanges(sources, archived);
        EXPECT_EQ(different, 0);
        // How often records arrived more than once (at least once allows it).
        std::cout << "subscribe: " << subscribeOutput.substr(subscribeOutput.rfind("a: "))
                  << std::flush;
    }

    // Ends subscribe once it has taken everything up to last and nothing more comes (so that
    // a lagging subscriber is not cut off with messages still waiting at the broker).
    static int EndSubscriber(Tool& subscriber, kvr::Time last) {
        std::string seen;
        auto since = std::chrono::steady_clock::now();
        EXPECT_TRUE(WaitFor([&] {
            const std::string now = subscriber.Output();
            if (now != seen) {
                seen = now;
                since = std::chrono::steady_clock::now();
            }
            return NewestReceived(now) >= last &&
                   std::chrono::steady_clock::now() - since > std::chrono::milliseconds(1500);
        })) << subscriber.Output();
        return subscriber.End(SIGTERM);
    }

    // After a fault: the stream runs on a while, then the cursor must reach the last record,
    // both tools end cleanly and every record is in the archive.
    void FinishStream(Stream& stream, const LiveBuffer& live, Tool& publisher, Tool& subscriber) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        stream.Stop();
        ASSERT_TRUE(WaitFor([&] { return Cursor() == live.Last(); })) << publisher.Output();
        EXPECT_EQ(publisher.End(SIGTERM), 0);
        EXPECT_EQ(EndSubscriber(subscriber, live.Last()), 0);
        ExpectRoundTrip(subscriber.Output());
    }

    kvrtest::ZoneGuard zone_;
    kvrtest::BrokerProcess broker_;
    int subscribers_ = 0;  // each run of subscribe has its own log
};

TEST_F(KvrtoolPublish, SteadyPublishingArrivesWholeAndLeavesStateOffline) {
    const std::string history = History(300);
    LiveBuffer live(history, Folder() + "/a.tmp", kStart + 300);
    live.Append(5);
    auto subscriber = Subscriber();
    auto publisher = Publisher();
    ASSERT_TRUE(publisher->WaitForOutput("a: connected")) << publisher->Output();
    for (int i = 0; i < 20; ++i) {
        live.Append(10);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    ASSERT_TRUE(WaitFor([&] { return Cursor() == live.Last(); })) << publisher->Output();
    // A history file of the day before appears: backlog, although the cursor is past it.
    const auto made = kvrtest::RunTool("kvrtool", "make-sample '" + dir.file("old.FDZ") +
                                                      "' --records 50 --interval 1 --tags 0 "
                                                      "--start '2026-01-04 00:00:00'");
    ASSERT_EQ(made.exitCode, 0) << made.err;
    fs::rename(dir.file("old.FDZ"), Folder() + "/a-20260104-000000.FDZ");
    ASSERT_TRUE(publisher->WaitForOutput("a: new file with records from 2026-01-04T00:00:00"))
        << publisher->Output();
    ASSERT_TRUE(WaitFor([&] { return Cursor() == live.Last(); })) << publisher->Output();
    EXPECT_EQ(publisher->End(SIGTERM), 0);
    // Live records went out on live, the rest as backlog.
    EXPECT_NE(publisher->Output().find(" live, "), std::string::npos);
    EXPECT_EQ(publisher->Output().find("a: 0 live"), std::string::npos) << publisher->Output();

    // The retained state says offline and names the last record.
    const auto state =
        kvrtest::RunCommand("mosquitto_sub -h 127.0.0.1 -p " + std::to_string(broker_.Port()) +
                            " -t kvr/v1/s/a/state -C 1 -W 5");
    EXPECT_NE(state.out.find("\"online\":false"), std::string::npos) << state.out;
    EXPECT_NE(state.out.find("\"last\":{\"ts\":" + std::to_string(live.Last())), std::string::npos);
    const std::int64_t lastFlow = 9007199254740993LL + (live.Last() - kStart - 300);
    EXPECT_NE(state.out.find("\"flow\":\"" + kvr::HundredthsText(lastFlow) + "\""),
              std::string::npos);

    EXPECT_EQ(EndSubscriber(*subscriber, live.Last()), 0);
    ExpectRoundTrip(subscriber->Output());
}

TEST_F(KvrtoolPublish, KilledSubscriberKeepsWhatTheBrokerHadHandedOver) {
    History(500);
    auto subscriber = Subscriber();
    auto publisher = Publisher();
    ASSERT_TRUE(WaitFor([&] { return Cursor() == kStart + 499; })) << publisher->Output();
    ASSERT_TRUE(WaitFor([&] { return NewestReceived(subscriber->Output()) == kStart + 499; }));
    // Acknowledged to the broker, so never sent again: only the journal still has them.
    subscriber->End(SIGKILL);
    subscriber = Subscriber();
    EXPECT_NE(subscriber->Output().find("replayed: "), std::string::npos) << subscriber->Output();
    EXPECT_EQ(publisher->End(SIGTERM), 0);
    EXPECT_EQ(EndSubscriber(*subscriber, kStart + 499), 0);
    ExpectRoundTrip(subscriber->Output());
}

class KvrtoolPublishKept : public KvrtoolPublish {
protected:
    KvrtoolPublishKept() : KvrtoolPublish(kvrtest::BrokerConfig{true, {}, {}, {}}) {}
};

TEST_F(KvrtoolPublishKept, BrokerKilledMidStreamAndRestartedLosesNothing) {
    const std::string history = History(3000);
    LiveBuffer live(history, Folder() + "/a.tmp", kStart + 3000);
    // Saving every second: the records the publisher sends again after the lost connection
    // were saved already, and must not be filed twice.
    auto subscriber = Subscriber({"--save-every", "1"});
    // The subscriber is back first: what the restarted broker gets before it subscribed
    // again would have nobody to go to.
    auto publisher = Publisher({}, "", 1000);
    Stream stream(live);
    ASSERT_TRUE(WaitFor([&] { return Cursor() > kStart + 3000; })) << publisher->Output();
    broker_.Stop(SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(broker_.Start());
    FinishStream(stream, live, *publisher, *subscriber);
    EXPECT_NE(publisher->Output().find("a: lost the connection"), std::string::npos);
    // Saved while it ran, and the journal emptied by the last save.
    const std::string output = subscriber->Output();
    EXPECT_GT(output.find("saved: "), output.find("subscribed")) << output;
    EXPECT_LT(output.find("saved: "), output.rfind("a: newest record")) << output;
    EXPECT_EQ(fs::file_size(Archive() + "/.kvr-subscribe-s.journal"), 0u);
}

TEST_F(KvrtoolPublishKept, PublisherKilledDuringBacklogResendsFromItsCursor) {
    const int records = 30000;
    History(records);
    auto subscriber = Subscriber();
    auto publisher = Publisher();
    ASSERT_TRUE(WaitFor([&] { return Cursor() > 0; })) << publisher->Output();
    publisher->End(SIGKILL);
    const kvr::Time cursor = Cursor();
    EXPECT_LT(cursor, kStart + records - 1) << "the backlog was done before the kill";
    // Batches arrive in order: once the one with the cursor's record is in, so is all before.
    ASSERT_TRUE(WaitFor([&] { return NewestReceived(subscriber->Output()) >= cursor; }))
        << subscriber->Output();
    EXPECT_EQ(subscriber->End(SIGTERM), 0);
    // The cursor never ran ahead of the broker: everything up to it had arrived.
    const Records first = ReadRecords(Archive());
    for (kvr::Time t = kStart; t <= cursor; ++t) ASSERT_TRUE(first.count(t)) << t;

    subscriber = Subscriber();
    publisher = Publisher();
    ASSERT_TRUE(WaitFor([&] { return Cursor() == kStart + records - 1; })) << publisher->Output();
    EXPECT_EQ(publisher->End(SIGTERM), 0);
    EXPECT_EQ(EndSubscriber(*subscriber, kStart + records - 1), 0);
    ExpectRoundTrip(subscriber->Output());
}

}  // namespace

namespace {

TEST_F(KvrtoolPublish, BrokerPausedPastTheKeepAliveIsLeftAndReconnected) {
    const std::string history = History(100);
    LiveBuffer live(history, Folder() + "/a.tmp", kStart + 100);
    auto subscriber = Subscriber();
    auto publisher = Publisher();
    Stream stream(live);
    ASSERT_TRUE(WaitFor([&] { return Cursor() > kStart + 100; })) << publisher->Output();
    broker_.Pause();
    ASSERT_TRUE(publisher->WaitForOutput("a: lost the connection", 15)) << publisher->Output();
    broker_.Resume();
    FinishStream(stream, live, *publisher, *subscriber);
}

TEST_F(KvrtoolPublish, LinkCutByAProxyAndRestoredLosesNothing) {
    const std::string history = History(100);
    LiveBuffer live(history, Folder() + "/a.tmp", kStart + 100);
    kvrtest::TcpProxy proxy(broker_.Port());
    ASSERT_TRUE(proxy.Start());
    auto subscriber = Subscriber();
    auto publisher = Publisher({}, "mqtt://127.0.0.1:" + std::to_string(proxy.Port()));
    Stream stream(live);
    ASSERT_TRUE(WaitFor([&] { return Cursor() > kStart + 100; })) << publisher->Output();
    proxy.Stop();
    ASSERT_TRUE(publisher->WaitForOutput("a: lost the connection")) << publisher->Output();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(proxy.Start());
    FinishStream(stream, live, *publisher, *subscriber);
}

// A port whose connections are never answered: the listener takes none, and the queue of
// connections waiting for it is full, so a connect to it stays pending (a host behind a
// firewall that drops them).
class SilentListener {
public:
    SilentListener() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(listener_, 0) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
        for (int i = 0; i < 4; ++i) {
            fillers_.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
            (void)::connect(fillers_.back(), reinterpret_cast<sockaddr*>(&address), size);
        }
    }
    ~SilentListener() {
        for (const int fd : fillers_) ::close(fd);
        ::close(listener_);
    }
    int Port() const { return port_; }

private:
    int listener_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;
};

// A broker address that never answers costs the publisher nothing but the retries: it
// says why each try failed and stops at once when told to.
TEST_F(KvrtoolPublish, ABrokerThatNeverAnswersDoesNotHoldThePublisherUp) {
    History(10);
    SilentListener silent;
    ASSERT_NE(silent.Port(), 0);
    auto publisher = Publisher({}, "mqtt://127.0.0.1:" + std::to_string(silent.Port()));
    ASSERT_TRUE(publisher->WaitForOutput("did not answer within the keep-alive time", 15))
        << publisher->Output();
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(publisher->End(SIGTERM), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));
}

TEST_F(KvrtoolPublish, RefusesADamagedCursorAndAPasswordOnTheCommandLine) {
    History(10);
    fs::create_directories(dir.file("data/.kvr-publish/s"));
    std::ofstream(dir.file("data/.kvr-publish/s/a.cursor")) << "kvr-publish-cursor 1 17675 1\n";
    const auto refused = kvrtest::RunTool(
        "kvrtool", "publish --broker " + broker_.Url() + " --site s '" + dir.file("data") + "'");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("a.cursor is damaged"), std::string::npos) << refused.err;
    const auto password = kvrtest::RunTool(
        "kvrtool", "publish --broker " + broker_.Url() +
                       " --site s --username u --password secret '" + dir.file("data") + "'");
    EXPECT_EQ(password.exitCode, 1);
}

// A certificate authority and a server certificate for 127.0.0.1 signed by it.
void MakeCertificates(const std::string& folder, const std::string& name) {
    const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    const std::string at = "'" + folder + "/" + name;
    for (const std::string& command :
         {"openssl req -x509 " + key + " -keyout " + at + "-ca.key' -out " + at +
              "-ca.crt' -days 2 -subj /CN=kvr-test-ca",
          "openssl req " + key + " -keyout " + at + "-server.key' -out " + at +
              "-server.csr' -subj /CN=127.0.0.1",
          "printf 'subjectAltName=IP:127.0.0.1\\n' > " + at + "-ext'",
          "openssl x509 -req -in " + at + "-server.csr' -CA " + at + "-ca.crt' -CAkey " + at +
              "-ca.key' -CAcreateserial -out " + at + "-server.crt' -days 2 -extfile " + at +
              "-ext'"}) {
        const auto made = kvrtest::RunCommand(command + " 2>/dev/null");
        ASSERT_EQ(made.exitCode, 0) << command;
    }
}

class KvrtoolPublishSecure : public KvrtoolPublish {
protected:
    static kvrtest::BrokerConfig Secure(const std::string& folder) {
        MakeCertificates(folder, "good");
        MakeCertificates(folder, "other");
        kvrtest::RunCommand("mosquitto_passwd -b -c '" + folder + "/users' kvr s3cret-pass");
        std::ofstream(folder + "/right") << "s3cret-pass\n";
        std::ofstream(folder + "/wrong") << "not-the-pass\n";
        return {false, folder + "/good-server.crt", folder + "/good-server.key", folder + "/users"};
    }
    KvrtoolPublishSecure() : KvrtoolPublish(Secure(certs_.path())) {}
    std::vector<std::string> As(const std::string& ca, const std::string& password) const {
        return {"--cafile", certs_.file(ca + "-ca.crt"), "--username",
                "kvr",      "--password-file",           certs_.file(password)};
    }
    static kvrtest::TempDir certs_;
};

kvrtest::TempDir KvrtoolPublishSecure::certs_;

TEST_F(KvrtoolPublishSecure, TlsWithCredentialsArrivesAndRefusalsSayWhy) {
    History(200);
    // Another authority's server: the certificate is not trusted.
    {
        auto publisher = Publisher(As("other", "right"));
        ASSERT_TRUE(publisher->WaitForOutput("TLS handshake failed")) << publisher->Output();
        EXPECT_NE(publisher->Output().find("certificate verify failed"), std::string::npos)
            << publisher->Output();
    }
    // The right server, the wrong password: refused, and the password is said nowhere.
    {
        auto publisher = Publisher(As("good", "wrong"));
        ASSERT_TRUE(publisher->WaitForOutput("refused")) << publisher->Output();
        EXPECT_NE(publisher->Output().find("not authorised"), std::string::npos)
            << publisher->Output();
        EXPECT_EQ(publisher->Output().find("not-the-pass"), std::string::npos);
        EXPECT_EQ(Cursor(), 0);
    }
    auto subscriberArguments = As("good", "right");
    auto subscriber = std::make_unique<Tool>(
        [&] {
            std::vector<std::string> a{"subscribe", "--broker", broker_.Url(), "--site", "s",
                                       "--out",     Archive(),  "--retry-ms",  "100"};
            a.insert(a.end(), subscriberArguments.begin(), subscriberArguments.end());
            return a;
        }(),
        dir.file("subscribe.log"));
    ASSERT_TRUE(subscriber->WaitForOutput("subscribed")) << subscriber->Output();
    auto publisher = Publisher(As("good", "right"));
    ASSERT_TRUE(WaitFor([&] { return Cursor() == kStart + 199; })) << publisher->Output();
    EXPECT_EQ(publisher->End(SIGTERM), 0);
    EXPECT_EQ(EndSubscriber(*subscriber, kStart + 199), 0);
    ExpectRoundTrip(subscriber->Output());
}

}  // namespace
