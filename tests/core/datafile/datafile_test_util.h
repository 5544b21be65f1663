#pragma once
// Small helpers of the data-file tests: sample files in a temporary folder, raw bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/datafile/sample_file.h"
#include "support/test_support.h"

namespace kvrtest {

inline std::string WriteSample(const TempDir& dir, const std::string& name,
                               const kvr::SampleOptions& options = {}) {
    const std::string path = dir.file(name);
    std::string error;
    EXPECT_TRUE(kvr::WriteSampleFile(path, options, &error)) << error;
    return path;
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    const std::string text = ReadWholeFile(path);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Rewrites in place and cuts to size: emptying a file first (O_TRUNC) makes ext4 flush it on
// close, which turns thousands of small rewrites into seconds of disk waits.
inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes,
                       std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::pwrite(fd, bytes.data(), size, 0), static_cast<ssize_t>(size));
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
    ::close(fd);
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    WriteBytes(path, bytes, bytes.size());
}

template <typename T>
void Poke(std::vector<std::uint8_t>& bytes, std::size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

template <typename T>
T Peek(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

}  // namespace kvrtest
