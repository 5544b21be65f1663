// What CXFile does when the disk fails it or another writer holds the file: every failure
// is reported, and no file a user would take for a good one is left half-written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/datafile/cxfile.h"
#include "core/datafile/program.h"
#include "core/sys/sys_io.h"
#include "datafile_test_util.h"

namespace {

using kvrtest::ReadBytes;

// The injected faults: after `writesLeft` successful writes, every further write fails
// with `writeError`, or (writeError 0) writes only `shortBytes` bytes and then hits a full
// disk. Flushes and renames fail when asked to.
struct Faults {
    int writesLeft = 0;
    int writeError = ENOSPC;
    std::size_t shortBytes = 0;
    bool failSync = false;
    bool failRename = false;
    bool failReserve = false;
};
Faults faults;

ssize_t FaultyBytes(std::size_t count) {
    if (faults.writesLeft > 0) {
        --faults.writesLeft;
        return static_cast<ssize_t>(count);
    }
    if (faults.writeError == 0 && faults.shortBytes > 0) {
        const std::size_t n = std::min(count, faults.shortBytes);
        faults.shortBytes = 0;
        return static_cast<ssize_t>(n);
    }
    errno = faults.writeError == 0 ? ENOSPC : faults.writeError;
    return -1;
}

ssize_t FaultyWrite(int fd, const void* buffer, size_t count) {
    const ssize_t n = FaultyBytes(count);
    return n < 0 ? n : kvr::sysio::System().write(fd, buffer, static_cast<size_t>(n));
}
ssize_t FaultyPwrite(int fd, const void* buffer, size_t count, off_t offset) {
    const ssize_t n = FaultyBytes(count);
    return n < 0 ? n : kvr::sysio::System().pwrite(fd, buffer, static_cast<size_t>(n), offset);
}
int FaultySync(int fd) {
    if (!faults.failSync) return kvr::sysio::System().fsync(fd);
    errno = EIO;
    return -1;
}
int FaultyMsync(void* address, size_t length, int flags) {
    if (!faults.failSync) return kvr::sysio::System().msync(address, length, flags);
    errno = EIO;
    return -1;
}
int FaultyFallocate(int fd, off_t offset, off_t length) {
    if (!faults.failReserve) return kvr::sysio::System().fallocate(fd, offset, length);
    errno = ENOSPC;
    return -1;
}
int FaultyRename(const char* from, const char* to) {
    if (!faults.failRename) return kvr::sysio::System().rename(from, to);
    errno = EXDEV;
    return -1;
}

// Installs the faults for the life of the object.
class InjectedFaults {
public:
    explicit InjectedFaults(const Faults& f) : scoped_(Table()) { faults = f; }

private:
    static kvr::sysio::Calls Table() {
        kvr::sysio::Calls calls = kvr::sysio::System();
        calls.write = FaultyWrite;
        calls.pwrite = FaultyPwrite;
        calls.fsync = FaultySync;
        calls.fdatasync = FaultySync;
        calls.msync = FaultyMsync;
        calls.rename = FaultyRename;
        calls.fallocate = FaultyFallocate;
        return calls;
    }
    kvr::sysio::ScopedCalls scoped_;
};

Faults FullDisk() { return {}; }
Faults IoError() { return {0, EIO}; }
Faults ShortWrite() { return {0, 0, 10}; }
Faults SyncFails() {
    Faults f;
    f.writesLeft = 1 << 30;
    f.failSync = true;
    return f;
}
Faults RenameFails() {
    Faults f;
    f.writesLeft = 1 << 30;
    f.failRename = true;
    return f;
}
// Writes succeed where blocks exist; no new block can be had (a sparse file, a full disk).
Faults NoNewBlocks() {
    Faults f;
    f.writesLeft = 1 << 30;
    f.failReserve = true;
    return f;
}

// Regular files in the folder, hidden ones included.
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class CXFileSafety : public ::testing::Test {
protected:
    void SetUp() override { kvr::SetProgramFolder(dir.path()); }
    void TearDown() override { kvr::SetProgramFolder(""); }

    // A live buffer holding 12 records, started from a sample file's header.
    void StartLiveBuffer(kvr::CXFile& live) {
        kvr::SampleOptions options;
        options.records = 5;
        kvr::CXFile source;
        ASSERT_EQ(source.Open(kvrtest::WriteSample(dir, "source.FDZ", options)), 1);
        live.Header() = source.Header();
        live.Header().records.count = 100;
        ASSERT_EQ(live.CreateTempFile(), 1);
        ASSERT_EQ(live.FlushHeader(), 1);
        live.SetStartTime(kvr::MakeTime({2026, 3, 1, 8}));
        for (unsigned r = 0; r < 12; ++r) {
            float record[6];
            for (int c = 0; c < 6; ++c) record[c] = kvr::RampSample(c, static_cast<int>(r));
            ASSERT_TRUE(live.AppendRecord(record, r));
        }
        live.SetEndTime(0);
    }

    kvrtest::TempDir dir;
};

TEST_F(CXFileSafety, SaveAsThatFailsLeavesTheExistingTargetByteForByte) {
    kvr::CXFile live;
    StartLiveBuffer(live);
    const std::string target = dir.file("kept.FDZ");
    const std::string original = kvrtest::WriteSample(dir, "kept.FDZ");
    const std::vector<std::uint8_t> before = ReadBytes(original);
    const std::vector<std::string> entries = Entries(dir.path());
    const struct {
        const char* what;
        Faults faults;
    } cases[] = {{"full disk", FullDisk()},
                 {"I/O error", IoError()},
                 {"short write", ShortWrite()},
                 {"flush fails", SyncFails()},
                 {"rename fails", RenameFails()}};
    for (const auto& c : cases) {
        {
            InjectedFaults injected(c.faults);
            EXPECT_EQ(live.SaveAs(target), 0) << c.what;
        }
        EXPECT_EQ(ReadBytes(target), before) << c.what;
        EXPECT_EQ(Entries(dir.path()), entries) << c.what << ": nothing left beside it";
    }
    // The buffer itself is unharmed: a save on a healthy disk still works.
    ASSERT_EQ(live.SaveAs(target), 1);
    kvr::CXFile saved;
    ASSERT_EQ(saved.Open(target), 1);
    EXPECT_EQ(saved.GetRecordCount(), 12);
}

TEST_F(CXFileSafety, NothingIsWrittenThroughAMappingWithoutItsBlocks) {
    kvr::CXFile source;
    ASSERT_EQ(source.Open(kvrtest::WriteSample(dir, "source.FDZ")), 1);
    const std::vector<std::string> entries = Entries(dir.path());
    const std::vector<std::uint8_t> before = ReadBytes(source.GetFileName());
    InjectedFaults injected(NoNewBlocks());
    // The live buffer is refused before its first record, and nothing is left of it.
    kvr::CXFile live;
    live.Header() = source.Header();
    EXPECT_EQ(live.CreateTempFile(), 0);
    EXPECT_EQ(Entries(dir.path()), entries);
    // A file that cannot have its blocks is read, never written.
    source.Close();
    kvr::CXFile file;
    ASSERT_EQ(file.Open(dir.file("source.FDZ")), 1);
    EXPECT_TRUE(file.IsReadOnly());
    float value = 0;
    EXPECT_EQ(file.GetValue(0, file.GetStartTime(), &value, nullptr), 1);
    EXPECT_EQ(file.FlushHeader(), 0);
    EXPECT_EQ(file.AddTag(file.GetStartTime()), 0);
    EXPECT_EQ(file.DeleteTag(0), 0);
    file.Close();
    EXPECT_EQ(ReadBytes(dir.file("source.FDZ")), before);
}

TEST_F(CXFileSafety, TagAndHeaderWritesReportWhatReachedTheFile) {
    const std::string path = kvrtest::WriteSample(dir, "tags.FDZ");
    const std::vector<std::uint8_t> before = ReadBytes(path);
    kvr::CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    const kvr::Time t = file.GetStartTime() + 60;
    // Fails at the tag itself, at its flush, and at the count written after it.
    const Faults tagFaults[] = {FullDisk(), IoError(), SyncFails(), {1, EIO}};
    for (const Faults& f : tagFaults) {
        {
            InjectedFaults injected(f);
            EXPECT_EQ(file.AddTag(t), 0);
        }
        EXPECT_EQ(file.GetTagCount(), 3);
        EXPECT_EQ(ReadBytes(path), before) << "a refused tag leaves the file as it was";
    }
    {
        InjectedFaults injected(SyncFails());
        EXPECT_EQ(file.FlushHeader(), 0);
    }
    ASSERT_EQ(file.AddTag(t), 1);
    EXPECT_EQ(file.GetTag(file.GetTagCount() - 1), t);
}

TEST_F(CXFileSafety, UploadWriterFailuresAreReportedAndLeaveNoFile) {
    const std::string target = dir.file("upload.FDZ");
    const std::string original = kvrtest::WriteSample(dir, "upload.FDZ");
    const std::vector<std::uint8_t> before = ReadBytes(original);
    kvr::CXFile source;
    ASSERT_EQ(source.Open(original), 1);
    for (const Faults& f : {FullDisk(), IoError(), ShortWrite()}) {
        kvr::CXFile upload;
        upload.Header() = source.Header();
        upload.Header().records.byte18 = 2;
        ASSERT_EQ(upload.Create(target), 1);
        ASSERT_EQ(upload.WriteHeader(), 1);
        {
            InjectedFaults injected(f);
            const std::uint16_t samples[12] = {};
            EXPECT_EQ(upload.WriteRecords(samples, sizeof samples, 0), 0);
            EXPECT_EQ(upload.WriteHeader(), 0);
        }
        upload.Close();
        EXPECT_EQ(ReadBytes(target), before);
    }
    for (const Faults& f : {SyncFails(), RenameFails()}) {
        kvr::CXFile upload;
        upload.Header() = source.Header();
        ASSERT_EQ(upload.Create(target), 1);
        ASSERT_EQ(upload.WriteHeader(), 1);
        {
            InjectedFaults injected(f);
            EXPECT_EQ(upload.FinishUpload(), 0) << "not complete until it is on disk";
        }
        upload.Close();
        EXPECT_EQ(ReadBytes(target), before);
    }
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"upload.FDZ"});
}

