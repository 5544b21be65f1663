#include "tools/kvr-sim/sim_server.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <ostream>
#include <thread>
#include <vector>

#include "tools/kvr-sim/fault_plan.h"
#include "tools/kvr-sim/instrument.h"
#include "tools/kvr-sim/request_reader.h"

namespace kvrsim {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) { stopRequested = 1; }

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: poll() must return so that the loop sees the request to stop.
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

// A partial frame that sees no further byte for this long is dropped, as a line silence
// ends a frame on a real serial line.
constexpr int kIdleMs = 100;

bool WriteAll(int fd, const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A line of `baud` bits per second carries a byte (start, eight data, stop) in ten bits.
class LinePacer {
public:
    explicit LinePacer(int baud) : baud_(baud) {}

    // Writes the reply so that each byte becomes readable when a real line would have
    // delivered it. The request was seen as soon as the master wrote it, but on a real line
    // its last byte reaches the instrument only after requestBytes crossed the wire; the
    // reply follows. Times are kept from the request, so sleeps that overshoot do not add up.
    bool Write(int fd, std::size_t requestBytes, const Bytes& bytes) const {
        if (baud_ <= 0) return WriteAll(fd, bytes);
        // About a millisecond of line time per write keeps the gaps between bytes far below
        // any interval timeout.
        const std::size_t chunk =
            std::max<std::size_t>(1, static_cast<std::size_t>(baud_) / 10 / 1000);
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t done = 0; done < bytes.size();) {
            const std::size_t n = std::min(chunk, bytes.size() - done);
            std::this_thread::sleep_until(start + WireTime(requestBytes + done + n));
            if (!WriteAll(fd, Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(done),
                                    bytes.begin() + static_cast<std::ptrdiff_t>(done + n))))
                return false;
            done += n;
        }
        return true;
    }

private:
    std::chrono::microseconds WireTime(std::size_t bytes) const {
        return std::chrono::microseconds(static_cast<std::int64_t>(bytes) * 10 * 1000000 / baud_);
    }

    int baud_;
};

// Bytes of a request on the wire.
std::size_t WireLength(const Request& request) {
    const std::size_t bytes = 2 + request.body.size();
    return request.ascii ? 1 + 2 * (bytes + 1) + 2 : bytes + 2;
}

// One instrument of the line, with the faults counted over the requests addressed to it.
struct Station {
    SimOptions options;
    FaultPlan plan;
    std::unique_ptr<Instrument> instrument;
    int replies = 0;
};

std::vector<SimOptions> StationOptions(const SimOptions& options) {
    if (options.bus.empty()) return {options};
    std::vector<SimOptions> stations;
    for (std::size_t i = 0; i < options.bus.size(); ++i) {
        SimOptions own = options;
        own.address = options.bus[i];
        own.seed = options.seed + static_cast<std::uint32_t>(i);
        stations.push_back(own);
    }
    return stations;
}

// Makes the link at path point to the terminal; false with a message when it cannot.
bool Link(const std::string& path, const char* terminal, std::ostream& log) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) ::unlink(path.c_str());
    if (::symlink(terminal, path.c_str()) == 0) return true;
    log << "kvr-sim: cannot link " << path << ": " << std::strerror(errno) << '\n';
    return false;
}

class Server {
public:
    Server(const SimOptions& options, int master, const char* terminal, std::ostream& log)
        : options_(options), master_(master), terminal_(terminal), log_(log), pacer_(options.baud) {
        for (const SimOptions& own : StationOptions(options))
            stations_.push_back({own, FaultPlan(own), MakeInstrument(own, std::time(nullptr))});
    }

    void Serve() {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        const auto seconds = [](double s) {
            return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
        };
        const auto unplugAt = start + seconds(options_.unplugAfter);
        const auto replugAt = unplugAt + seconds(options_.replugAfter);
        bool unplugged = false;
        bool replugged = false;
        std::uint8_t chunk[4096];
        while (!stopRequested) {
            const auto now = Clock::now();
            if (options_.unplugAfter > 0 && !unplugged && now >= unplugAt) {
                unplugged = true;
                if (!options_.link.empty()) ::unlink(options_.link.c_str());
            }
            if (unplugged && !replugged && options_.replugAfter > 0 && now >= replugAt) {
                replugged = true;
                if (!options_.link.empty()) Link(options_.link, terminal_, log_);
            }
            pollfd entry{master_, POLLIN, 0};
            const int ready = ::poll(&entry, 1, kIdleMs);
            if (ready < 0) {
                if (errno == EINTR) continue;
                break;
            }
            if (ready == 0) {
                reader_.Reset();
                continue;
            }
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN) continue;
                // EIO: no one holds the other side open; wait for the next client.
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            // Unplugged, the requests go nowhere.
            if (unplugged && !replugged) continue;
            reader_.Feed(chunk, static_cast<std::size_t>(n));
            while (auto request = reader_.Next()) Answer(*request);
        }
    }

    int Requests() const {
        int requests = 0;
        for (const Station& station : stations_) requests += station.plan.Requests();
        return requests;
    }
    int Replies() const {
        int replies = 0;
        for (const Station& station : stations_) replies += station.replies;
        return replies;
    }

private:
    void Answer(Request request) {
        for (Station& station : stations_)
            if (request.address == static_cast<std::uint8_t>(station.options.address))
                return Answer(station, request);
    }

    void Answer(Station& station, Request& request) {
        const FaultDecision fault = station.plan.Next();
        request.number = station.plan.Requests();
        std::optional<Reply> reply;
        if (fault.exception)
            reply = Reply{static_cast<std::uint8_t>(request.function | 0x80),
                          {static_cast<std::uint8_t>(options_.exception)}};
        else
            reply = station.instrument->Handle(request, std::time(nullptr));
        if (!reply || !fault.reply) return;
        Bytes frame = request.ascii ? AsciiReply(request.address, reply->function, reply->payload)
                                    : RtuReply(request.address, reply->function, reply->payload);
        if (fault.corrupt) CorruptChecksum(frame, request.ascii);
        if (fault.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(fault.delayMs));
        if (pacer_.Write(master_, WireLength(request), frame)) ++station.replies;
    }

    SimOptions options_;
    int master_;
    const char* terminal_;
    std::ostream& log_;
    LinePacer pacer_;
    std::vector<Station> stations_;
    RequestReader reader_;
};

}  // namespace

int RunServer(const SimOptions& options, std::ostream& out, std::ostream& log) {
    InstallStopHandlers();
    termios raw{};
    ::cfmakeraw(&raw);
    raw.c_cflag |= CLOCAL | CREAD;
    int master = -1;
    int slave = -1;
    char path[256] = {};
    if (::openpty(&master, &slave, path, &raw, nullptr) != 0) {
        log << "kvr-sim: cannot create a pseudo-terminal: " << std::strerror(errno) << '\n';
        return 1;
    }
    // The slave side stays open here too: the line survives clients that come and go.
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    if (!options.link.empty() && !Link(options.link, path, log)) {
        ::close(master);
        ::close(slave);
        return 1;
    }
    out << path << std::endl;

    Server server(options, master, path, log);
    server.Serve();

    if (!options.link.empty()) ::unlink(options.link.c_str());
    ::close(slave);
    ::close(master);
    log << "kvr-sim: " << server.Requests() << " requests, " << server.Replies() << " replies"
        << std::endl;
    return 0;
}

}  // namespace kvrsim
