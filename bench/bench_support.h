#pragma once
// Shared by the benchmark programs: a scratch folder removed when the run ends, and sample
// files written and opened in it.
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
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
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes a sample file named name into dir and returns its path. There is nothing to
// measure without it, so a failure ends the program with the reason.
inline std::string WriteSample(const ScratchDir& dir, const std::string& name,
                               const kvr::SampleOptions& options) {
    const std::string path = dir.file(name);
    std::string error;
    if (!kvr::WriteSampleFile(path, options, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
        std::abort();
    }
    return path;
}

// The same, opened into file.
inline void OpenSample(kvr::CXFile& file, const ScratchDir& dir, const std::string& name,
                       const kvr::SampleOptions& options) {
    const std::string path = WriteSample(dir, name, options);
    if (file.Open(path) != 1) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::abort();
    }
}

}  // namespace kvrbench
