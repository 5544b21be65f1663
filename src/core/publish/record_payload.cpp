#include "core/publish/record_payload.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <limits>
#include <nlohmann/json.hpp>

namespace kvr {
namespace {

using Json = nlohmann::json;

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Quoted(const std::string& text) {
    return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

void AppendInteger(std::string& out, std::int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

// The shortest text that reads back as the same float; null for NaN and infinities, which
// JSON cannot carry.
void AppendSample(std::string& out, float value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    // "-0" would read back as the integer 0; the sign of a zero is kept.
    if (value == 0.0f && std::signbit(value)) {
        out += "-0.0";
        return;
    }
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

std::string Base64(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::uint32_t chunk = (static_cast<std::uint32_t>(bytes[i]) << 16) |
                                    (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                                    (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        out += kBase64[(chunk >> 18) & 63];
        out += kBase64[(chunk >> 12) & 63];
        out += i + 1 < bytes.size() ? kBase64[(chunk >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kBase64[chunk & 63] : '=';
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> FromBase64(const std::string& text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::vector<std::uint8_t> out;
    std::uint32_t chunk = 0;
    int bits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=') {
            if (i + 2 < text.size()) return std::nullopt;
            break;
        }
        const char* at = std::char_traits<char>::find(kBase64, 64, text[i]);
        if (!at) return std::nullopt;
        chunk = (chunk << 6) | static_cast<std::uint32_t>(at - kBase64);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<std::uint8_t>((chunk >> bits) & 0xFF));
        }
    }
    return out;
}

std::optional<PublishedRecord> RecordFromJson(const Json& j) {
    if (!j.is_object() || !j.contains("ts") || !j["ts"].is_number_integer()) return std::nullopt;
    PublishedRecord record;
    record.ts = j["ts"].get<Time>();
    const Json& channels = j.value("channels", Json::array());
    if (!channels.is_array()) return std::nullopt;
    for (const Json& channel : channels) {
        if (!channel.is_object()) return std::nullopt;
        const Json& value = channel.value("value", Json());
        if (value.is_null())
            record.values.push_back(std::numeric_limits<float>::quiet_NaN());
        else if (value.is_number())
            record.values.push_back(value.get<float>());
        else
            return std::nullopt;
    }
    const Json& totals = j.value("totals", Json::object());
    if (!totals.is_object()) return std::nullopt;
    for (auto [key, field] : {std::pair{"flow", &PublishedRecord::flowTotal},
                              std::pair{"heat", &PublishedRecord::heatTotal}}) {
        if (!totals.contains(key)) continue;
        if (!totals[key].is_string()) return std::nullopt;
        const auto hundredths = ParseHundredths(totals[key].get<std::string>());
        if (!hundredths) return std::nullopt;
        record.*field = *hundredths;
    }
    return record;
}

}  // namespace

std::string HundredthsText(std::int64_t hundredths) {
    // Through the unsigned magnitude: the most negative count has no positive twin.
    const bool negative = hundredths < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(hundredths)
                                             : static_cast<std::uint64_t>(hundredths);
    std::string out = negative ? "-" : "";
    out += std::to_string(magnitude / 100);
    const auto cents = static_cast<unsigned>(magnitude % 100);
    out += '.';
    out += static_cast<char>('0' + cents / 10);
    out += static_cast<char>('0' + cents % 10);
    return out;
}

std::optional<std::int64_t> ParseHundredths(const std::string& text) {
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos || text.size() != dot + 3) return std::nullopt;
    const bool negative = !text.empty() && text[0] == '-';
    const std::string whole = text.substr(negative ? 1 : 0, dot - (negative ? 1 : 0));
    const std::string cents = text.substr(dot + 1);
    if (whole.empty()) return std::nullopt;
    for (const std::string* part : {&whole, &cents})
        for (char c : *part)
            if (c < '0' || c > '9') return std::nullopt;
    std::uint64_t units = 0;
    const auto parsed = std::from_chars(whole.data(), whole.data() + whole.size(), units);
    if (parsed.ec != std::errc() || units > std::numeric_limits<std::uint64_t>::max() / 100)
        return std::nullopt;
    const std::uint64_t magnitude = units * 100 + static_cast<std::uint64_t>(std::stoi(cents));
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    if (magnitude > limit || magnitude < units) return std::nullopt;
    return negative ? static_cast<std::int64_t>(0 - magnitude)
                    : static_cast<std::int64_t>(magnitude);
}

std::string IsoTime(Time t) {
    const std::time_t seconds = static_cast<std::time_t>(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[40];
    const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S", &local);
    const long offset = local.tm_gmtoff;
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    std::snprintf(buffer + length, sizeof buffer - length, "%c%02ld:%02ld", offset < 0 ? '-' : '+',
                  minutes / 60, minutes % 60);
    return buffer;
}

RecordWriter::RecordWriter(const InstrumentInfo& info)
    : instrumentJson_(Quoted(info.instrument)),
      flowUnitJson_(Quoted(info.flowTotalUnit)),
      heatUnitJson_(Quoted(info.heatTotalUnit)) {
    for (const PublishedChannel& channel : info.channels)
        channelPrefixes_.push_back("{\"name\":" + Quoted(channel.name) +
                                   ",\"unit\":" + Quoted(channel.unit) + ",\"value\":");
}

void RecordWriter::AppendRecord(std::string& out, const PublishedRecord& record) const {
    out += "{\"ts\":";
    AppendInteger(out, record.ts);
    out += ",\"time\":\"";
    out += IsoTime(record.ts);
    out += "\",\"channels\":[";
    for (std::size_t c = 0; c < channelPrefixes_.size(); ++c) {
        if (c > 0) out += ',';
        out += channelPrefixes_[c];
        AppendSample(out, c < record.values.size() ? record.values[c]
                                                   : std::numeric_limits<float>::quiet_NaN());
        out += '}';
    }
    out += "],\"totals\":{\"flow\":\"";
    out += HundredthsText(record.flowTotal);
    out += "\",\"flow_unit\":";
    out += flowUnitJson_;
    out += ",\"heat\":\"";
    out += HundredthsText(record.heatTotal);
    out += "\",\"heat_unit\":";
    out += heatUnitJson_;
    out += "}}";
}

std::string RecordWriter::Live(const PublishedRecord& record) const {
    std::string out;
    out.reserve(96 + 64 * channelPrefixes_.size());
    AppendRecord(out, record);
    return out;
}

std::string RecordWriter::Hist(const PublishedRecord* records, std::size_t count) const {
    std::string out;
    out.reserve(64 + count * (96 + 64 * channelPrefixes_.size()));
    out += "{\"instrument\":";
    out += instrumentJson_;
    out += ",\"from_ts\":";
    AppendInteger(out, count ? records[0].ts : 0);
    out += ",\"to_ts\":";
    AppendInteger(out, count ? records[count - 1].ts : 0);
    out += ",\"records\":[";
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out += ',';
        AppendRecord(out, records[i]);
    }
    out += "]}";
    return out;
}

std::string StatePayload(const InstrumentInfo& info, bool online, const PublishedRecord* last) {
    // In the order a reader expects: online first, the last record last.
    using Ordered = nlohmann::ordered_json;
    Ordered channels = Ordered::array();
    for (const PublishedChannel& channel : info.channels)
        channels.push_back({{"name", channel.name}, {"unit", channel.unit}});
    Ordered state = {{"online", online},
                     {"instrument", info.instrument},
                     {"identification", info.identification},
                     {"device", info.device},
                     {"address", info.address},
                     {"interval", info.interval},
                     {"version", info.version},
                     {"flow_unit", info.flowTotalUnit},
                     {"heat_unit", info.heatTotalUnit},
                     {"channels", channels},
                     {"config", Base64(info.config)},
                     {"last", nullptr}};
    if (last) state["last"] = Ordered::parse(RecordWriter(info).Live(*last));
    return state.dump(-1, ' ', false, Ordered::error_handler_t::replace);
}

std::optional<std::vector<PublishedRecord>> ParseRecords(const std::string& text,
                                                         std::string* error) {
    const Json j = Json::parse(text, nullptr, false);
    std::vector<PublishedRecord> records;
    const bool batch = j.is_object() && j.contains("records");
    if (batch && j["records"].is_array()) {
        for (const Json& item : j["records"]) {
            auto record = RecordFromJson(item);
            if (!record) break;
            records.push_back(std::move(*record));
        }
        if (records.size() == j["records"].size()) return records;
    } else if (!batch) {
        if (auto record = RecordFromJson(j)) {
            records.push_back(std::move(*record));
            return records;
        }
    }
    if (error) *error = "not a record or a batch of records";
    return std::nullopt;
}

std::optional<ParsedState> ParseState(const std::string& text, std::string* error) {
    const Json j = Json::parse(text, nullptr, false);
    const auto fail = [error](const char* why) -> std::optional<ParsedState> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (!j.is_object() || !j.contains("online") || !j["online"].is_boolean())
        return fail("not an instrument state");
    ParsedState parsed;
    parsed.online = j["online"].get<bool>();
    InstrumentInfo& info = parsed.info;
    try {
        info.instrument = j.value("instrument", "");
        info.identification = j.value("identification", "");
        info.device = j.value("device", "");
        info.address = j.value("address", 0);
        info.interval = j.value("interval", 0);
        info.version = j.value("version", 0);
        info.flowTotalUnit = j.value("flow_unit", "");
        info.heatTotalUnit = j.value("heat_unit", "");
        for (const Json& channel : j.value("channels", Json::array()))
            info.channels.push_back({channel.value("name", ""), channel.value("unit", "")});
        const auto config = FromBase64(j.value("config", ""));
        if (!config) return fail("the configuration record is not base64");
        info.config = *config;
    } catch (const Json::exception&) {
        return fail("a field of the state has the wrong type");
    }
    return parsed;
}

}  // namespace kvr
