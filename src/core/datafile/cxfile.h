#pragma once
// CXFile: the one class that reads and writes KVR data files (history ".FDZ", report
// ".ARF", the live buffer "temp.tmp") and writes the two upload layouts.
//
// The whole file is mapped; value queries are bounded by the mapped length, never by what
// the file claims. Texts are GBK in the file and UTF-8 at this API.
//
// Writers and locking: an object that opens a file for writing holds an advisory lock on
// it until Close. A second writer (another object, another program) finds the lock taken
// and gets the file read-only: it may read everything, every edit is refused, and
// IsLockedByOther() tells the caller why.
//
// The live buffer survives a crash: AppendRecord returns only after the record's bytes and
// the end time stamped into block B reached the disk. A "temp.tmp" left behind by a killed
// acquisition therefore opens with Open like any data file, holding every record up to the
// last completed append, and SaveAs writes it out as a history file.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/datafile/layout.h"
#include "core/datafile/time.h"
#include "core/datafile/triple.h"

namespace kvr {

// One of the six channel descriptors derived from the configuration block and block A.
struct ChannelDescriptor {
    std::int64_t baseTotal = 0;
    std::uint32_t color = 0;  // Windows COLORREF: 0x00BBGGRR
    DecimalTriple rangeLow, rangeHigh, alarmLowLow, alarmHighHigh, alarmLow, alarmHigh, hysteresis;
    char name[32] = {};           // GBK, NUL-terminated
    char unit[16] = {};           // GBK
    char text3[16] = {};          // GBK, unused third text
    std::uint8_t signalType = 0;  // 0/80 linear, 1/2/81/82 logarithmic
    std::uint8_t showState = 1;   // 0 hidden, 1 shown, 2 channel not in use
    std::uint8_t lineWidth = 1;
};

// Linear signals store their values; the other types are logarithmic. One expression
// without a branch, so that GetValue's combined test stays a single branch.
constexpr bool IsLinearSignal(std::uint8_t type) { return type * (type - 80) == 0; }

// Records (block B) and hourly totals (block C) share this shape.
struct SegmentDescriptor {
    Time first = 0;  // start of the first record / first hour
    Time last = 0;   // last record / last hour
    Stamp firstStamp{};
    Stamp lastStamp{};
    std::uint32_t reserved1 = 0, reserved2 = 0;
    std::uint32_t count = 0;  // capacity K (records) or entry count H (hours)
    std::uint8_t byte18 = 0;  // sample size in block B, reserved in block C
    std::uint8_t byte19 = 0;  // reserved
};

// A horizontal reference line drawn over the curves.
struct ValueLabel {
    std::uint8_t shown = 0;
    float value = 0.0f;
    char name[11] = {};  // GBK
};

struct FileHeader {
    std::uint16_t channelRecordSize = 160;
    float yLow = 0.0f, yHigh = 100.0f;
    std::uint32_t gridColor = 0, backgroundColor = 0;
    char identification[32] = {};
    char deviceName[32] = {};  // GBK
    std::uint8_t address = 0;
    std::int32_t interval = 0;  // seconds
    std::uint8_t channelCount = 0;
    std::uint8_t reservedByte = 0;
    std::uint8_t tagCount = 0;
    std::uint8_t xMode = 0;        // 0 short time labels, other long labels with the date
    std::uint8_t yMode = 0;        // 0 percent, other engineering value
    std::uint16_t gridCount1 = 0;  // vertical grid: divisions of the time axis
    std::uint16_t gridCount2 = 0;  // horizontal grid: divisions of the value axis
    std::uint8_t showGrid = 0;
    std::uint8_t scientific = 1;  // vacuum signals in scientific notation
    ChannelDescriptor channels[kMaxChannels];

    SegmentDescriptor records;  // block B
    SegmentDescriptor hourly;   // block C

