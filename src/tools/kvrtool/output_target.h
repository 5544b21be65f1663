#pragma once
// How every kvrtool command that writes a file treats its target: an existing file is
// replaced only with --force, and a command's own input is never written over, --force or
// not (however the two are named: the same device and inode is the same file).
#include <signal.h>
#include <CLI/CLI.hpp>

#include <iterator>
#include <string>
#include <vector>

namespace kvrtool {

// Adds --force ("replace an existing TARGET") to command.
void AddForceFlag(CLI::App* command, bool& force, const std::string& target);

// True when the command may write target; otherwise says why and sets exit code 1.
bool MayWrite(const std::string& target, bool force, const std::vector<std::string>& inputs = {});

// While it lives, SIGINT, SIGTERM and SIGHUP remove every unfinished export file
// (".NAME.XXXXXX") before they end the process as they would have.
class RemoveUnfinishedOnSignal {
public:
    RemoveUnfinishedOnSignal();
    ~RemoveUnfinishedOnSignal();
    RemoveUnfinishedOnSignal(const RemoveUnfinishedOnSignal&) = delete;
    RemoveUnfinishedOnSignal& operator=(const RemoveUnfinishedOnSignal&) = delete;

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction old_[std::size(kSignals)] = {};
};

}  // namespace kvrtool
