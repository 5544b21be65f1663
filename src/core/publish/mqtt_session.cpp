#include "core/publish/mqtt_session.h"

#include <mosquitto.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <thread>

namespace kvr {
namespace {

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

std::string ConnectProblem(int rc, const std::string& tlsError) {
    switch (rc) {
        case MOSQ_ERR_ERRNO: return std::strerror(errno);
        case MOSQ_ERR_EAI: return "the host name does not resolve";
        // Which this version of the library has no text for.
        case MOSQ_ERR_KEEPALIVE: return "the broker did not answer within the keep-alive time";
        case MOSQ_ERR_TLS:
            return "TLS handshake failed (" +
                   (tlsError.empty() ? std::string("certificate not trusted?") : tlsError) + ")";
        default: return mosquitto_strerror(rc);
    }
}

}  // namespace

std::optional<BrokerAddress> ParseBrokerUrl(const std::string& url, std::string* error) {
    BrokerAddress address;
    std::string rest;
    if (url.rfind("mqtt://", 0) == 0) {
        rest = url.substr(7);
    } else if (url.rfind("mqtts://", 0) == 0) {
        rest = url.substr(8);
        address.tls = true;
        address.port = 8883;
    } else {
        if (error) *error = url + ": the broker is mqtt://HOST[:PORT] or mqtts://HOST[:PORT]";
        return std::nullopt;
    }
    if (!rest.empty() && rest.back() == '/') rest.pop_back();
    const std::size_t colon = rest.rfind(':');
    const std::size_t bracket = rest.rfind(']');
    if (colon != std::string::npos && (bracket == std::string::npos || bracket < colon)) {
        const std::string port = rest.substr(colon + 1);
        rest = rest.substr(0, colon);
        char* end = nullptr;
        const long value = std::strtol(port.c_str(), &end, 10);
        if (port.empty() || *end != '\0' || value < 1 || value > 65535) {
            if (error) *error = url + ": the port must be 1 to 65535";
            return std::nullopt;
        }
        address.port = static_cast<int>(value);
    }
    if (rest.size() > 2 && rest.front() == '[' && rest.back() == ']')
        rest = rest.substr(1, rest.size() - 2);
    if (rest.empty() || rest.find('/') != std::string::npos) {
        if (error) *error = url + ": no host";
        return std::nullopt;
    }
    address.host = rest;
    return address;
}

MqttSession::MqttSession(SessionOptions options)
    : options_(std::move(options)), retryDelay_(options_.firstRetry) {
    InitLibrary();
}

void MqttSession::CreateInstance() {
    if (mosq_) mosquitto_destroy(mosq_);
    mosq_ = mosquitto_new(options_.clientId.empty() ? nullptr : options_.clientId.c_str(),
                          options_.cleanSession, this);
    if (!mosq_) return;
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_int_option(mosq_, MOSQ_OPT_TCP_NODELAY, 1);
    // Our owner keeps its own window of messages in flight; the library must not queue.
    mosquitto_max_inflight_messages_set(mosq_, 0);
    mosquitto_connect_callback_set(mosq_, OnConnect);
    mosquitto_disconnect_callback_set(mosq_, OnDisconnect);
    mosquitto_publish_callback_set(mosq_, OnPublish);
    mosquitto_message_callback_set(mosq_, OnMessage);
    mosquitto_log_callback_set(mosq_, OnLog);
    if (!options_.username.empty())
        mosquitto_username_pw_set(mosq_, options_.username.c_str(),
                                  options_.password.empty() ? nullptr : options_.password.c_str());
    if (options_.broker.tls)
        mosquitto_tls_set(mosq_, options_.caFile.empty() ? nullptr : options_.caFile.c_str(),
                          options_.caFile.empty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr,
                          nullptr);
    if (!options_.willTopic.empty())
        mosquitto_will_set(mosq_, options_.willTopic.c_str(),
                           static_cast<int>(options_.willPayload.size()),
                           options_.willPayload.data(), 1, true);
}

MqttSession::~MqttSession() {
    if (!mosq_) return;
    if (state_ != State::kIdle) mosquitto_disconnect(mosq_);
    mosquitto_destroy(mosq_);
}

std::string MqttSession::Where() const {
    return options_.broker.host + ":" + std::to_string(options_.broker.port);
}

void MqttSession::Fail(const std::string& why, Clock::time_point now) {
    state_ = State::kIdle;
    events_.problem = "cannot connect to " + Where() + ": " + why + "; trying again in " +
                      std::to_string((retryDelay_.count() + 999) / 1000) + " s";
    retryAt_ = now + retryDelay_;
    retryDelay_ = std::min(retryDelay_ * 2, options_.longestRetry);
}

void MqttSession::Lost(const std::string& why) {
    if (state_ == State::kIdle) return;
    const bool wasConnected = state_ == State::kConnected;
    mosquitto_disconnect(mosq_);
    if (wasConnected) {
        state_ = State::kIdle;
        events_.disconnected = true;
        events_.problem = "lost the connection to " + Where() + ": " + why;
        retryAt_ = Clock::now() + options_.firstRetry;
        retryDelay_ = options_.firstRetry;
        return;
    }
    events_.disconnected = true;
    Fail(why, Clock::now());
}

void MqttSession::Step(Clock::time_point now) {
    if (state_ == State::kIdle) {
        if (now < retryAt_) return;
        CreateInstance();
        if (!mosq_) return Fail("out of memory", now);
        lastTlsError_.clear();
        const int rc = mosquitto_connect_async(mosq_, options_.broker.host.c_str(),
                                               options_.broker.port, options_.keepAliveSec);
        if (rc != MOSQ_ERR_SUCCESS) return Fail(ConnectProblem(rc, lastTlsError_), now);
        state_ = State::kConnecting;
        connectDeadline_ = now + std::chrono::seconds(options_.keepAliveSec);
    }
    if (state_ == State::kConnecting && now > connectDeadline_)
        return Lost("the broker did not answer");
    if (state_ == State::kConnected && unacknowledged_ > 0 &&
        now - lastProgress_ > std::chrono::seconds(options_.keepAliveSec))
        return Lost("no acknowledgement for " + std::to_string(options_.keepAliveSec) + " s");
    Service(false, WantsWrite());
}

void MqttSession::Service(bool readable, bool writable) {
    if (!mosq_ || state_ == State::kIdle) return;
    int rc = MOSQ_ERR_SUCCESS;
    if (readable) rc = mosquitto_loop_read(mosq_, 1);
    if (rc == MOSQ_ERR_SUCCESS && state_ != State::kIdle && (writable || WantsWrite()))
        rc = mosquitto_loop_write(mosq_, 1);
    if (rc == MOSQ_ERR_SUCCESS && state_ != State::kIdle) rc = mosquitto_loop_misc(mosq_);
    if (rc != MOSQ_ERR_SUCCESS && state_ != State::kIdle)
        Lost(rc == MOSQ_ERR_TLS ? ConnectProblem(rc, lastTlsError_) : ConnectProblem(rc, {}));
}

SessionEvents MqttSession::TakeEvents() {
    SessionEvents taken = std::move(events_);
    events_ = SessionEvents{};
    return taken;
}

std::optional<int> MqttSession::Publish(const std::string& topic, const std::string& payload,
                                        int qos, bool retain) {
    if (state_ != State::kConnected) return std::nullopt;
    int mid = 0;
    const int rc = mosquitto_publish(mosq_, &mid, topic.c_str(), static_cast<int>(payload.size()),
                                     payload.data(), qos, retain);
    if (rc == MOSQ_ERR_SUCCESS && qos > 0 && unacknowledged_++ == 0) lastProgress_ = Clock::now();
    if (rc != MOSQ_ERR_SUCCESS) {
        if (rc == MOSQ_ERR_NO_CONN || rc == MOSQ_ERR_CONN_LOST || rc == MOSQ_ERR_ERRNO)
            Lost(ConnectProblem(rc, {}));
        return std::nullopt;
    }
    return mid;
}

bool MqttSession::Subscribe(const std::string& pattern, int qos) {
    return state_ == State::kConnected &&
           mosquitto_subscribe(mosq_, nullptr, pattern.c_str(), qos) == MOSQ_ERR_SUCCESS;
}

void MqttSession::Disconnect() {
    if (!mosq_ || state_ == State::kIdle) return;
    mosquitto_disconnect(mosq_);
    // DISCONNECT goes out with whatever is still queued for the socket.
    for (int i = 0; i < 10 && mosquitto_want_write(mosq_); ++i) mosquitto_loop_write(mosq_, 1);
    state_ = State::kIdle;
}

int MqttSession::Socket() const { return mosq_ ? mosquitto_socket(mosq_) : -1; }

bool MqttSession::WantsWrite() const { return mosq_ && mosquitto_want_write(mosq_); }

void MqttSession::Wait(const std::vector<MqttSession*>& sessions,
                       std::chrono::milliseconds timeout) {
    std::vector<pollfd> fds;
    std::vector<MqttSession*> polled;
    for (MqttSession* session : sessions) {
        const int fd = session->Socket();
        if (fd < 0 || session->state_ == State::kIdle) continue;
        fds.push_back({fd, static_cast<short>(POLLIN | (session->WantsWrite() ? POLLOUT : 0)), 0});
        polled.push_back(session);
    }
    if (fds.empty()) {
        std::this_thread::sleep_for(timeout);
        return;
    }
    if (::poll(fds.data(), fds.size(), static_cast<int>(timeout.count())) <= 0) return;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        const short ready = fds[i].revents;
        if (ready == 0) continue;
        polled[i]->Service((ready & (POLLIN | POLLERR | POLLHUP)) != 0, (ready & POLLOUT) != 0);
    }
}

