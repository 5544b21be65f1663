#pragma once
// Shared by the kvrtool tests: a fresh folder per test with kvrtool run as a user runs it,
// sample files made by kvrtool, and kvrtool's text output split into lines and cells.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

namespace kvrtest {

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The comma-separated cells of line; a trailing empty cell is kept ("a," gives "a" and "").
inline std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream in(line + ",");
    for (std::string cell; std::getline(in, cell, ',');) cells.push_back(cell);
    return cells;
}

// kvrtool run as a child process with its standard output on a pipe, for tests that
// interrupt it.
class ToolChild {
public:
    explicit ToolChild(const std::vector<std::string>& arguments) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[1], 1);
            ::close(fds[0]);
            ::close(fds[1]);
            const std::string tool = std::string(KVR_TOOLS_DIR) + "/kvrtool";
            std::vector<char*> argv{const_cast<char*>(tool.c_str())};
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(tool.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        out_ = fds[0];
    }
    ~ToolChild() {
        Kill(SIGKILL);
        if (out_ >= 0) ::close(out_);
    }
    ToolChild(const ToolChild&) = delete;
    ToolChild& operator=(const ToolChild&) = delete;

    // Reads until the output holds lines lines (or ends).
    const std::string& ReadLines(std::size_t lines) {
        char buffer[4096];
        while (Lines(text_).size() < lines || text_.empty() || text_.back() != '\n') {
            const ssize_t n = ::read(out_, buffer, sizeof buffer);
            if (n <= 0) break;
            text_.append(buffer, static_cast<std::size_t>(n));
        }
        return text_;
    }
    // Sends the signal and waits for the child to end; its wait status, or -1.
    int Kill(int signal) {
        if (pid_ <= 0) return -1;
        ::kill(pid_, signal);
        int status = -1;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string text_;
};

// Polls done until it holds; false when it still does not after the given seconds.
inline bool WaitFor(const std::function<bool()>& done, int seconds = 60) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// kvrtool run as a child process with both outputs appended to a log file, for tests that
// let it run while they watch its files; environment holds NAME=VALUE set in the child.
class LoggedTool {
public:
    LoggedTool(const std::vector<std::string>& arguments, std::string log,
               const std::vector<std::string>& environment = {})
        : log_(std::move(log)) {
        pid_ = ::fork();
        if (pid_ != 0) return;
        for (const std::string& variable : environment)
            ::putenv(const_cast<char*>(variable.c_str()));
        std::freopen(log_.c_str(), "a", stdout);
        std::freopen(log_.c_str(), "a", stderr);
        const std::string tool = std::string(KVR_TOOLS_DIR) + "/kvrtool";
        std::vector<std::string> all{tool};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(tool.c_str(), argv.data());
        ::_exit(127);
    }
    ~LoggedTool() { End(SIGKILL); }
    LoggedTool(const LoggedTool&) = delete;
    LoggedTool& operator=(const LoggedTool&) = delete;

    // Sends the signal and returns the exit code (-1 when the signal ended it).
    int End(int signal) {
        if (pid_ <= 0) return -1;
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Output() const { return ReadWholeFile(log_); }
    bool WaitForOutput(const std::string& text, int seconds = 20) const {
        return WaitFor([&] { return Output().find(text) != std::string::npos; }, seconds);
    }

private:
    std::string log_;
    pid_t pid_ = -1;
};

class KvrtoolTest : public ::testing::Test {
protected:
    CommandResult Run(const std::string& arguments) { return RunTool("kvrtool", arguments); }
    // Default options: one day of records from 2026-01-05 00:00, three shifts 8/16/0.
    std::string MakeSample(const std::string& name, const std::string& options = "") {
        return kvrtest::MakeSample(dir, name, options);
    }
    TempDir dir;
};

}  // namespace kvrtest
