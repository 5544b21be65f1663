#include "support/broker_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace kvrtest {
namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Starts argv in its own process group with both outputs appended to log.
pid_t Spawn(const std::vector<std::string>& arguments, const std::string& log) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::setpgid(0, 0);
    const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd >= 0) {
        ::dup2(fd, 1);
        ::dup2(fd, 2);
    }
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

void Reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool WaitForListener(int port, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in address = Loopback(port);
        const bool up =
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        if (up) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

BrokerProcess::BrokerProcess(std::string folder, BrokerConfig config)
    : folder_(std::move(folder)),
      config_(std::move(config)),
      port_(FreeLoopbackPort()),
      logPath_(folder_ + "/mosquitto.log") {
    const passwd* user = ::getpwuid(::getuid());
    std::ofstream conf(folder_ + "/mosquitto.conf");
    conf << "user " << (user ? user->pw_name : "root") << "\n"
         << "listener " << port_ << " 127.0.0.1\n"
         << "allow_anonymous " << (config_.passwordFile.empty() ? "true" : "false") << "\n"
         << "max_queued_messages 0\nmax_inflight_messages 0\n"
         << "log_dest stderr\nlog_type error\nlog_type warning\nlog_type notice\n";
    if (!config_.passwordFile.empty()) conf << "password_file " << config_.passwordFile << "\n";
    if (!config_.certFile.empty())
        conf << "certfile " << config_.certFile << "\nkeyfile " << config_.keyFile << "\n";
    if (config_.persistence)
        conf << "persistence true\npersistence_location " << folder_
             << "/\nautosave_interval 1\nautosave_on_changes true\n";
}

BrokerProcess::~BrokerProcess() { Stop(SIGKILL); }

bool BrokerProcess::Start() {
    if (pid_ > 0) return true;
    pid_ = Spawn({"mosquitto", "-c", folder_ + "/mosquitto.conf"}, logPath_);
    return pid_ > 0 && WaitForListener(port_, 5000);
}

void BrokerProcess::Stop(int signal) {
    if (pid_ <= 0) return;
    if (paused_ && signal != SIGKILL) Resume();
    ::kill(pid_, signal);
    Reap(pid_);
    pid_ = -1;
    paused_ = false;
}

void BrokerProcess::Pause() {
    if (pid_ > 0 && ::kill(pid_, SIGSTOP) == 0) paused_ = true;
}

void BrokerProcess::Resume() {
    if (pid_ > 0 && ::kill(pid_, SIGCONT) == 0) paused_ = false;
}

std::string BrokerProcess::Url() const {
    return std::string(config_.certFile.empty() ? "mqtt" : "mqtts") +
           "://127.0.0.1:" + std::to_string(port_);
}

TcpProxy::TcpProxy(int targetPort) : target_(targetPort), port_(FreeLoopbackPort()) {}

TcpProxy::~TcpProxy() { Stop(); }

bool TcpProxy::Start() {
    if (pid_ > 0) return true;
    pid_ = Spawn({"socat", "TCP-LISTEN:" + std::to_string(port_) + ",bind=127.0.0.1,reuseaddr,fork",
                  "TCP:127.0.0.1:" + std::to_string(target_)},
                 "/dev/null");
    return pid_ > 0 && WaitForListener(port_, 5000);
}

void TcpProxy::Stop() {
    if (pid_ <= 0) return;
    // The group: socat forks one process per forwarded connection.
    ::kill(-pid_, SIGKILL);
    Reap(pid_);
    pid_ = -1;
}

}  // namespace kvrtest
