#pragma once
// mosquitto and socat as child processes for the publish tests: each on a free loopback
// port with its own configuration in the test's folder, stopped by process id (a paused
// broker is resumed first, so that it can end).
#include <sys/types.h>

#include <string>
#include <vector>

namespace kvrtest {

// A loopback TCP port nobody listens on now.
int FreeLoopbackPort();

// True once something accepts connections on the loopback port (within timeoutMs).
bool WaitForListener(int port, int timeoutMs);

struct BrokerConfig {
    bool persistence = false;
    // TLS: the listener takes these (paths); empty for plain MQTT.
    std::string certFile, keyFile;
    // Users: a mosquitto password file; anonymous clients are refused when set.
    std::string passwordFile;
};

class BrokerProcess {
public:
    BrokerProcess(std::string folder, BrokerConfig config);
    ~BrokerProcess();
    BrokerProcess(const BrokerProcess&) = delete;
    BrokerProcess& operator=(const BrokerProcess&) = delete;

    // Starts (again) on the same port; false when it does not listen within 5 s.
    bool Start();
    // Sends signal (SIGKILL, SIGTERM) and reaps it.
    void Stop(int signal);
    void Pause();
    void Resume();
    int Port() const { return port_; }
    std::string Url() const;
    const std::string& Log() const { return logPath_; }

private:
    std::string folder_;
    BrokerConfig config_;
    int port_ = 0;
    pid_t pid_ = -1;
    bool paused_ = false;
    std::string logPath_;
};

// socat forwarding a loopback port to another: a link that can be cut (Stop) and restored
// (Start) while both ends stay up.
class TcpProxy {
public:
    explicit TcpProxy(int targetPort);
    ~TcpProxy();
    TcpProxy(const TcpProxy&) = delete;
    TcpProxy& operator=(const TcpProxy&) = delete;

    bool Start();
    // Kills socat and the connections it forwards (its process group).
    void Stop();
    int Port() const { return port_; }

private:
    int target_;
    int port_;
    pid_t pid_ = -1;
};

}  // namespace kvrtest