    // Kept with an open file, not part of the main layout.
    std::uint8_t pieGridCount = 0;
    std::uint8_t pieTimeIndex = 0;
    ValueLabel labels[2];

    std::int64_t flowTotal = 0;  // hundredths of the flow total unit
    std::int64_t heatTotal = 0;  // hundredths of the heat total unit
    std::uint8_t config[kConfigMaxSize] = {};
};

// Why an edit of a file another writer holds is refused.
inline constexpr char kFileInUseText[] = "文件正被其他程序修改，只能查看，不能修改！";
// What the window of a file cut short says, and why an edit of it is refused.
inline constexpr char kFileDamagedText[] = "文件不完整，只读打开";
inline constexpr char kFileDamagedEditText[] = "文件不完整，只读打开，不能修改！";

// Search request of FindValue.
struct FindRequest {
    float target = 0.0f;
    float tolerance = 0.0f;
    std::int32_t unused = 0;
    std::int32_t direction = 0;  // 0 forward, otherwise backward
    Time time = 0;               // in: where to start; out: where found, or 0
    std::int32_t channel = 0;    // 1-based channel; 0 searches every channel
};

class CXFile {
public:
    CXFile();
    virtual ~CXFile();
    CXFile(const CXFile&) = delete;
    CXFile& operator=(const CXFile&) = delete;

    // 0 failure (cannot open, unsupported or damaged), 1 success, 2 newer version.
    int Open(const std::string& path);
    // The same for a reader that never edits: no writer lock, so the program, a collector
    // or a recovery that opens the file meanwhile still gets to write it. Edits are
    // refused; for a live buffer another program records into, Follow brings in the
    // records it adds.
    int OpenReadOnly(const std::string& path);
    int MapFile(const std::string& path);
    int ParseHeader();
    int Close();
    bool IsOpen() const { return view_ != nullptr; }
    // Opened for reading only: the file may not be written, or another writer holds it.
    bool IsReadOnly() const { return readOnly_; }
    // Another object or program holds the file for writing; edits here are refused.
    bool IsLockedByOther() const { return lockedByOther_; }
    // The file is shorter than its header says: its record area, hourly table or tag list
    // is cut short (an interrupted copy, a disk error). It is open read-only; records and
    // hours not wholly in the file read as missing, tags not in it are not listed.
    bool IsDamaged() const { return damaged_; }

    // What Follow found in a file another program is recording into.
    enum class FollowResult {
        kUnchanged,  // nothing new, or the writer is half way through a change
        kAppended,   // the records stored since the last look are readable now
        kRestarted,  // the writer began a new recording: open the path again
        kGone,       // the path holds no file: the recording ended
    };
    // Takes in the records the writer has stored since the file was opened or last
    // followed. Reads only; a header the writer is rewriting counts as unchanged.
    FollowResult Follow();
    // Why an edit of this file is refused (another writer, a file cut short); nullptr when
    // nothing speaks against it.
    const char* EditRefusal() const;

    Time GetStartTime() const { return header_.records.first; }
    Time GetEndTime() const { return header_.records.last; }
    // Where a period of export, statistics or the report may end: the end time, or the last
    // record the file can hold when the end time claims more. For a file cut short that is
    // the last record that begins in it. Never before the start.
    Time GetSpanEndTime() const;
    // The same for the hourly table: its last hour, or the last hour the file can hold.
    Time GetHourSpanEnd() const;
    // Records of the recording that lie wholly in the file.
    int GetWholeRecords() const;
    // False for a live buffer between two recordings (made or emptied, no record stored
    // yet): its start stamp stays empty until the next first record, and the times read
    // from it (a day in 1999) describe nothing.
    bool HoldsRecording() const;
    int GetInterval() const { return header_.interval; }
    int GetChannelCount() const { return header_.channelCount; }
    int GetRecordCount() const { return recordCount_.load(std::memory_order_acquire); }
    int GetTagCount() const { return header_.tagCount; }
    std::string GetDeviceName() const;
    std::uint8_t GetAddress() const { return header_.address; }
    std::string GetChannelName(int c) const;
    std::string GetChannelUnit(int c) const;
    int GetVersion() const { return version_; }
    void SetVersion(int version) { version_ = version; }
    int GetConfigSize() const { return configSize_; }
    void SetConfigSize(int size) { configSize_ = size; }
    virtual std::int64_t GetBaseTotal(int c) const;

