#include "tools/kvr-sim/sim_server.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <ostream>
#include <thread>

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

class Server {
public:
    Server(const SimOptions& options, int master)
        : options_(options), master_(master), plan_(options),
          instrument_(MakeInstrument(options, std::time(nullptr))) {}

    void Serve() {
        std::uint8_t chunk[4096];
        while (!stopRequested) {
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
            reader_.Feed(chunk, static_cast<std::size_t>(n));
            while (auto request = reader_.Next()) Answer(*request);
        }
    }

    int Requests() const { return plan_.Requests(); }
    int Replies() const { return replies_; }

private:
    void Answer(const Request& request) {
        if (request.address != static_cast<std::uint8_t>(options_.address)) return;
        const FaultDecision fault = plan_.Next();
        std::optional<Reply> reply;
        if (fault.exception)
            reply = Reply{static_cast<std::uint8_t>(request.function | 0x80), {static_cast<std::uint8_t>(options_.exception)}};
        else
            reply = instrument_->Handle(request, std::time(nullptr));
        if (!reply || !fault.reply) return;
        Bytes frame = request.ascii ? AsciiReply(request.address, reply->function, reply->payload)
                                    : RtuReply(request.address, reply->function, reply->payload);
        if (fault.corrupt) CorruptChecksum(frame, request.ascii);
        if (fault.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(fault.delayMs));
        if (WriteAll(master_, frame)) ++replies_;
    }

    SimOptions options_;
    int master_;
    FaultPlan plan_;
    std::unique_ptr<Instrument> instrument_;
    RequestReader reader_;
    int replies_ = 0;
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
    if (!options.link.empty()) {
        struct stat info {};
        if (::lstat(options.link.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) ::unlink(options.link.c_str());
        if (::symlink(path, options.link.c_str()) != 0) {
            log << "kvr-sim: cannot link " << options.link << ": " << std::strerror(errno) << '\n';
            ::close(master);
            ::close(slave);
            return 1;
        }
    }
    out << path << std::endl;

    Server server(options, master);
    server.Serve();

    if (!options.link.empty()) ::unlink(options.link.c_str());
    ::close(slave);
    ::close(master);
    log << "kvr-sim: " << server.Requests() << " requests, " << server.Replies() << " replies" << std::endl;
    return 0;
}

}  // namespace kvrsim
