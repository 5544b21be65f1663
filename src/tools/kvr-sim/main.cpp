// kvr-sim: a simulated instrument on a pseudo-terminal, for tests and for trying the
// program without hardware.
#include <CLI/CLI.hpp>
#include <charconv>
#include <clocale>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

#include "tools/kvr-sim/sim_options.h"
#include "tools/kvr-sim/sim_server.h"

namespace {

// "C:V1,V2,..." with channel C in 0..5 and at least one value.
std::optional<kvrsim::ValuePattern> ParsePattern(const std::string& text) {
    kvrsim::ValuePattern pattern;
    std::istringstream in(text);
    char colon = 0;
    if (!(in >> pattern.channel >> colon) || colon != ':' || pattern.channel < 0 ||
        pattern.channel > 5)
        return std::nullopt;
    for (std::string value; std::getline(in, value, ',');) {
        float v = 0;
        const char* end = value.data() + value.size();
        const auto [stop, error] = std::from_chars(value.data(), end, v);
        if (error != std::errc() || stop != end) return std::nullopt;
        pattern.values.push_back(v);
    }
    if (pattern.values.empty()) return std::nullopt;
    return pattern;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    kvrsim::SimOptions options;
    CLI::App app{
        "kvr-sim: simulated flow-totalizer instrument on a pseudo-terminal.\n"
        "Prints the terminal's path, then serves requests until SIGTERM or SIGINT."};
    const std::map<std::string, kvrsim::Family> families = {{"realtime", kvrsim::Family::kRealtime},
                                                            {"ascii0", kvrsim::Family::kAscii0},
                                                            {"ascii1", kvrsim::Family::kAscii1},
                                                            {"rtu", kvrsim::Family::kRtu}};
    std::string family;
    app.add_option("--family", family, "realtime, ascii0, ascii1 or rtu")
        ->required()
        ->check(CLI::IsMember({"realtime", "ascii0", "ascii1", "rtu"}));
    app.add_option("--link", options.link, "also reach the terminal through a symlink at PATH");
    app.add_option("--firmware", options.firmware,
                   "firmware version in the identification (realtime 1010, rtu 1009 by default; "
                   "rtu: 1xxx has 4-byte totals, 2xxx 8-byte totals)")
        ->check(CLI::Range(0, 9999));
    app.add_option("--address", options.address, "instrument address (1..255)")
        ->check(CLI::Range(1, 255));
    app.add_option("--records", options.records,
                   "ascii families: ring index of the newest record (0..262143)")
        ->check(CLI::Range(0u, 262143u));
    app.add_option("--channels", options.channels, "channels of the ascii and rtu families (1..64)")
        ->check(CLI::Range(1, 64));
    app.add_option("--seed", options.seed, "seed of the generated content");
    app.add_option("--layout", options.layout, "rtu family channel-block layout: P, L or M")
        ->check(CLI::IsMember({'P', 'L', 'M'}));
    app.add_option("--baud", options.baud,
                   "pace the line at N baud (10 bits a byte): a request arrives and a reply "
                   "leaves at the line's rate; 0 answers at once")
        ->check(CLI::Range(0, 4000000));
    app.add_option("--drop-every", options.dropEvery, "no reply to every Nth request")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--corrupt-every", options.corruptEvery, "wrong checksum on every Nth reply")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--delay-ms", options.delayMs, "wait N ms before every reply")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--delay-every", options.delayEvery,
                   "with --delay-ms: wait only before every Nth reply")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--silent-after", options.silentAfter, "answer only the first N requests")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--exception", options.exception,
                   "answer every request with this exception code")
        ->check(CLI::Range(0, 255));
    app.add_flag("--counter-values", options.counterValues,
                 "realtime: live value c of the reply to request N is 8N+c+1, the flow total "
                 "N*(2^32+1) and the heat total twice that, so each reply can be recognised");
    app.add_option("--bus", options.bus,
                   "serve several instruments on the line, at these addresses (comma-separated); "
                   "the Nth gets seed+N-1")
        ->delimiter(',')
        ->check(CLI::Range(1, 255));
    app.add_option("--unplug-after", options.unplugAfter,
                   "after S seconds remove the --link path and stop answering, as a pulled "
                   "adapter")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--replug-after", options.replugAfter,
                   "S seconds after the unplug, link the path again and answer again")
        ->check(CLI::NonNegativeNumber);
    std::vector<std::string> patterns;
    app.add_option("--pattern", patterns,
                   "realtime: live value C (0..5) follows V1,V2,... in a loop instead of "
                   "drifting, as C:V1,V2,...; may be given once per channel")
        ->check([](const std::string& text) {
            return ParsePattern(text) ? std::string() : "expected C:V1,V2,... with C in 0..5";
        });
    app.add_option("--pattern-hold", options.patternHold,
                   "with --pattern: reads of the live values each value is held for")
        ->check(CLI::Range(1, 1000000));
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    }
    options.family = families.at(family);
    for (const std::string& text : patterns) options.patterns.push_back(*ParsePattern(text));
    return kvrsim::RunServer(options, std::cout, std::cerr);
}
