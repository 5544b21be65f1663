#pragma once
// Shared by the benchmark programs that draw windows: a scratch folder removed when the run
// ends, sample files written and opened in it, and running the benchmarks inside an
// offscreen application.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"

namespace kvrbench {

class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/kvr-bench-XXXXXX";
        if (!::mkdtemp(pattern)) std::abort();
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes a sample file named name into dir and opens it into file. There is nothing to
// measure without it, so a failure ends the program with the reason.
inline void OpenSample(kvr::CXFile& file, const ScratchDir& dir, const std::string& name,
                       const kvr::SampleOptions& options) {
    const std::string path = dir.file(name);
    std::string error;
    if (!kvr::WriteSampleFile(path, options, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
        std::abort();
    }
    if (file.Open(path) != 1) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::abort();
    }
}

// Runs the benchmarks the command line selects inside an application, offscreen unless a
// display is named. release frees what the benchmarks kept between runs while the
// application still exists (windows must go before it).
inline int RunWithApplication(int argc, char** argv, const std::function<void()>& release = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (release) release();
    return 0;
}

}  // namespace kvrbench
