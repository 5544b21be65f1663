#pragma once
// A pseudo-terminal pair for port and link tests: the test holds the master side and plays
// the instrument; the code under test opens Path() like any serial device.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/settings/com_param.h"
#include "tools/kvr-sim/sim_codec.h"

namespace kvrtest {

using Bytes = std::vector<std::uint8_t>;

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& Path() const { return path_; }
    int Master() const { return master_; }
    void Write(const Bytes& bytes) const;
    void Write(const std::string& text) const { Write(Bytes(text.begin(), text.end())); }
    // Everything the other side wrote within timeoutMs of quiet.
    Bytes ReadAvailable(int timeoutMs) const;
    // Hangs the line up: the instrument side goes away (an unplugged adapter). The test's
    // own slave descriptor closes too, so nothing keeps the line alive.
    void HangUp();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

// A scripted instrument on a PtyPair: every complete request is recorded byte for byte and
// answered with whatever the script returns (nothing: no reply).
class ScriptedPeer {
public:
    using Script = std::function<Bytes(const Bytes& raw, const kvrsim::Request& request)>;
    explicit ScriptedPeer(Script script);
    ~ScriptedPeer();

    const std::string& Path() const { return pty_.Path(); }
    std::vector<Bytes> Requests() const;

private:
    void Serve();

    PtyPair pty_;
    Script script_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Bytes> requests_;
    std::thread thread_;
};

// Serial parameters for tests: fast line, short but safe timeouts.
kvr::ComParam TestParams(const std::string& device);

}  // namespace kvrtest