TEST_F(CXFileSafety, AnUploadReplacesItsTargetOnlyWhenFinished) {
    const std::string target = kvrtest::WriteSample(dir, "x.FDZ");
    const std::vector<std::uint8_t> before = ReadBytes(target);
    kvr::CXFile source;
    ASSERT_EQ(source.Open(target), 1);
    kvr::CXFile upload;
    upload.Header() = source.Header();
    ASSERT_EQ(upload.Create(target), 1);
    EXPECT_EQ(upload.GetFileName(), target);
    ASSERT_EQ(upload.WriteHeader(), 1);
    EXPECT_EQ(ReadBytes(target), before) << "the upload is written beside the target";
    EXPECT_EQ(Entries(dir.path()).size(), 2u);
    ASSERT_EQ(upload.FinishUpload(), 1);
    upload.Close();
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"x.FDZ"});
    EXPECT_NE(ReadBytes(target), before);
}

TEST_F(CXFileSafety, ASecondWriterGetsTheFileReadOnly) {
    const std::string path = kvrtest::WriteSample(dir, "shared.FDZ");
    kvr::CXFile first, second;
    ASSERT_EQ(first.Open(path), 1);
    EXPECT_FALSE(first.IsLockedByOther());
    ASSERT_EQ(second.Open(path), 1) << "a held file can still be read";
    EXPECT_TRUE(second.IsLockedByOther());
    EXPECT_TRUE(second.IsReadOnly());
    EXPECT_EQ(second.AddTag(second.GetStartTime()), 0);
    EXPECT_EQ(second.DeleteTag(0), 0);
    EXPECT_EQ(second.FlushHeader(), 0);

    // The writer's tag survives the reader closing, and the reader's close trims nothing.
    ASSERT_EQ(first.AddTag(first.GetStartTime()), 1);
    const auto size = std::filesystem::file_size(path);
    second.Close();
    EXPECT_EQ(std::filesystem::file_size(path), size);
    first.Close();
    kvr::CXFile third;
    ASSERT_EQ(third.Open(path), 1);
    EXPECT_FALSE(third.IsLockedByOther()) << "the lock goes with the writer";
    EXPECT_EQ(third.GetTagCount(), 4);
}

