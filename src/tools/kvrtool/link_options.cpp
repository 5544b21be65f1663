#include "tools/kvrtool/link_options.h"

namespace kvrtool {

void AddLinkOptions(CLI::App* command, LinkOptions& o) {
    command->add_option("--port", o.port, "serial device, e.g. /dev/ttyUSB0 or a kvr-sim terminal")
        ->required();
    command->add_option("--baud", o.baud, "baud rate")->capture_default_str();
    command->add_option("--parity", o.parity, "none, odd or even")
        ->check(CLI::IsMember({"none", "odd", "even"}))
        ->capture_default_str();
    command->add_option("--address", o.address, "instrument address")
        ->check(CLI::Range(1, 255))
        ->capture_default_str();
    command->add_option("--attempts", o.attempts, "tries per piece of a block read")
        ->capture_default_str();
    command
        ->add_option("--interval-timeout", o.intervalTimeout,
                     "ms between reply bytes (scaled by baud)")
        ->capture_default_str();
    command->add_option("--total-timeout", o.totalTimeout, "ms for a whole reply (scaled by baud)")
        ->capture_default_str();
    command->add_option("--total-multiplier", o.totalMultiplier, "ms per reply byte")
        ->capture_default_str();
    command
        ->add_option("--write-timeout", o.writeTimeout, "ms for a whole request (scaled by baud)")
        ->capture_default_str();
    command->add_option("--write-multiplier", o.writeMultiplier, "ms per request byte")
        ->capture_default_str();
    command
        ->add_option("--delay-scale", o.delayScale,
                     "percent of the protocol's fixed waits (a simulator needs none)")
        ->check(CLI::Range(0, 1000))
        ->capture_default_str();
}

kvr::ComParam ToParam(const LinkOptions& o) {
    kvr::ComParam p;
    p.device = o.port;
    p.baud = o.baud;
    p.parity = o.parity == "odd" ? 1 : o.parity == "even" ? 2 : 0;
    p.address = o.address;
    p.attempts = o.attempts;
    p.intervalBase = o.intervalTimeout;
    p.constantBase = o.totalTimeout;
    p.multiplier = o.totalMultiplier;
    p.writeConstantBase = o.writeTimeout;
    p.writeMultiplier = o.writeMultiplier;
    return p;
}

}  // namespace kvrtool
