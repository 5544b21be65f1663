#pragma once
// Subcommand registration for kvrtool. Exit codes: 0 success, 1 usage or I/O error,
// 2 unsupported file format, 3 newer version, 4 nothing found.
#include <CLI/CLI.hpp>

namespace kvrtool {

enum ExitCode { kOk = 0, kUsageOrIo = 1, kUnsupported = 2, kNewer = 3, kNotFound = 4 };

// Each subcommand stores its exit code here from its callback.
extern int exitCode;

void RegisterDataCommands(CLI::App& app);
void RegisterLinkCommands(CLI::App& app);
void RegisterExportCommands(CLI::App& app);
void RegisterAcquireCommands(CLI::App& app);
void RegisterCollectCommands(CLI::App& app);
void RegisterRecordCommands(CLI::App& app);
void RegisterReportCommands(CLI::App& app);
void RegisterPublishCommands(CLI::App& app);

}  // namespace kvrtool
