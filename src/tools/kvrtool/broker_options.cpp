#include "tools/kvrtool/broker_options.h"

#include <fstream>

#include "core/publish/source_follower.h"
#include "tools/kvrtool/commands.h"
#include "tools/kvrtool/data_file_args.h"

namespace kvrtool {

void AddBrokerOptions(CLI::App* command, BrokerOptions& options) {
    command->add_option("--broker", options.url, "mqtt://HOST[:PORT] or mqtts://HOST[:PORT]")
        ->required();
    command->add_option("--site", options.site, "the site's level in the topics kvr/v1/SITE/...")
        ->required();
    command->add_option("--cafile", options.caFile, "certificate authority for mqtts")
        ->check(CLI::ExistingFile);
    command->add_option("--username", options.username, "user name at the broker");
    command
        ->add_option("--password-file", options.passwordFile,
                     "file whose first line is the password")
        ->check(CLI::ExistingFile);
    command->add_option("--keepalive", options.keepAliveSec, "seconds")
        ->check(CLI::Range(5, 3600))
        ->capture_default_str();
    command->add_option("--retry-ms", options.firstRetryMs)
        ->check(CLI::Range(50, 60000))
        ->group("");
}

std::optional<kvr::SessionOptions> SessionFrom(const BrokerOptions& options) {
    std::string error;
    const std::optional<kvr::BrokerAddress> broker = kvr::ParseBrokerUrl(options.url, &error);
    if (!broker) {
        Fail(kUsageOrIo, error);
        return std::nullopt;
    }
    if (options.site.empty() || kvr::TopicLevel(options.site) != options.site) {
        Fail(kUsageOrIo, "--site must be one topic level (no '/', '+', '#' or spaces).");
        return std::nullopt;
    }
    if (!options.caFile.empty() && !broker->tls) {
        Fail(kUsageOrIo, "--cafile needs an mqtts:// broker.");
        return std::nullopt;
    }
    if (!options.passwordFile.empty() && options.username.empty()) {
        Fail(kUsageOrIo, "--password-file needs --username.");
        return std::nullopt;
    }
    kvr::SessionOptions session;
    session.broker = *broker;
    session.caFile = options.caFile;
    session.username = options.username;
    session.keepAliveSec = options.keepAliveSec;
    session.firstRetry = std::chrono::milliseconds(options.firstRetryMs);
    if (!options.passwordFile.empty()) {
        std::ifstream in(options.passwordFile);
        std::string& password = session.password;
        if (in) std::getline(in, password);
        if (!password.empty() && password.back() == '\r') password.pop_back();
        if (password.empty()) {
            Fail(kUsageOrIo, options.passwordFile + ": no password on its first line.");
            return std::nullopt;
        }
    }
    return session;
}

}  // namespace kvrtool
