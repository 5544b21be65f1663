#pragma once
// How every kvrtool command that writes a file treats its target: an existing file is
// replaced only with --force, and a command's own input is never written over, --force or
// not (however the two are named: the same device and inode is the same file).
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace kvrtool {

// Adds --force ("replace an existing TARGET") to command.
void AddForceFlag(CLI::App* command, bool& force, const std::string& target);

// True when the command may write target; otherwise says why and sets exit code 1.
bool MayWrite(const std::string& target, bool force, const std::vector<std::string>& inputs = {});

}  // namespace kvrtool
