#include "tools/kvrtool/collect_status.h"

#include <cstdio>
#include <fstream>
#include <iomanip>
#include <nlohmann/json.hpp>

namespace kvrtool {

namespace {

std::string TimeText(kvr::Time t) { return t == 0 ? std::string() : kvr::FormatTime(t); }

}  // namespace

bool WriteStatusFile(const std::string& dir, kvr::Time now,
                     const std::vector<StatusEntry>& entries) {
    nlohmann::ordered_json instruments = nlohmann::ordered_json::array();
    for (const StatusEntry& e : entries) {
        instruments.push_back({{"name", e.name},
                               {"port", e.port},
                               {"address", e.address},
                               {"recording", e.status.recording},
                               {"last_record", TimeText(e.status.lastRecord)},
                               {"records_today", e.status.recordsToday},
                               {"gaps", e.status.gaps},
                               {"communication_errors", e.status.communicationErrors},
                               {"file", e.status.file},
                               {"max_tick_delay_ms", e.status.maxTickDelayMs}});
    }
    const nlohmann::ordered_json status = {{"updated", kvr::FormatTime(now)},
                                           {"instruments", instruments}};
    const std::string path = dir + "/status.json";
    const std::string temporary = dir + "/.status.json.tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << status.dump(2) << '\n';
        out.flush();
        if (!out) return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool PrintStatusTable(const std::string& dir, std::ostream& out, std::string* error) {
    const std::string path = dir + "/status.json";
    std::ifstream in(path, std::ios::binary);
    const nlohmann::json status = nlohmann::json::parse(in, nullptr, false);
    if (!in.is_open() || status.is_discarded() || !status.contains("instruments") ||
        !status["instruments"].is_array()) {
        *error = path + ": no collector status (missing or damaged)";
        return false;
    }
    out << "updated " << status.value("updated", "") << '\n';
    out << std::left << std::setw(16) << "instrument" << std::setw(22) << "port" << std::setw(21)
        << "last record" << std::right << std::setw(9) << "today" << std::setw(6) << "gaps"
        << std::setw(8) << "errors"
        << "  file\n";
    for (const nlohmann::json& i : status["instruments"]) {
        const std::string port = i.value("port", "") + "@" + std::to_string(i.value("address", 0));
        const std::string last = i.value("last_record", "");
        out << std::left << std::setw(16) << i.value("name", "") << std::setw(22) << port
            << std::setw(21) << (last.empty() ? "-" : last) << std::right << std::setw(9)
            << i.value("records_today", 0) << std::setw(6) << i.value("gaps", 0) << std::setw(8)
            << i.value("communication_errors", 0) << "  "
            << (i.value("recording", false) ? i.value("file", "") : std::string("(waiting)"))
            << '\n';
    }
    return true;
}

}  // namespace kvrtool