    float GetRangeLow(int c) const;
    float GetRangeHigh(int c) const;
    float GetAlarmLowLow(int c) const;
    float GetAlarmHighHigh(int c) const;
    float GetAlarmLow(int c) const;
    float GetAlarmHigh(int c) const;
    float GetHysteresis(int c) const;

    // 1 with value/percent written, 1 with nothing written (closed, or a non-linear
    // signal), 0 when t lies outside the file or the sample is not in the file.
    // Samples of stored records of linear channels are read inline; everything else takes
    // the checked read, which gives the same answers.
    int GetValue(int c, Time t, float* value, float* percent) const;
    int GetValueChecked(int c, Time t, float* value, float* percent) const;
    // Channel c's samples of count records from firstRecord on, stride records apart, into
    // out[0..count): out[i] is the value GetValue gives for the time of record firstRecord
    // + i * stride, NaN where it gives none (a record outside the file or not stored in it,
    // a non-linear signal, a closed file, a stride below 1). The header is checked once per
    // call, so a walk over many records reads at memory speed. The record area is one run
    // in time order (a live buffer ends when it is full), so a read is one strided copy.
    void ReadChannel(int c, std::int64_t firstRecord, int count, float* out, int stride = 1) const;
    // GetValue at count moments from first on, step seconds apart: answered[i] is what it
    // answers (0 or 1) and values[i] what it writes, 0 where it writes nothing. Moments a
    // whole number of records apart are read in bulk (ReadChannel); GetValue settles what
    // the bulk read leaves open (a moment without a stored record, a non-linear signal, a
    // stored NaN, a moment past the end time inside the last record).
    void ReadValues(int c, Time first, Time step, int count, float* values,
                    std::uint8_t* answered) const;
    // A sweep that is done with count records from firstRecord on gives their pages back:
    // they leave the process's resident memory and are mapped again when next read, from
    // the page cache. A file mapped privately (read-only) keeps its pages.
    void ReleaseRecords(std::int64_t firstRecord, std::int64_t count) const;
    // printf format for channel c's values ("%.2f", "%.1E", ...); 0 for c >= channel count.
    int GetValueFormat(int c, char* format) const;
    std::string GetValueFormat(int c) const;
    // Walks the stored records only: never past the capacity or the end of the file.
    void FindValue(FindRequest* request) const;
    int GetHourTotal(int channel, Time t, double* total, int reserved = 0) const;

    Time GetTag(int j) const;
    // 1 when the tag is in the file; 0 leaves the file as it was.
    int AddTag(Time t);
    int DeleteTag(int j);

    // 0 when nothing is mapped, the file is read-only or the header did not reach the disk.
    int FlushHeader();
    virtual void SetStartTime(Time t);
    virtual void SetEndTime(Time t);

    // The live buffer: "temp.tmp" in the program folder (or the path set before), deleted
    // on Close. Its blocks are reserved here, so a full disk refuses the buffer (0) instead
    // of failing a record later. Its hourly block stays empty: that, unlike a saved file's,
    // is never stamped.
    int CreateTempFile();
    void SetTempFilePath(const std::string& path) { tempTarget_ = path; }
    // The two cumulative totals of the trailer, written through to the open file.
    void SetTotals(std::int64_t flow, std::int64_t heat);
    // Stores record index and makes it durable, with the end time in block B. The record
    // count is published last, so a reader on another thread that sees it finds the record
    // complete. Returns false when the record is outside the buffer or did not reach the
    // disk.
    bool AppendRecord(const float* record, unsigned index);
    // As AppendRecord, without waiting for the disk: for a buffer that is only ever written
    // out with SaveAs (which flushes what it writes) and never recovered after a crash.
    bool StoreRecord(const float* record, unsigned index);
    int GetCapacity() const;
    // Writes beside path and renames over it once every byte is on disk: on failure an
    // existing file at path is left as it was. The buffer itself is not written, so that a
    // crash during the save leaves it as recoverable as before.
    int SaveAs(const std::string& path);