TEST_F(CXFileSafety, AReaderNeverStandsInAWritersWay) {
    const std::string path = kvrtest::WriteSample(dir, "followed.FDZ");
    kvr::CXFile reader, writer;
    ASSERT_EQ(reader.OpenReadOnly(path), 1);
    EXPECT_TRUE(reader.IsReadOnly());
    EXPECT_EQ(reader.AddTag(reader.GetStartTime()), 0);
    ASSERT_EQ(writer.Open(path), 1);
    EXPECT_FALSE(writer.IsLockedByOther()) << "the reader took no lock";
    EXPECT_EQ(writer.AddTag(writer.GetStartTime()), 1);
}

TEST_F(CXFileSafety, ClosingAFileWithoutDeletedTagsNeverShrinksIt) {
    // An hourly count that is too small makes the header compute an end before the tags.
    std::vector<std::uint8_t> bytes = ReadBytes(kvrtest::WriteSample(dir, "damaged.FDZ"));
    kvrtest::Poke<std::uint32_t>(bytes, 0x100 + 0x14, 1);
    const std::string path = dir.file("damaged.FDZ");
    kvrtest::WriteBytes(path, bytes);
    {
        kvr::CXFile file;
        ASSERT_EQ(file.Open(path), 1);
        EXPECT_EQ(file.GetTagCount(), 3);
    }
    EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(CXFileSafety, AFileReplacedUnderAnOpenObjectIsNotCutToTheOldLength) {
    const std::string path = kvrtest::WriteSample(dir, "replaced.FDZ");
    kvr::CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    ASSERT_EQ(file.DeleteTag(0), 1);  // this object will trim its own file on close
    kvr::SampleOptions longer;
    longer.records = 3000;
    const std::string other = kvrtest::WriteSample(dir, "other.FDZ", longer);
    std::filesystem::rename(other, path);
    const std::vector<std::uint8_t> replacement = ReadBytes(path);
    ASSERT_EQ(file.AddTag(file.GetStartTime()), 1) << "still writes the file it opened";
    file.Close();
    EXPECT_EQ(ReadBytes(path), replacement);
}

}  // namespace
