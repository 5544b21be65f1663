#include "core/link/upload_workers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "core/link/link_texts.h"
#include "core/link/model_table.h"

namespace kvr {

namespace {

constexpr int kTries = 4;
constexpr int kRetryPause = 50;
constexpr std::uint32_t kBlockRecords = 128;  // 256 bytes of 2-byte samples
constexpr int kRequestSamples = 120;          // samples one by-time request carries
constexpr int kSampleSize = 2;

template <typename Read>
bool Retried(CXLink& link, Read read) {
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (attempt > 0) link.Pause(kRetryPause);
        if (read()) return true;
    }
    return false;
}

UploadOutcome Close(CXFile& file, UploadOutcome::Status status, std::string message) {
    // Only a complete upload, flushed to disk, takes the target's name; anything less is
    // removed on Close and leaves a file already there as it was.
    if (status == UploadOutcome::kCompleted && !file.FinishUpload()) {
        status = UploadOutcome::kFailed;
        message = texts::kCreateHistoryFailed;
    }
    UploadOutcome outcome;
    outcome.status = status;
    outcome.message = std::move(message);
    outcome.path = file.GetFileName();
    file.Close();
    return outcome;
}

// One channel's block of kBlockRecords samples starting at ring position pos; a block that
// runs past the end of the ring continues at its start.
bool ReadRingBlock(CXLink& link, int mode, int channel, std::uint32_t pos, std::uint8_t* out) {
    const std::uint32_t channelBase = static_cast<std::uint32_t>(channel) * kRingCapacity;
    const std::uint32_t rest = kRingCapacity - pos;
    std::uint8_t piece[CXLink::kRecordBlockSize];
    if (rest >= kBlockRecords)
        return Retried(link, [&] {
            return link.ReadRecords(2 * (channelBase + pos), {out, CXLink::kRecordBlockSize},
                                    CXLink::kRecordBlockSize, mode) != 0;
        });
    const int first = static_cast<int>(2 * rest);
    const int second = CXLink::kRecordBlockSize - first;
    if (!Retried(link, [&] {
            return link.ReadRecords(2 * (channelBase + pos), piece, first, mode) != 0;
        }))
        return false;
    std::memcpy(out, piece, static_cast<std::size_t>(first));
    if (!Retried(link, [&] { return link.ReadRecords(2 * channelBase, piece, second, mode) != 0; }))
        return false;
    std::memcpy(out + first, piece, static_cast<std::size_t>(second));
    return true;
}

}  // namespace

int RecordsPerRequest(int channels) { return channels > 0 ? kRequestSamples / channels : 0; }

std::string RemainingTimeText(std::uint32_t totalBytes, std::uint32_t doneBytes,
                              std::uint32_t speed) {
    const std::uint32_t left = doneBytes < totalBytes ? totalBytes - doneBytes : 0;
    std::uint32_t seconds = speed > 0 ? left / speed : 0;
    if (seconds < 1) seconds = 1;
    char text[96];
    if (seconds <= 60)
        std::snprintf(text, sizeof text, "%s%u秒", texts::kRemainingTime, seconds);
    else if (seconds <= 3600)
        std::snprintf(text, sizeof text, "%s%u分%u秒", texts::kRemainingTime, seconds / 60,
                      seconds % 60);
    else
        std::snprintf(text, sizeof text, "%s%u小时%u分", texts::kRemainingTime, seconds / 3600,
                      seconds % 3600 / 60);
    return text;
}

std::string CompletionText(Time started, Time ended, std::uint64_t totalBytes) {
    // Within one second still counts as one second.
    const Time elapsed = ended - started < 1 ? 1 : ended - started;
    char text[256];
    std::snprintf(text, sizeof text, texts::kUploadComplete, FormatTime(started).c_str(),
                  FormatTime(ended).c_str(),
                  static_cast<int>(totalBytes / static_cast<std::uint64_t>(elapsed)));
    return text;
}