    // Upload layouts (written only). Create writes into a hidden file beside path; only
    // FinishUpload, once every record is written, puts it in place (flushed to disk first).
    // Closing without FinishUpload removes it and leaves any existing file at path intact.
    int Create(const std::string& path);  // 1 when created
    int WriteHeader();
    int WriteRecords(const void* data, unsigned n, int k);
    void AdvanceRecords(unsigned n);
    int FinishUpload();

    static unsigned RingAdd(unsigned a, unsigned b, unsigned c);
    static unsigned RingDistance(unsigned a, unsigned b, unsigned c);

    // The decoded header, for the views (display settings, channel descriptors, the
    // configuration record). Call FlushHeader after changing it to write it back.
    FileHeader& Header() { return header_; }
    const FileHeader& Header() const { return header_; }
    const std::string& GetFileName() const { return fileName_; }
    bool IsTemp() const { return temp_ != 0; }
    // Mapped bytes, for tests and benchmarks; nullptr when closed.
    const std::uint8_t* MappedData() const { return view_; }
    std::size_t MappedSize() const { return viewSize_; }
    // Record count is also the upload ring index.
    void SetRecordCount(int count) { recordCount_.store(count, std::memory_order_release); }

private:
    // What the inline read of GetValue needs, derived from the header and the mapping
    // whenever either changes (RefreshAccess).
    struct Access {
        const std::uint8_t* samples = nullptr;  // record 0, channel 0
        std::uint32_t storedElapsed = 0;        // t - start of the last moment of a stored record
        std::uint32_t interval = 0;             // 0: nothing is read inline
        std::uint64_t reciprocal = 0;           // ceil(2^64 / interval); 0 for interval 1
        unsigned channels = 0;
    };
    static std::uint32_t DivideByInterval(std::uint32_t elapsed, const Access& access);
    // What the checked read finds at channel c and moment t: GetValue's answer, and the
    // sample when there is one to give.
    struct FoundSample {
        int answer = 0;
        bool found = false;
        float sample = 0.0f;
    };
    // Marked cold, so that it stays out of a caller's loop, and pure (it only reads the
    // header and the mapping), so that the loop keeps the header fields it checks and its
    // own variables in registers around the call.
    [[gnu::cold, gnu::pure]] FoundSample FindSample(int c, Time t) const;
    void RefreshAccess();
    void StorePercent(int c, float sample, float* percent) const;

    bool PutRecord(const float* record, unsigned index, bool durable);
    bool IsChannel(int c) const;
    float AlarmValue(int c, const DecimalTriple ChannelDescriptor::*field, bool isUnsigned) const;
    std::uint64_t RecordAreaOffset() const;
    std::uint64_t HourlyOffset() const;
    std::uint64_t TagOffset(int j) const;
    std::uint64_t RecordSize() const;
    // Entries of entrySize bytes from offset, at most count, that lie wholly in the mapping
    // or, with partly, at least begin in it.
    std::uint64_t EntriesInFile(std::uint64_t offset, std::uint64_t entrySize, std::uint64_t count,
                                bool partly) const;
    Time LastStoredTime() const;
    void ResolveRepeatedHours();
    void MarkDamaged();
    bool Remap();
    int OpenMapped(const std::string& path, bool readOnly);
    void Unmap();
    void TakeWriterLock();
    // The header as the file holds it, written into image (the first configuration size +
    // kHeaderSize bytes of a file).
    void EncodeHeader(FileHeader& header, std::uint8_t* image) const;
    // Writes head and then body as the whole file at path.
    static int WriteFileAtomically(const std::string& path, const std::uint8_t* head,
                                   std::size_t headSize, const std::uint8_t* body,
                                   std::size_t bodySize);
    // A new hidden file beside path (".name.XXXXXX"), its descriptor or -1.
    static int CreateBeside(const std::string& path, std::string& created);

