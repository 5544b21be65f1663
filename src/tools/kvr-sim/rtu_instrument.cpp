#include "tools/kvr-sim/rtu_instrument.h"

#include <cstring>

#include "core/datafile/gbk.h"
#include "tools/kvr-sim/instrument_content.h"

namespace kvrsim {

unsigned RtuInstrument::BlockBase(char layout) {
    return layout == 'L' ? 0xC046 : layout == 'M' ? 0xC048 : 0xC040;
}

int RtuInstrument::TotalWidth(const std::string& identification) {
    return identification.size() > 6 && identification[6] == '2' ? 8 : 4;
}

RtuInstrument::RtuInstrument(const SimOptions& options, kvr::Time startTime)
    : options_(options), params_(0x10000, 0), memory_(0x10000, 0) {
    interval_ = kIntervalSeconds[kRtuIntervalIndex];
    newest_ = NewestTime(startTime, interval_);
    const int channels = options.channels;
    params_[kChannelCount] = static_cast<std::uint8_t>(channels);
    params_[kIntervalIndex] = kRtuIntervalIndex;
    const std::string name = kvr::CutGbk(kvr::Utf8ToGbk(DeviceName(options.family)), 16);
    std::memcpy(params_.data() + kDeviceName, name.data(), name.size());
    params_[kAddress] = static_cast<std::uint8_t>(options.address);
    const auto groups = RtuGroupCounts(channels);
    std::memcpy(params_.data() + kGroupCounts, groups.data(), groups.size());
    for (int c = 0; c < channels && c < 64; ++c) {
        const Bytes block = RtuChannelBlock(options.seed, c, options.layout);
        std::memcpy(params_.data() + BlockBase(options.layout) + 80u * static_cast<unsigned>(c),
                    block.data(), 80);
    }
    // Each total as 16-bit words, lowest word first, each word high byte first.
    const int width = TotalWidth(Identification(options));
    for (int c = 0; c < channels && c < 64; ++c) {
        const std::uint64_t total = RtuTotal(options.seed, c);
        std::uint8_t* at = memory_.data() + kTotals + static_cast<unsigned>(width * c);
        for (int w = 0; w < width / 2; ++w) {
            const auto word = static_cast<std::uint16_t>(total >> (16 * w));
            at[2 * w] = static_cast<std::uint8_t>(word >> 8);
            at[2 * w + 1] = static_cast<std::uint8_t>(word);
        }
    }
}

std::optional<Reply> RtuInstrument::RecordsAt(const Request& request) const {
    const Bytes& body = request.body;
    if (body.size() != 8 || !kvr::IsValidStamp(body.data()) || body[6] == 0 || body[7] == 0)
        return Exception(request, kIllegalValue);
    const kvr::Time first = kvr::StampToTime(kvr::ReadStamp(body.data()));
    const int records = body[6];
    const int channels = body[7];
    Bytes payload(body.begin(), body.end());  // eight bytes the master does not look at
    for (int r = 0; r < records; ++r) {
        const kvr::Time t = first + static_cast<kvr::Time>(r) * interval_;
        // Record number relative to the newest, rounded down to whole intervals.
        kvr::Time delta = t - newest_;
        const std::int64_t number =
            delta >= 0 ? delta / interval_ : -((-delta + interval_ - 1) / interval_);
        for (int c = 0; c < channels; ++c) {
            const std::uint16_t sample =
                c < options_.channels ? TimedSample(options_.seed, c, number) : 0;
            const auto bytes = SampleBytes(sample);
            payload.insert(payload.end(), bytes.begin(), bytes.end());
        }
    }
    return Ok(request, std::move(payload));
}

std::optional<Reply> RtuInstrument::Handle(const Request& request, kvr::Time) {
    if (request.ascii) return std::nullopt;  // no answer to the ASCII identification
    switch (request.function) {
        case 0x41: {
            return IdentificationReply(request, Identification(options_));
        }
        case 0x14: {
            return StampReply(request, newest_);
        }
        case 0x16: return Read(request, params_, Word(request.body, 0), Word(request.body, 2));
        case 0x03: return Read(request, memory_, Word(request.body, 0), Word(request.body, 2) * 2);
        case 0x13:
            if (request.body.size() == 8) return RecordsAt(request);
            return Exception(request, kIllegalFunction);
        default: return Exception(request, kIllegalFunction);
    }
}

}  // namespace kvrsim