UploadOutcome RunRingUpload(const RingUploadJob& job, CXLink& link, CXFile& file, UploadSink& sink,
                            const std::atomic<bool>& cancel) {
    const int channels = file.GetChannelCount();
    const int interval = file.GetInterval();
    if (channels <= 0 || interval <= 0)
        return Close(file, UploadOutcome::kFailed, texts::kConfigReadFailed);
    const auto records =
        static_cast<std::uint32_t>((file.GetEndTime() - file.GetStartTime()) / interval + 1);
    const std::uint32_t totalBytes = static_cast<std::uint32_t>(channels) * records * kSampleSize;
    std::uint32_t pos =
        CXFile::RingDistance(job.recordCounter, (records - 1) % kRingCapacity, kRingCapacity);
    const std::uint32_t blocks = (records + kBlockRecords - 1) / kBlockRecords;

    sink.SetProgressRange(static_cast<int>(blocks) * channels);
    sink.SetProgress(0);
    const Time started = std::time(nullptr);
    std::uint8_t samples[CXLink::kRecordBlockSize];
    for (std::uint32_t b = 0; b < blocks; ++b) {
        std::uint32_t k = 0;
        for (int ch = 0; ch < channels; ++ch) {
            if (cancel) {
                sink.SetProgress(0);
                return Close(file, UploadOutcome::kCancelled, {});
            }
            sink.SetProgress(static_cast<int>(b) * channels + ch);
            if (!ReadRingBlock(link, job.mode, ch, pos, samples)) {
                sink.SetProgress(0);
                return Close(file, UploadOutcome::kFailed, texts::kCommunicationFailed);
            }
            // The last block stops at the range's last record.
            k = std::min(kBlockRecords,
                         CXFile::RingDistance(job.recordCounter, pos, kRingCapacity) + 1);
            if (!file.WriteRecords(samples, k, ch)) {
                sink.SetProgress(0);
                return Close(file, UploadOutcome::kFailed, texts::kCreateHistoryFailed);
            }
            const std::uint32_t done =
                static_cast<std::uint32_t>(channels) * kBlockRecords * b * kSampleSize;
            sink.SetRemainingText(
                RemainingTimeText(totalBytes, done, static_cast<std::uint32_t>(job.speed)));
        }
        pos = CXFile::RingAdd(pos, k, kRingCapacity);
        file.AdvanceRecords(k);
    }
    sink.SetProgress(static_cast<int>(blocks) * channels);
    return Close(file, UploadOutcome::kCompleted,
                 CompletionText(started, std::time(nullptr), totalBytes));
}

UploadOutcome RunTimeUpload(const TimeUploadJob& job, CXLink& link, CXFile& file, UploadSink& sink,
                            const std::atomic<bool>& cancel) {
    const int channels = file.GetChannelCount();
    const int interval = file.GetInterval();
    const int perRequest = RecordsPerRequest(channels);
    if (perRequest == 0 || interval <= 0)
        return Close(file, UploadOutcome::kFailed, texts::kConfigReadFailed);
    const std::uint32_t records = file.Header().records.count;
    const std::uint32_t totalBytes = static_cast<std::uint32_t>(channels) * records * kSampleSize;
    const auto r = static_cast<std::uint32_t>(perRequest);
    const std::uint32_t blocks = (records + r - 1) / r;

    sink.SetProgressRange(static_cast<int>(blocks));
    sink.SetProgress(0);
    const Time started = std::time(nullptr);
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(kRequestSamples) * kSampleSize);
    Time t = job.start;
    auto finish = [&](UploadOutcome::Status status, std::string message) {
        sink.SetProgress(status == UploadOutcome::kCompleted ? static_cast<int>(blocks) : 0);
        sink.SetRemainingText({});
        return Close(file, status, std::move(message));
    };
    for (std::uint32_t b = 0; b < blocks; ++b) {
        if (cancel) return finish(UploadOutcome::kCancelled, {});
        sink.SetProgress(static_cast<int>(b));
        // The last request asks only for the records that remain.
        const std::uint32_t n = std::min(r, records - b * r);
        if (!Retried(link, [&] {
                return link.ReadRecordsAt(t, static_cast<int>(n), channels, samples) != 0;
            }))
            return finish(UploadOutcome::kFailed, texts::kCommunicationFailed);
        t += static_cast<Time>(interval) * perRequest;
        if (!file.WriteRecords(samples.data(), static_cast<unsigned>(channels) * n * kSampleSize,
                               static_cast<int>(b * r)))
            return finish(UploadOutcome::kFailed, texts::kCreateHistoryFailed);
        sink.SetRemainingText(RemainingTimeText(
            totalBytes, static_cast<std::uint32_t>(channels) * b * r * kSampleSize,
            static_cast<std::uint32_t>(job.speed)));
    }
    return finish(UploadOutcome::kCompleted,
                  CompletionText(started, std::time(nullptr), totalBytes));
}

}  // namespace kvr
