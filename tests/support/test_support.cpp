#include "support/test_support.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

namespace kvrtest {

TempDir::TempDir() {
    char pattern[] = "/tmp/kvrtest-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ZoneGuard::ZoneGuard(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    setenv("TZ", zone, 1);
    tzset();
}

ZoneGuard::~ZoneGuard() {
    if (previous_)
        setenv("TZ", previous_->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

CommandResult RunTool(const std::string& tool, const std::string& arguments) {
    TempDir scratch;
    const std::string outPath = scratch.file("out");
    const std::string errPath = scratch.file("err");
    const std::string command = std::string(KVR_TOOLS_DIR) + "/" + tool + " " + arguments + " >" +
                                outPath + " 2>" + errPath;
    const int status = std::system(command.c_str());
    CommandResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadWholeFile(outPath);
    result.err = ReadWholeFile(errPath);
    return result;
}

std::string MakeSample(const TempDir& dir, const std::string& name, const std::string& options) {
    const std::string path = dir.file(name);
    // Tests remake their files freely; that make-sample keeps an existing file is tested
    // on its own.
    const CommandResult made = RunTool("kvrtool", "make-sample --force '" + path + "' " + options);
    EXPECT_EQ(made.exitCode, 0) << made.err;
    return path;
}

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        result.out.append(buffer, got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

kvr::Time SampleStart() { return kvr::MakeTime({2026, 1, 5, 0, 0, 0}); }

kvr::SampleOptions SampleRecords(int records, int interval, int tags) {
    kvr::SampleOptions options;
    options.records = records;
    options.interval = interval;
    options.tags = tags;
    options.start = SampleStart();
    return options;
}

std::unique_ptr<kvr::CXFile> OpenSampleFile(const TempDir& dir, kvr::SampleOptions options,
                                            const std::string& name) {
    if (!options.sample) options.sample = kvr::RampSample;
    const std::string path = dir.file(name);
    std::string error;
    if (!kvr::WriteSampleFile(path, options, &error)) {
        ADD_FAILURE() << "sample file: " << error;
        return nullptr;
    }
    auto file = std::make_unique<kvr::CXFile>();
    if (file->Open(path) != 1) {
        ADD_FAILURE() << "cannot open " << path;
        return nullptr;
    }
    return file;
}

}  // namespace kvrtest