    int temp_ = 0;
    std::atomic<int> recordCount_{0};
    int fd_ = -1;
    std::uint8_t* view_ = nullptr;
    std::size_t viewSize_ = 0;
    std::string tempPath_;    // the live buffer, or an upload not yet put in place
    std::string tempTarget_;  // where CreateTempFile puts the live buffer; empty: temp.tmp
    std::string fileName_;
    FileHeader header_;
    Access access_;
    std::uint32_t mappingSize_ = 0x800000;
    int version_ = 1004;
    int configSize_ = kConfigSize1004;
    bool uploadLayout_ = false;  // made by Create: never resized on Close
    bool readOnly_ = false;      // mapped privately; every edit is refused
    bool openReadOnly_ = false;  // opened by OpenReadOnly: no write access, no lock
    bool lockedByOther_ = false;
    bool damaged_ = false;
    bool tagsDeleted_ = false;  // only then is the file cut to its tag list on Close
};

inline std::uint32_t CXFile::DivideByInterval(std::uint32_t elapsed, const Access& access) {
    if (access.reciprocal == 0) return elapsed;
        // Exact for every 32-bit elapsed and interval: the high half of a 64 x 32-bit product.
#if defined(__SIZEOF_INT128__)
    return static_cast<std::uint32_t>(
        (static_cast<unsigned __int128>(access.reciprocal) * elapsed) >> 64);
#else
    const std::uint64_t low = (access.reciprocal & 0xFFFFFFFFu) * elapsed;
    const std::uint64_t high = (access.reciprocal >> 32) * elapsed;
    return static_cast<std::uint32_t>((high + (low >> 32)) >> 32);
#endif
}

inline int CXFile::GetValue(int c, Time t, float* value, float* percent) const {
    // The header is read as it is now (views edit it); what the mapping allows was worked
    // out when it last changed. The conditions are combined without short cuts: one branch
    // instead of nine keeps a sweep's loop short.
    const std::uint64_t elapsed =
        static_cast<std::uint64_t>(t) - static_cast<std::uint64_t>(header_.records.first);
    const unsigned channel = static_cast<unsigned>(c);
    // Linear signals only; the clamp keeps the look-up inside the table for any c.
    const std::uint8_t type =
        header_.channels[channel < static_cast<unsigned>(kMaxChannels) ? channel : 0].signalType;
    const bool inline_read =
        (elapsed <= access_.storedElapsed) & (t <= header_.records.last) &
        (channel < access_.channels) & (header_.channelCount == access_.channels) &
        (header_.records.byte18 == 4) &
        (static_cast<std::uint32_t>(header_.interval) == access_.interval) & IsLinearSignal(type);
    // Where the sample would be, worked out before the branch (as a number: it may lie
    // outside the mapping), so that a sweep's loop does the division only where t changes.
    const std::uint32_t record = DivideByInterval(static_cast<std::uint32_t>(elapsed), access_);
    const std::uintptr_t address =
        reinterpret_cast<std::uintptr_t>(access_.samples) +
        (static_cast<std::size_t>(record) * access_.channels + channel) * 4;
    float sample;
    if (inline_read) [[likely]] {
        std::memcpy(&sample, reinterpret_cast<const void*>(address), 4);
    } else {
        const FoundSample found = FindSample(c, t);
        if (!found.found) return found.answer;
        sample = found.sample;
    }
    if (value) *value = sample;
    if (percent) StorePercent(c, sample, percent);
    return 1;
}

}  // namespace kvr
