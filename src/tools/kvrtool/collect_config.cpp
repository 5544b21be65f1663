#include "tools/kvrtool/collect_config.h"

#include <cstdlib>
#include <map>
#include <set>

#include "core/settings/profile.h"

namespace kvrtool {

namespace {

constexpr char kInstrumentPrefix[] = "instrument ";

// The place a fault is reported at.
std::string At(const kvr::ProfileLine& line) {
    return "line " + std::to_string(line.number) + ", " + line.key + ": ";
}

std::optional<int> Number(const std::string& text, int low, int high) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < low || value > high) return std::nullopt;
    return static_cast<int>(value);
}

// Reads one numeric key; false with the message when the value is not a number in range.
bool SetNumber(const kvr::ProfileLine& line, int low, int high, int& out, std::string* error) {
    const std::optional<int> value = Number(line.value, low, high);
    if (!value) {
        *error = At(line) + "\"" + line.value + "\" is not a number from " + std::to_string(low) +
                 " to " + std::to_string(high);
        return false;
    }
    out = *value;
    return true;
}

bool SetChoice(const kvr::ProfileLine& line, const std::vector<std::string>& choices,
               std::string& out, std::string* error) {
    for (const std::string& choice : choices)
        if (line.value == choice) {
            out = choice;
            return true;
        }
    std::string list;
    for (const std::string& choice : choices) list += (list.empty() ? "" : ", ") + choice;
    *error = At(line) + "\"" + line.value + "\" is not one of " + list;
    return false;
}

bool ReadInstrumentKey(const kvr::ProfileLine& line, CollectInstrument& instrument,
                       std::set<std::string>& seen, std::string* error) {
    const std::string& key = line.key;
    seen.insert(key);
    if (key == "port") {
        instrument.port = line.value;
        if (!line.value.empty()) return true;
        *error = At(line) + "no device given";
        return false;
    }
    if (key == "address") return SetNumber(line, 1, 255, instrument.address, error);
    if (key == "baud") return SetNumber(line, 300, 4000000, instrument.baud, error);
    if (key == "interval") return SetNumber(line, 1, 65535, instrument.interval, error);
    if (key == "family") return SetChoice(line, {"scan", "realtime"}, instrument.family, error);
    if (key == "parity") {
        std::string parity;
        if (!SetChoice(line, {"none", "odd", "even"}, parity, error)) return false;
        instrument.parity = parity == "odd" ? 1 : parity == "even" ? 2 : 0;
        return true;
    }
    *error = At(line) + "unknown key";
    return false;
}

bool ReadCollectKey(const kvr::ProfileLine& line, CollectConfig& config, std::string& rotate,
                    std::set<std::string>& seen, std::string* error) {
    seen.insert(line.key);
    if (line.key == "dir") {
        config.dir = line.value;
        if (!line.value.empty()) return true;
        *error = At(line) + "no folder given";
        return false;
    }
    if (line.key == "rotate") return SetChoice(line, {"full", "daily"}, rotate, error);
    if (line.key == "rotate_hour") return SetNumber(line, 0, 23, config.rotateHour, error);
    if (line.key == "reconnect") return SetNumber(line, 1, 86400, config.reconnect, error);
    *error = At(line) + "unknown key";
    return false;
}

std::string Missing(int number, const std::string& section, const std::string& key) {
    return "line " + std::to_string(number) + ", " + key + ": [" + section +
           "] lacks the required key";
}

}  // namespace

std::optional<CollectConfig> ReadCollectConfig(const std::string& path, std::string* error) {
    const std::vector<kvr::ProfileLine> lines = kvr::ReadProfileLines(path);
    if (lines.empty()) {
        *error = path + ": no configuration (missing, unreadable or empty)";
        return std::nullopt;
    }
    CollectConfig config;
    std::string rotate = "daily";
    int collectLine = 0;
    std::set<std::string> collectKeys;
    std::vector<std::set<std::string>> instrumentKeys;
    std::vector<int> instrumentLines;
    std::map<std::string, int> names;
    for (const kvr::ProfileLine& line : lines) {
        if (line.key.empty()) {  // a section header
            if (line.section == "collect" && collectLine == 0) {
                collectLine = line.number;
                continue;
            }
            const std::string name = line.section.rfind(kInstrumentPrefix, 0) == 0
                                         ? line.section.substr(sizeof kInstrumentPrefix - 1)
                                         : std::string();
            if (name.empty() || name.find_first_of("/\\") != std::string::npos || name == "." ||
                name == "..") {
                *error = "line " + std::to_string(line.number) + ", [" + line.section +
                         "]: unknown section (expected [collect] once or [instrument NAME])";
                return std::nullopt;
            }
            if (names.count(name)) {
                *error = "line " + std::to_string(line.number) + ", [" + line.section +
                         "]: instrument name already used on line " + std::to_string(names[name]);
                return std::nullopt;
            }
            names[name] = line.number;
            config.instruments.emplace_back().name = name;
            instrumentKeys.emplace_back();
            instrumentLines.push_back(line.number);
            continue;
        }
        if (!line.isValue) {
            *error = At(line) + "not a key=value line";
            return std::nullopt;
        }
        bool ok = false;
        if (line.section == "collect")
            ok = ReadCollectKey(line, config, rotate, collectKeys, error);
        else if (!config.instruments.empty() && line.section.rfind(kInstrumentPrefix, 0) == 0)
            ok = ReadInstrumentKey(line, config.instruments.back(), instrumentKeys.back(), error);
        else
            *error = At(line) + "outside any section";
        if (!ok) return std::nullopt;
    }
    if (collectLine == 0 || !collectKeys.count("dir")) {
        *error = Missing(collectLine, "collect", "dir");
        return std::nullopt;
    }
    if (rotate == "full") config.rotateHour = -1;
    std::map<std::pair<std::string, int>, std::string> stations;
    std::map<std::string, const CollectInstrument*> ports;
    for (std::size_t i = 0; i < config.instruments.size(); ++i) {
        const CollectInstrument& instrument = config.instruments[i];
        const std::string section = "instrument " + instrument.name;
        for (const char* key : {"port", "address"})
            if (!instrumentKeys[i].count(key)) {
                *error = Missing(instrumentLines[i], section, key);
                return std::nullopt;
            }
        // One port has one set of line settings, whoever is on it.
        const CollectInstrument*& first = ports[instrument.port];
        if (first && (first->baud != instrument.baud || first->parity != instrument.parity)) {
            *error = "line " + std::to_string(instrumentLines[i]) + ", baud: " + instrument.port +
                     " has other line settings in [instrument " + first->name + "]";
            return std::nullopt;
        }
        if (!first) first = &instrument;
        const auto [at, fresh] =
            stations.emplace(std::make_pair(instrument.port, instrument.address), instrument.name);
        if (!fresh) {
            *error = "line " + std::to_string(instrumentLines[i]) +
                     ", address: " + instrument.port + " address " +
                     std::to_string(instrument.address) + " is already instrument " + at->second;
            return std::nullopt;
        }
    }
    if (config.instruments.empty()) {
        *error = "line " + std::to_string(collectLine) + ", [instrument NAME]: no instrument";
        return std::nullopt;
    }
    return config;
}

}  // namespace kvrtool