void MqttSession::OnConnect(mosquitto*, void* self, int rc) {
    auto* session = static_cast<MqttSession*>(self);
    if (rc == 0) {
        session->state_ = State::kConnected;
        session->unacknowledged_ = 0;
        session->retryDelay_ = session->options_.firstRetry;
        session->events_.connected = true;
        session->events_.problem.clear();
        return;
    }
    // The refusal is the reason; the library closes the connection after this.
    session->Fail(std::string("refused: ") + mosquitto_connack_string(rc), Clock::now());
    session->events_.disconnected = true;
    mosquitto_disconnect(session->mosq_);
}

void MqttSession::OnDisconnect(mosquitto*, void* self, int rc) {
    auto* session = static_cast<MqttSession*>(self);
    if (session->state_ == State::kIdle) return;
    session->Lost(rc == 0 ? "disconnected" : ConnectProblem(rc, {}));
}

void MqttSession::OnPublish(mosquitto*, void* self, int mid) {
    auto* session = static_cast<MqttSession*>(self);
    session->events_.acknowledged.push_back(mid);
    if (session->unacknowledged_ > 0) --session->unacknowledged_;
    session->lastProgress_ = Clock::now();
}

void MqttSession::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* session = static_cast<MqttSession*>(self);
    session->events_.messages.push_back(
        {message->topic ? message->topic : "",
         std::string(static_cast<const char*>(message->payload),
                     static_cast<std::size_t>(message->payloadlen))});
}

void MqttSession::OnLog(mosquitto*, void* self, int level, const char* text) {
    if (level != MOSQ_LOG_ERR || !text) return;
    static_cast<MqttSession*>(self)->lastTlsError_ = text;
}

}  // namespace kvr
