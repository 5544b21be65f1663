#include "core/publish/record_archive.h"

#include <dirent.h>

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
        if (WasFiled(record.ts) || !records_.insert_or_assign(record.ts, record).second) ++again;
    return again;
}

void RecordArchive::NoteFiled(Time first, Time last, int interval) {
    if (interval <= 0 || last < first) return;
    const auto next = filed_.upper_bound(first);
    if (next != filed_.begin()) {
        FiledRun& before = std::prev(next)->second;
        if (before.interval == interval && before.last + interval == first) {
            before.last = std::max(before.last, last);
            return;
        }
    }
    FiledRun& run = filed_[first];
    if (run.last < last) run = {last, interval};
}

bool RecordArchive::WasFiled(Time ts) const {
    const auto next = filed_.upper_bound(ts);
    if (next == filed_.begin()) return false;
    const auto& [first, run] = *std::prev(next);
    return ts <= run.last && (ts - first) % run.interval == 0;
}

void RecordArchive::LearnFiled(const std::string& folder, const std::string& instrument) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const std::string prefix = instrument + "-";
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - 4, 4, ".FDZ") != 0)
            continue;
        CXFile file;
        if (file.OpenReadOnly(folder + "/" + name) != 1 || !file.HoldsRecording()) continue;
        const Time first = file.GetStartTime();
        const int interval = file.GetInterval();
        const Time byTime = (file.GetEndTime() - first) / interval + 1;
        const Time count = std::min<Time>(file.GetWholeRecords(), byTime);
        if (count > 0) NoteFiled(first, first + (count - 1) * interval, interval);
    }
    ::closedir(dir);
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
        NoteFiled(run.front()->ts, run.back()->ts, interval);
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
