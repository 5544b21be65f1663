#include "core/publish/record_archive.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/datafile/cxfile.h"
#include "core/datafile/file_codec.h"
#include "core/datafile/history_path.h"
#include "core/datafile/layout.h"
#include "core/settings/display_defaults.h"
#include "core/settings/view_def.h"

namespace kvr {
namespace {

constexpr int kNewestVersion = 1004;
constexpr char kPlainIdentification[] = "QZK2TW1010KVR1004";

// The interval of records that came without a state: the smallest step between them.
int GuessInterval(const std::map<Time, PublishedRecord>& records) {
    Time step = std::numeric_limits<Time>::max();
    for (auto it = records.begin(); std::next(it) != records.end(); ++it)
        step = std::min(step, std::next(it)->first - it->first);
    return step == std::numeric_limits<Time>::max() || step > 0xFFFF ? 1 : static_cast<int>(step);
}

}  // namespace

std::size_t RecordArchive::Add(const std::vector<PublishedRecord>& records) {
    std::size_t again = 0;
    for (const PublishedRecord& record : records)
        if (WasSaved(record.ts) || !records_.insert_or_assign(record.ts, record).second) ++again;
    return again;
}

bool RecordArchive::WasSaved(Time ts) const {
    // The newest runs first: what comes again is mostly what was sent last.
    return std::any_of(saved_.rbegin(), saved_.rend(), [ts](const SavedRun& run) {
        return run.first <= ts && ts <= run.last && (ts - run.first) % run.interval == 0;
    });
}

std::string RecordArchive::WriteRun(const std::vector<const PublishedRecord*>& run, int interval,
                                    const std::string& path) {
    InstrumentInfo info = info_.value_or(InstrumentInfo{});
    if (info.identification.empty()) info.identification = kPlainIdentification;
    const int version =
        info.version >= 1002 && info.version <= kNewestVersion ? info.version : kNewestVersion;
    CXFile file;
    file.SetVersion(version);
    file.SetConfigSize(ConfigSizeForVersion(version));
    FileHeader& header = file.Header();
    std::memset(header.identification, 0, sizeof header.identification);
    std::memcpy(header.identification, info.identification.data(),
                std::min(info.identification.size(), sizeof header.identification - 1));
    if (!info.config.empty())
        std::memcpy(header.config, info.config.data(),
                    std::min<std::size_t>(info.config.size(), sizeof header.config));
    std::size_t channels = info.channels.size();
    for (const PublishedRecord* record : run) channels = std::max(channels, record->values.size());
    header.channelCount = static_cast<std::uint8_t>(std::min<std::size_t>(channels, kFileChannels));
    header.records.count = static_cast<std::uint32_t>(run.size());
    header.records.byte18 = 4;
    header.interval = interval;
    const ViewDef view;
    for (int c = 0; c < header.channelCount; ++c) {
        header.channels[c].color = DefaultCurveColor(view, c);
        header.channels[c].showState = 1;
        header.channels[c].lineWidth = 1;
    }
    const std::size_t slash = path.rfind('/');
    file.SetTempFilePath(path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".tmp");
    if (!file.CreateTempFile()) return path + ": cannot create the file beside it";
    codec::DeriveChannels(header);
    header.address = static_cast<std::uint8_t>(info.address);
    std::vector<float> samples(header.channelCount);
    for (std::size_t i = 0; i < run.size(); ++i) {
        for (std::size_t c = 0; c < samples.size(); ++c)
            samples[c] = c < run[i]->values.size() ? run[i]->values[c]
                                                   : std::numeric_limits<float>::quiet_NaN();
        if (!file.StoreRecord(samples.data(), static_cast<unsigned>(i)))
            return path + ": " + std::strerror(errno);
        if (i == 0) file.SetStartTime(run[0]->ts);
    }
    file.SetEndTime(0);
    file.SetTotals(run.back()->flowTotal, run.back()->heatTotal);
    file.FlushHeader();
    if (!file.SaveAs(path)) return path + ": " + std::strerror(errno);
    return {};
}

ArchiveSaveResult RecordArchive::Save(const std::string& folder, const std::string& instrument,
                                      bool force) {
    ArchiveSaveResult result;
    if (records_.empty()) return result;
    const int interval = info_ && info_->interval > 0 ? info_->interval : GuessInterval(records_);
    std::vector<const PublishedRecord*> run;
    auto flush = [&]() -> bool {
        const std::string path = force
                                     ? HistoryBasePath(folder, instrument, run.front()->ts) + ".FDZ"
                                     : HistoryFilePath(folder, instrument, run.front()->ts);
        result.error = WriteRun(run, interval, path);
        if (!result.error.empty()) return false;
        result.files.push_back(path);
        const Time first = run.front()->ts, last = run.back()->ts;
        if (!saved_.empty() && saved_.back().interval == interval &&
            saved_.back().last + interval == first)
            saved_.back().last = last;
        else
            saved_.push_back({first, last, interval});
        for (const PublishedRecord* record : run) records_.erase(record->ts);
        run.clear();
        return true;
    };
    std::vector<const PublishedRecord*> all;
    for (const auto& [ts, record] : records_) all.push_back(&record);
    for (const PublishedRecord* record : all) {
        if (!run.empty() && record->ts - run.back()->ts != interval && !flush()) return result;
        run.push_back(record);
    }
    if (!run.empty()) flush();
    return result;
}

}  // namespace kvr
