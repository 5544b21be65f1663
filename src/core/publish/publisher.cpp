#include "core/publish/publisher.h"

#include <algorithm>

#include "core/publish/publish_cursor.h"

namespace kvr {
namespace {

bool SameDescription(const InstrumentInfo& a, const InstrumentInfo& b) {
    if (a.identification != b.identification || a.device != b.device || a.address != b.address ||
        a.interval != b.interval || a.channels.size() != b.channels.size() ||
        a.flowTotalUnit != b.flowTotalUnit || a.heatTotalUnit != b.heatTotalUnit)
        return false;
    for (std::size_t c = 0; c < a.channels.size(); ++c)
        if (a.channels[c].name != b.channels[c].name || a.channels[c].unit != b.channels[c].unit)
            return false;
    return true;
}

}  // namespace

Publisher::Publisher(std::string instrument, PublisherOptions options, SessionOptions session)
    : instrument_(std::move(instrument)),
      options_(std::move(options)),
      session_([&] {
          session.willTopic = "kvr/v1/" + options_.site + "/" + instrument_ + "/state";
          return session;
      }()),
      sources_(instrument_) {}

Publisher::~Publisher() = default;

std::string Publisher::Topic(const char* leaf) const {
    return "kvr/v1/" + options_.site + "/" + instrument_ + "/" + leaf;
}

std::string Publisher::Start() {
    const CursorReadResult read = ReadPublishCursor(options_.cursorPath);
    if (!read.error.empty()) return read.error;
    cursor_ = read.cursor.value_or(0);
    savedCursor_ = read.cursor ? cursor_ : -1;
    newestPublished_ = cursor_;
    return {};
}

void Publisher::SetInfo(const InstrumentInfo& info) {
    if (info_ && SameDescription(*info_, info)) return;
    info_ = info;
    writer_ = std::make_unique<RecordWriter>(info);
    // The last will carries what the state says, offline.
    session_.SetWill(StatePayload(info, false, nullptr));
    stateDue_ = true;
}

void Publisher::Refresh(const std::vector<std::string>& paths) {
    const std::vector<RecordSpan> appeared = sources_.Refresh(paths);
    if (auto info = sources_.Info()) SetInfo(*info);
    for (const RecordSpan& span : appeared) {
        // A collector's file saved from its live buffer holds what was read from the
        // buffer already; what lies beyond everything published is read as it comes.
        const std::optional<Time> from = UncoveredFrom(span);
        if (!from || (connected_ && *from > liveSent_)) continue;
        // Anything else is backlog, however old: the cursor goes back to before it, and
        // what lies between goes out again.
        log_.push_back({false, instrument_ + ": new file with records from " + IsoTime(*from) +
                                   " to " + IsoTime(span.last) + ": backlog"});
        if (*from - 1 < cursor_) cursor_ = *from - 1;
        SaveCursor(Clock::now(), true);
        if (connected_) Restart(span.last);
    }
    for (const RecordSpan& span : sources_.Spans()) Remember(span);
}

std::optional<Time> Publisher::UncoveredFrom(const RecordSpan& span) const {
    for (const RecordSpan& k : known_) {
        if (k.first > span.first || span.first > k.last) continue;
        if (span.last <= k.last) return std::nullopt;
        return k.last + 1;
    }
    return span.first;
}

void Publisher::Remember(const RecordSpan& span) {
    for (RecordSpan& k : known_) {
        if (span.first <= k.last && k.first <= span.last) {
            k.first = std::min(k.first, span.first);
            k.last = std::max(k.last, span.last);
            return;
        }
    }
    known_.push_back(span);
}

void Publisher::RememberCursor(Clock::time_point now) {
    if (cursorHistory_.empty() || cursorHistory_.back().second != cursor_)
        cursorHistory_.emplace_back(now, cursor_);
    // One entry older than the period stays: it is the cursor at the period's start.
    while (cursorHistory_.size() > 1 && cursorHistory_[1].first < now - options_.replay)
        cursorHistory_.pop_front();
}

Time Publisher::CursorBefore(Clock::time_point moment) const {
    Time cursor = cursorHistory_.empty() ? cursor_ : cursorHistory_.front().second;
    for (const auto& [when, value] : cursorHistory_)
        if (when <= moment) cursor = value;
    return std::min(cursor, cursor_);
}

void Publisher::OnConnected() {
    connected_ = true;
    log_.push_back(
        {false, instrument_ + ": connected; backlog after " +
                    (cursor_ > 0 ? IsoTime(cursor_) : std::string("none: from the start"))});
    Restart(sources_.Newest().value_or(0));
    PublishState(true);
}

void Publisher::Restart(Time upTo) {
    covers_.clear();
    inFlight_.clear();
    histInFlight_ = 0;
    liveEdge_ = std::max({liveEdge_, liveSent_, upTo, cursor_});
    liveSent_ = liveEdge_;
    histNext_ = cursor_;
}

void Publisher::TakeAcknowledgements(const std::vector<int>& mids) {
    for (int mid : mids) {
        if (stateMid_ && *stateMid_ == mid) stateMid_.reset();
        const auto flight = inFlight_.find(mid);
        if (flight == inFlight_.end()) continue;
        const auto cover = covers_.find(flight->second);
        inFlight_.erase(flight);
        if (cover == covers_.end()) continue;
        cover->second.acked = true;
        if (cover->second.hist) --histInFlight_;
    }
}

void Publisher::Advance() {
    for (auto cover = covers_.find(cursor_); cover != covers_.end() && cover->second.acked;
         cover = covers_.find(cursor_)) {
        cursor_ = cover->second.to;
        covers_.erase(cover);
    }
}

void Publisher::Count(const PublishedRecord& record) {
    if (record.ts <= newestPublished_) ++counters_.resent;
    newestPublished_ = std::max(newestPublished_, record.ts);
    if (!last_ || record.ts >= last_->ts) {
        last_ = record;
        stateDue_ = true;
    }
}

void Publisher::PublishLive(const PublishedRecord& record) {
    if (!writer_ || record.ts <= liveSent_) return;
    const std::optional<int> mid =
        session_.Publish(Topic("live"), writer_->Live(record), options_.qos, false);
    if (!mid) return;
    covers_[liveSent_] = {record.ts, false, false};
    inFlight_[*mid] = liveSent_;
    liveSent_ = record.ts;
    ++counters_.liveRecords;
    Count(record);
}

void Publisher::SendLive() {
    const std::optional<Time> newest = sources_.Newest();
    if (!newest || *newest <= liveSent_) return;
    for (const PublishedRecord& record : sources_.Read(liveSent_, *newest, 4 * options_.batch)) {
        PublishLive(record);
        if (!session_.Connected()) return;
    }
}

void Publisher::SendBacklog() {
    while (session_.Connected() && histInFlight_ < options_.window && histNext_ < liveEdge_) {
        const std::vector<PublishedRecord> records =
            sources_.Read(histNext_, liveEdge_, options_.batch);
        if (records.empty()) {
            // Nothing recorded in the rest of the backlog: it is covered as it is.
            covers_[histNext_] = {liveEdge_, true, true};
            histNext_ = liveEdge_;
            return;
        }
        if (!writer_) return;
        const Time to = records.size() < options_.batch ? liveEdge_ : records.back().ts;
        const std::optional<int> mid = session_.Publish(
            Topic("hist"), writer_->Hist(records.data(), records.size()), options_.qos, false);
        if (!mid) return;
        covers_[histNext_] = {to, false, true};
        inFlight_[*mid] = histNext_;
        ++histInFlight_;
        histNext_ = to;
        ++counters_.histMessages;
        counters_.histRecords += static_cast<long long>(records.size());
        for (const PublishedRecord& record : records) Count(record);
    }
}

void Publisher::PublishState(bool online) {
    if (!info_) return;
    stateMid_ = session_.Publish(Topic("state"),
                                 StatePayload(*info_, online, last_ ? &*last_ : nullptr), 1, true);
    stateDue_ = false;
}

void Publisher::SaveCursor(Clock::time_point now, bool force) {
    if (cursor_ == savedCursor_ || (!force && now < nextCursorSave_)) return;
    nextCursorSave_ = now + options_.cursorPeriod;
    const std::string problem = WritePublishCursor(options_.cursorPath, cursor_);
    if (problem.empty()) {
        savedCursor_ = cursor_;
        cursorFailed_ = false;
        return;
    }
    // Said once: the next try comes with the next period.
    if (!cursorFailed_)
        log_.push_back({true, instrument_ + ": cannot write the cursor " + problem});
    cursorFailed_ = true;
}

void Publisher::TakeEvents() {
    SessionEvents events = session_.TakeEvents();
    if (!events.problem.empty()) log_.push_back({true, instrument_ + ": " + events.problem});
    // Acknowledgements of a connection that dropped are not waited for: what they would
    // have covered goes out again. Those that came before the drop may be lost with it.
    if (events.disconnected) {
        if (connected_) {
            cursor_ = CursorBefore(Clock::now() - options_.replay);
            SaveCursor(Clock::now(), true);
        }
        connected_ = false;
        covers_.clear();
        inFlight_.clear();
        histInFlight_ = 0;
        stateMid_.reset();
    }
    if (events.connected && session_.Connected()) OnConnected();
    if (connected_) TakeAcknowledgements(events.acknowledged);
    Advance();
}

void Publisher::Step(Clock::time_point now) {
    session_.Step(now);
    TakeEvents();
    if (connected_) {
        SendLive();
        SendBacklog();
        if (stateDue_ && now >= nextState_) {
            PublishState(true);
            nextState_ = now + options_.statePeriod;
        }
    }
    Advance();
    RememberCursor(now);
    SaveCursor(now, false);
}

void Publisher::Stop(std::chrono::milliseconds grace) {
    if (connected_) {
        PublishState(false);
        const auto deadline = Clock::now() + grace;
        while (session_.Connected() && (!inFlight_.empty() || stateMid_) &&
               Clock::now() < deadline) {
            MqttSession::Wait({&session_}, std::chrono::milliseconds(20));
            TakeEvents();
        }
    }
    SaveCursor(Clock::now(), true);
    session_.Disconnect();
    connected_ = false;
}

std::vector<PublisherLogLine> Publisher::TakeLog() { return std::exchange(log_, {}); }

}  // namespace kvr
