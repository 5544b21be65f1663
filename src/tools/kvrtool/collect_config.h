#pragma once
// The collector's configuration file: one [instrument NAME] section per instrument and a
// [collect] section, checked whole before anything opens.
#include <optional>
#include <string>
#include <vector>

namespace kvrtool {

struct CollectInstrument {
    std::string name;
    std::string port;
    int address = 0;
    int baud = 9600;
    int parity = 0;  // 0 none, 1 odd, 2 even
    int interval = 1;
    std::string family = "scan";
};

struct CollectConfig {
    std::string dir;
    int rotateHour = 0;  // -1: only when full
    int reconnect = 5;
    std::vector<CollectInstrument> instruments;
};

// The configuration in the file at path, or nullopt with *error naming the line number and
// the key of the first fault.
std::optional<CollectConfig> ReadCollectConfig(const std::string& path, std::string* error);

}  // namespace kvrtool
