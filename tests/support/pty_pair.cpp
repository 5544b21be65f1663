#include "support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "tools/kvr-sim/request_reader.h"

namespace kvrtest {

PtyPair::PtyPair() {
    termios raw{};
    ::cfmakeraw(&raw);
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, &raw, nullptr) == 0) {
        path_ = name;
        ::fcntl(master_, F_SETFD, FD_CLOEXEC);
        ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    }
}

PtyPair::~PtyPair() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

void PtyPair::HangUp() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

void PtyPair::Write(const Bytes& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

Bytes PtyPair::ReadAvailable(int timeoutMs) const {
    Bytes bytes;
    for (;;) {
        pollfd entry{master_, POLLIN, 0};
        if (::poll(&entry, 1, timeoutMs) <= 0) return bytes;
        std::uint8_t chunk[1024];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0) return bytes;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
}

ScriptedPeer::ScriptedPeer(Script script) : script_(std::move(script)) {
    thread_ = std::thread([this] { Serve(); });
}

ScriptedPeer::~ScriptedPeer() {
    stop_ = true;
    thread_.join();
}

std::vector<Bytes> ScriptedPeer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void ScriptedPeer::Serve() {
    kvrsim::RequestReader reader;
    Bytes raw;
    while (!stop_) {
        pollfd entry{pty_.Master(), POLLIN, 0};
        if (::poll(&entry, 1, 20) <= 0) continue;
        std::uint8_t chunk[1024];
        const ssize_t n = ::read(pty_.Master(), chunk, sizeof chunk);
        if (n <= 0) continue;
        raw.insert(raw.end(), chunk, chunk + n);
        reader.Feed(chunk, static_cast<std::size_t>(n));
        while (auto request = reader.Next()) {
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(raw);
            }
            const Bytes reply = script_(raw, *request);
            raw.clear();
            if (!reply.empty()) pty_.Write(reply);
        }
    }
}

kvr::ComParam TestParams(const std::string& device) {
    kvr::ComParam p;
    p.device = device;
    // 57600 baud keeps the bases as they are: 20 ms between bytes, 300 ms for a reply.
    p.baud = 57600;
    p.intervalBase = 20;
    p.constantBase = 300;
    p.writeConstantBase = 300;
    p.attempts = 3;
    return p;
}

}  // namespace kvrtest
