#pragma once
// The serial parameters every link command takes, with the serial-parameter dialog's
// defaults.
#include <CLI/CLI.hpp>
#include <string>

#include "core/settings/com_param.h"

namespace kvrtool {

struct LinkOptions {
    std::string port;
    int baud = 9600;
    std::string parity = "none";
    int address = 1;
    int attempts = 3;
    int intervalTimeout = 10;
    int totalTimeout = 50;
    int totalMultiplier = 0;
    int writeTimeout = 50;
    int writeMultiplier = 0;
    int delayScale = 100;
};

void AddLinkOptions(CLI::App* command, LinkOptions& options);
kvr::ComParam ToParam(const LinkOptions& options);

}  // namespace kvrtool
