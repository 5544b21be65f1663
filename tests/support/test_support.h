#pragma once
// Helpers shared by the tests: a temporary folder per test, and running the tools.
#include <string>

namespace kvrtest {

// A fresh folder removed with everything in it when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

struct CommandResult {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs a built tool ("kvrtool", "kvr-sim") with arguments given as one shell-quoted text.
CommandResult RunTool(const std::string& tool, const std::string& arguments);

std::string ReadWholeFile(const std::string& path);

}  // namespace kvrtest
