#pragma once
// MqttSession: one connection to a broker through libmosquitto, driven by its owner's loop
// (no thread of its own). It connects when asked and after a failure waits with back-off
// (doubling up to a limit) before the next try; it keeps what happened (connected,
// refused and why, lost, publish acknowledgements, messages) as events for the owner to
// take, so that nothing calls back into the owner from inside libmosquitto.
//
// The password is only ever held here and handed to libmosquitto; no text says it.
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace kvr {

struct BrokerAddress {
    std::string host;
    int port = 1883;
    bool tls = false;
};

// mqtt://HOST[:PORT] (1883) or mqtts://HOST[:PORT] (8883); nullopt with *error.
std::optional<BrokerAddress> ParseBrokerUrl(const std::string& url, std::string* error);

struct SessionOptions {
    BrokerAddress broker;
    std::string clientId;      // empty: the library makes one up
    bool cleanSession = true;  // false: the broker keeps our subscriptions and queue
    std::string caFile;        // with mqtts: the certificate authority to trust
    std::string username;
    std::string password;
    std::string willTopic;  // empty: no last will
    std::string willPayload;
    int keepAliveSec = 10;
    std::chrono::milliseconds firstRetry{1000};
    std::chrono::milliseconds longestRetry{30000};
};

struct SessionEvents {
    bool connected = false;         // a connection was accepted
    bool disconnected = false;      // the connection is gone (lost, refused, timed out)
    std::string problem;            // why, when a try failed or a connection was lost
    std::vector<int> acknowledged;  // message ids the broker acknowledged (QoS 1) or took (0)
    struct Message {
        std::string topic;
        std::string payload;
    };
    std::vector<Message> messages;
};

class MqttSession {
public:
    using Clock = std::chrono::steady_clock;

    explicit MqttSession(SessionOptions options);
    ~MqttSession();
    MqttSession(const MqttSession&) = delete;
    MqttSession& operator=(const MqttSession&) = delete;

    // Connects (or reconnects) when disconnected and the back-off has passed; services the
    // socket without waiting. The connection is made without blocking (only the look-up of
    // the host name waits); a broker that does not answer within the keep-alive time is a
    // failed try. Call often; Wait blocks until there is something to do.
    void Step(Clock::time_point now);
    bool Connected() const { return state_ == State::kConnected; }
    // Everything that happened since the last call.
    SessionEvents TakeEvents();

    // The message id, or nullopt when not connected or the library refused it.
    std::optional<int> Publish(const std::string& topic, const std::string& payload, int qos,
                               bool retain);
    bool Subscribe(const std::string& pattern, int qos);
    // The last will of the next connection (retained, QoS 1, on options.willTopic).
    void SetWill(const std::string& payload) { options_.willPayload = payload; }
    // Sends DISCONNECT (the broker then drops the last will) and closes.
    void Disconnect();

    int Socket() const;
    bool WantsWrite() const;
    // Reads and writes what the socket is ready for (after Wait).
    void Service(bool readable, bool writable);

    // Waits up to timeout for any of the sessions' sockets to become ready and services
    // them; returns at once when none is open.
    static void Wait(const std::vector<MqttSession*>& sessions, std::chrono::milliseconds timeout);

private:
    enum class State { kIdle, kConnecting, kConnected };
    // A fresh library instance for every connection: nothing of a dropped connection (its
    // queue, its message ids) is carried over; our owner sends again what was lost.
    void CreateInstance();
    static void OnConnect(mosquitto*, void* self, int rc);
    static void OnDisconnect(mosquitto*, void* self, int rc);
    static void OnPublish(mosquitto*, void* self, int mid);
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* message);
    static void OnLog(mosquitto*, void* self, int level, const char* text);
    void Fail(const std::string& why, Clock::time_point now);
    void Lost(const std::string& why);
    std::string Where() const;

    SessionOptions options_;
    mosquitto* mosq_ = nullptr;
    State state_ = State::kIdle;
    Clock::time_point retryAt_{};
    Clock::time_point connectDeadline_{};
    std::chrono::milliseconds retryDelay_;
    std::string lastTlsError_;
    SessionEvents events_;
    // QoS 1 messages not yet acknowledged, and when the broker last acknowledged one (or
    // the first of them went out): a broker that stops answering while we keep sending
    // never lets the keep-alive ping go out, so silence on acknowledgements counts too.
    int unacknowledged_ = 0;
    Clock::time_point lastProgress_{};
};

}  // namespace kvr
