#include "core/publish/instrument_sources.h"

#include <sys/stat.h>

#include <algorithm>
#include <limits>
#include <map>

#include "core/datafile/config_record.h"
#include "core/datafile/lookup_tables.h"
#include "core/publish/source_follower.h"

namespace kvr {

struct InstrumentSources::Source {
    std::string path;
    bool liveBuffer = false;
    CXFile file;
    // What the file was when opened: a saved file is reopened only when this changes.
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    // Records held: first + i * interval for i < count.
    Time first = 0;
    int interval = 0;
    int count = 0;

    Time Last() const { return first + static_cast<Time>(count - 1) * interval; }
};

namespace {

bool SameStat(const struct stat& info, dev_t device, ino_t inode, off_t size,
              const timespec& modified) {
    return info.st_dev == device && info.st_ino == inode && info.st_size == size &&
           info.st_mtim.tv_sec == modified.tv_sec && info.st_mtim.tv_nsec == modified.tv_nsec;
}

}  // namespace

InstrumentInfo DescribeInstrument(const CXFile& file, const std::string& instrument) {
    InstrumentInfo info;
    info.instrument = instrument;
    const FileHeader& header = file.Header();
    info.identification = std::string(header.identification,
                                      strnlen(header.identification, sizeof header.identification));
    info.device = file.GetDeviceName();
    info.address = file.GetAddress();
    info.interval = file.GetInterval();
    info.version = file.GetVersion();
    const ConfigRecord config(file);
    info.flowTotalUnit = FlowTotalUnitText(config.FlowTotalUnit());
    info.heatTotalUnit = HeatTotalUnitText(config.HeatTotalUnit());
    for (int c = 0; c < file.GetChannelCount(); ++c)
        info.channels.push_back({file.GetChannelName(c), file.GetChannelUnit(c)});
    info.config.assign(header.config, header.config + file.GetConfigSize());
    return info;
}

InstrumentSources::InstrumentSources(std::string instrument) : instrument_(std::move(instrument)) {}
InstrumentSources::~InstrumentSources() = default;

bool InstrumentSources::Reopen(Source& source) const {
    // A live buffer is followed in place; it is opened anew only when the collector began
    // a new recording in it.
    if (source.liveBuffer && source.file.IsOpen()) {
        switch (source.file.Follow()) {
            case CXFile::FollowResult::kGone: return false;
            case CXFile::FollowResult::kUnchanged: return true;
            case CXFile::FollowResult::kAppended: CountRecords(source); return true;
            case CXFile::FollowResult::kRestarted: break;
        }
    }
    struct stat info {};
    if (::stat(source.path.c_str(), &info) != 0) return false;
    if (!source.liveBuffer && source.file.IsOpen() &&
        SameStat(info, source.device, source.inode, source.size, source.modified))
        return true;
    source.count = 0;
    if (source.file.OpenReadOnly(source.path) != 1) return false;
    source.device = info.st_dev;
    source.inode = info.st_ino;
    source.size = info.st_size;
    source.modified = info.st_mtim;
    CountRecords(source);
    return true;
}

void InstrumentSources::CountRecords(Source& source) {
    const CXFile& file = source.file;
    source.count = 0;
    source.first = file.GetStartTime();
    source.interval = file.GetInterval();
    const Time end = file.GetEndTime();
    if (source.interval <= 0 || !file.HoldsRecording() || end < source.first) return;
    const Time byTime = (end - source.first) / source.interval + 1;
    source.count = static_cast<int>(std::min<Time>(file.GetWholeRecords(), byTime));
}

std::vector<RecordSpan> InstrumentSources::Refresh(const std::vector<std::string>& paths) {
    std::vector<RecordSpan> appeared;
    std::vector<std::unique_ptr<Source>> kept;
    for (const std::string& path : paths) {
        auto existing = std::find_if(sources_.begin(), sources_.end(),
                                     [&](const auto& s) { return s && s->path == path; });
        std::unique_ptr<Source> source;
        if (existing != sources_.end()) {
            source = std::move(*existing);
        } else {
            source = std::make_unique<Source>();
            source->path = path;
            const std::string name = path.substr(path.size() >= 4 ? path.size() - 4 : 0);
            source->liveBuffer = name == ".tmp" || name == ".TMP";
        }
        const bool isNew = existing == sources_.end();
        if (!Reopen(*source)) continue;
        if (isNew && refreshed_ && !source->liveBuffer && source->count > 0)
            appeared.push_back({source->first, source->Last()});
        kept.push_back(std::move(source));
    }
    sources_ = std::move(kept);
    refreshed_ = true;
    return appeared;
}

std::vector<PublishedRecord> InstrumentSources::Read(Time after, Time upto, std::size_t max) const {
    std::map<Time, PublishedRecord> found;
    std::vector<float> samples;
    for (const auto& source : sources_) {
        if (source->count <= 0 || source->Last() <= after || source->first > upto) continue;
        const Time interval = source->interval;
        const std::int64_t firstIndex =
            after < source->first ? 0 : (after - source->first) / interval + 1;
        const std::int64_t lastIndex =
            std::min<std::int64_t>(source->count - 1, (upto - source->first) / interval);
        const int count = static_cast<int>(
            std::min<std::int64_t>(lastIndex - firstIndex + 1, static_cast<std::int64_t>(max)));
        if (count <= 0) continue;
        const CXFile& file = source->file;
        const int channels = file.GetChannelCount();
        samples.resize(static_cast<std::size_t>(channels) * count);
        for (int c = 0; c < channels; ++c)
            file.ReadChannel(c, firstIndex, count,
                             samples.data() + static_cast<std::size_t>(c) * count);
        for (int i = 0; i < count; ++i) {
            const Time ts = source->first + (firstIndex + i) * interval;
            if (found.size() >= max && ts > found.rbegin()->first) break;
            PublishedRecord& record = found[ts];
            record.ts = ts;
            record.values.resize(static_cast<std::size_t>(channels));
            for (int c = 0; c < channels; ++c)
                record.values[static_cast<std::size_t>(c)] =
                    samples[static_cast<std::size_t>(c) * count + i];
            record.flowTotal = file.Header().flowTotal;
            record.heatTotal = file.Header().heatTotal;
            if (found.size() > max) found.erase(std::prev(found.end()));
        }
    }
    std::vector<PublishedRecord> records;
    records.reserve(found.size());
    for (auto& [ts, record] : found) records.push_back(std::move(record));
    return records;
}

std::vector<RecordSpan> InstrumentSources::Spans() const {
    std::vector<RecordSpan> spans;
    for (const auto& source : sources_)
        if (source->count > 0) spans.push_back({source->first, source->Last()});
    return spans;
}

std::optional<Time> InstrumentSources::Newest() const {
    std::optional<Time> newest;
    for (const auto& source : sources_)
        if (source->count > 0 && (!newest || source->Last() > *newest)) newest = source->Last();
    return newest;
}

std::optional<InstrumentInfo> InstrumentSources::Info() const {
    const Source* best = nullptr;
    for (const auto& source : sources_)
        if (source->file.IsOpen() &&
            (!best || (source->count > 0 && source->Last() > best->Last())))
            best = source.get();
    if (!best) return std::nullopt;
    return DescribeInstrument(best->file, instrument_);
}

}  // namespace kvr
