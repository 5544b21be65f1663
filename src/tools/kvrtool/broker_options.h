#pragma once
// The broker options publish and subscribe share: --broker, --site, TLS, the user name and
// the file the password is read from (never the command line, where every user of the
// machine could read it).
#include <CLI/CLI.hpp>

#include <optional>
#include <string>

#include "core/publish/mqtt_session.h"

namespace kvrtool {

struct BrokerOptions {
    std::string url;
    std::string site;
    std::string caFile;
    std::string username;
    std::string passwordFile;
    int keepAliveSec = 30;
    int firstRetryMs = 1000;
};

void AddBrokerOptions(CLI::App* command, BrokerOptions& options);

// The connection as the options describe it, or nullopt after saying why (exit code 1).
std::optional<kvr::SessionOptions> SessionFrom(const BrokerOptions& options);

}  // namespace kvrtool
