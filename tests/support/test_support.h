#pragma once
// Helpers shared by the tests: a temporary folder per test, sample files, and running the
// tools.
#include <memory>
#include <optional>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"

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

// Runs a test under a given local time zone and restores the previous one.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone);
    ~ZoneGuard();
    ZoneGuard(const ZoneGuard&) = delete;
    ZoneGuard& operator=(const ZoneGuard&) = delete;

private:
    std::optional<std::string> previous_;
};

struct CommandResult {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs a built tool ("kvrtool", "kvr-sim") with arguments given as one shell-quoted text.
CommandResult RunTool(const std::string& tool, const std::string& arguments);

// Runs a shell command line and keeps its standard output and exit code; standard error
// goes where the command line sends it.
CommandResult RunCommand(const std::string& command);

std::string ReadWholeFile(const std::string& path);

// Makes a history file named name in dir with kvrtool make-sample and options, replacing
// one made before; fails the test when it cannot be made. Returns the file's path.
std::string MakeSample(const TempDir& dir, const std::string& name,
                       const std::string& options = "");

// The first record of the sample files made by SampleRecords.
kvr::Time SampleStart();

// Options for a sample file of records records, interval seconds apart, with tags tags,
// starting at SampleStart(). Without a sample of its own, OpenSampleFile stores channel c's
// record r as c * 1000 + r.
kvr::SampleOptions SampleRecords(int records, int interval = 60, int tags = 0);

// Writes a sample file named name into dir and opens it; nothing (and a test failure)
// when either step fails.
std::unique_ptr<kvr::CXFile> OpenSampleFile(const TempDir& dir, kvr::SampleOptions options,
                                            const std::string& name = "sample.FDZ");

}  // namespace kvrtest
