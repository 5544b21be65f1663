#include "support/test_support.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

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
    const std::string command = std::string(KVR_TOOLS_DIR) + "/" + tool + " " + arguments +
                                " >" + outPath + " 2>" + errPath;
    const int status = std::system(command.c_str());
    CommandResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadWholeFile(outPath);
    result.err = ReadWholeFile(errPath);
    return result;
}

}  // namespace kvrtest
