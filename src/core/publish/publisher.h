#pragma once
// Publisher: one instrument's records to the broker, over its own connection.
//
// Every record since the cursor goes out at least once. At each (re)connection the records
// from the cursor up to the newest one known then are the backlog, sent on "hist" in
// batches, while records newer than that go out one by one on "live" as they appear. The
// retained "state" is published at every connection (a broker without persistence forgets
// it), when the last record changes (at most once a second) and, online false, at a clean
// stop; the connection's last will says the same when the publisher dies.
//
// The cursor moves only over an unbroken run of acknowledged messages: each message covers
// the records after the end of the one before it in its stream (hist or live) up to its own
// last record, and the two streams meet at the live edge. What was in flight when a
// connection dropped is sent again from the cursor; consumers deduplicate on (instrument,
// ts).
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/publish/instrument_sources.h"
#include "core/publish/mqtt_session.h"
#include "core/publish/record_payload.h"

namespace kvr {

struct PublisherOptions {
    std::string site;
    int qos = 1;
    std::string cursorPath;
    std::size_t batch = 60;                        // records per hist message
    std::size_t window = 256;                      // hist messages in flight
    std::chrono::milliseconds cursorPeriod{1000};  // the cursor file is written this often
    std::chrono::milliseconds statePeriod{1000};
    // After a lost connection, what the broker acknowledged this long before the loss is
    // sent again: a broker that died may have acknowledged messages it had not yet passed
    // on (or saved), and a consumer behind it never gets them otherwise.
    std::chrono::seconds replay{30};
};

struct PublisherCounters {
    long long liveRecords = 0;
    long long histRecords = 0;
    long long histMessages = 0;
    long long resent = 0;  // records published again (after a lost connection or a restart)
};

struct PublisherLogLine {
    bool problem = false;  // a refusal, a lost connection, a cursor that cannot be written
    std::string text;
};

class Publisher {
public:
    using Clock = std::chrono::steady_clock;

    Publisher(std::string instrument, PublisherOptions options, SessionOptions session);
    ~Publisher();
    Publisher(const Publisher&) = delete;
    Publisher& operator=(const Publisher&) = delete;

    // Reads the cursor. Empty on success, else why the instrument cannot be published.
    std::string Start();
    // The instrument's data files now (from SourceFollower), opened or reopened.
    void Refresh(const std::vector<std::string>& paths);
    // Connects when due, takes the broker's answers, moves the cursor and publishes what
    // is due: live records, backlog batches within the window, the state.
    void Step(Clock::time_point now);
    // A clean stop: the state goes out as offline, what is in flight gets up to grace to
    // be acknowledged, the cursor is written and the connection closed.
    void Stop(std::chrono::milliseconds grace);

    // Publishes one record on live at once (the step does this for new records).
    void PublishLive(const PublishedRecord& record);
    void SetInfo(const InstrumentInfo& info);

    MqttSession& Session() { return session_; }
    const std::string& Instrument() const { return instrument_; }
    bool Connected() const { return connected_; }
    bool BacklogDone() const { return connected_ && histNext_ >= liveEdge_ && histInFlight_ == 0; }
    Time Cursor() const { return cursor_; }
    std::size_t InFlight() const { return inFlight_.size(); }
    const PublisherCounters& Counters() const { return counters_; }
    // Lines for the log since the last call (connections, refusals, cursor problems).
    std::vector<PublisherLogLine> TakeLog();

private:
    struct Cover {
        Time to = 0;
        bool acked = false;
        bool hist = false;
    };
    std::string Topic(const char* leaf) const;
    void OnConnected();
    // Everything not acknowledged is sent again from the cursor; records up to upTo (and
    // those sent live) become backlog.
    void Restart(Time upTo);
    void TakeEvents();
    void TakeAcknowledgements(const std::vector<int>& mids);
    // Moves the cursor over the acknowledged covers that follow it without a gap.
    void Advance();
    void SendLive();
    void SendBacklog();
    void PublishState(bool online);
    void SaveCursor(Clock::time_point now, bool force);
    // Keeps the cursor's moves of the replay period; CursorBefore: the cursor at moment.
    void RememberCursor(Clock::time_point now);
    Time CursorBefore(Clock::time_point moment) const;
    // Where span goes beyond the records of the files seen before; nullopt when it does not.
    std::optional<Time> UncoveredFrom(const RecordSpan& span) const;
    void Remember(const RecordSpan& span);
    void Count(const PublishedRecord& record);

    const std::string instrument_;
    const PublisherOptions options_;
    MqttSession session_;
    InstrumentSources sources_;
    std::optional<InstrumentInfo> info_;
    std::unique_ptr<RecordWriter> writer_;

    bool connected_ = false;
    Time cursor_ = 0;        // every record up to here was acknowledged
    Time savedCursor_ = -1;  // what the cursor file says
    Time liveEdge_ = 0;      // the backlog ends here; newer records are live
    Time liveSent_ = 0;      // the last record published on live (or the edge)
    Time histNext_ = 0;      // the backlog was sent up to here
    Time newestPublished_ = 0;
    std::map<Time, Cover> covers_;  // by the record time each message's cover begins after
    std::map<int, Time> inFlight_;  // message id -> its cover's key
    std::size_t histInFlight_ = 0;
    std::vector<RecordSpan> known_;  // record spans of every file seen
    std::optional<PublishedRecord> last_;
    std::optional<int> stateMid_;  // the state message not yet acknowledged
    // The cursor as it moved, for the replay after a lost connection.
    std::deque<std::pair<Clock::time_point, Time>> cursorHistory_;
    bool stateDue_ = false;
    Clock::time_point nextState_{};
    Clock::time_point nextCursorSave_{};
    bool cursorFailed_ = false;
    PublisherCounters counters_;
    std::vector<PublisherLogLine> log_;
};

}  // namespace kvr
