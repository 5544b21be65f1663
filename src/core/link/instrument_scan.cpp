#include "core/link/instrument_scan.h"

#include <cstring>

#include "core/link/link_texts.h"
#include "core/link/model_table.h"

namespace kvr {

namespace {

constexpr std::uint16_t kNewestRecord = 0x008E;  // stamp (6) + record counter (4)
constexpr std::uint16_t kRtuIntervalIndex = 0xC001;
constexpr std::uint16_t kAsciiIntervalIndex[2] = {0x1015, 0x1025};
constexpr int kAnswerSize = 32;
constexpr Time kPickerSpan = 3600;

void SetRange(ScanResult& result) {
    result.rangeText = FormatTime(result.oldest) + "\n" + FormatTime(result.newest);
    result.pickerEnd = result.newest;
    result.pickerStart = result.newest - kPickerSpan;
    result.timeParameters = true;
}

void ScanRtu(CXLink& link, CXFile& file, ScanResult& result) {
    result.rtuFamily = true;
    std::uint8_t clock[6];
    std::uint8_t index = 0;
    if (!link.ReadClock(clock) || !IsValidStamp(clock) ||
        !link.ReadParam(kRtuIntervalIndex, 1, {&index, 1})) {
        link.Disconnect();
        return;
    }
    result.interval = IntervalOfIndex(index > 8 ? 0 : index);
    file.Header().interval = result.interval;
    result.newest = StampToTime(ReadStamp(clock));
    result.oldest = result.newest - static_cast<Time>(result.interval) * (kRtuCapacity - 1);
    SetRange(result);
}

void ScanAscii(CXLink& link, const ComParam& param, CXFile& file, const char* answer,
               ScanResult& result) {
    FileHeader& header = file.Header();
    header.records.count = kRingCapacity;
    header.records.byte18 = 2;
    header.address = static_cast<std::uint8_t>(param.address);
    std::memset(header.identification, 0, sizeof header.identification);
    std::memcpy(header.identification, answer, strnlen(answer, sizeof header.identification - 1));

    std::uint8_t index = 0;
    std::uint8_t newest[10];
    if (!link.ReadMemoryAscii(kAsciiIntervalIndex[result.family], 1, {&index, 1})) {
        link.Disconnect();
        return;
    }
    result.interval = IntervalOfIndex(index > 8 ? 0 : index);
    header.interval = result.interval;
    if (!link.ReadMemoryAscii(kNewestRecord, sizeof newest, newest) || !IsValidStamp(newest)) {
        link.Disconnect();
        return;
    }
    result.newest = StampToTime(ReadStamp(newest));
    result.recordCounter =
        static_cast<std::uint32_t>(newest[6]) | static_cast<std::uint32_t>(newest[7]) << 8 |
        static_cast<std::uint32_t>(newest[8]) << 16 | static_cast<std::uint32_t>(newest[9]) << 24;
    result.oldest = result.newest - static_cast<Time>(result.interval) * (kRingCapacity - 1);
    SetRange(result);
}

}  // namespace

ScanResult ScanInstrument(CXLink& link, const ComParam& param, CXFile& file) {
    ScanResult result;
    result.rangeText = texts::kCommunicationFailed;
    result.speed = TransferSpeed(param.baud);
    if (!link.IsConnected() && !link.Connect(param)) {
        result.message = texts::kOpenPortFailed;
        return result;
    }
    std::uint8_t answer[kAnswerSize] = {};
    std::memcpy(answer, kAnswerFiller, sizeof kAnswerFiller);
    // At most 31 characters, so that the answer stays terminated.
    const int count = link.IdentifyAscii({answer, kAnswerSize - 1});
    if (count == 0) {
        ScanRtu(link, file, result);
        return result;
    }
    answer[count] = 0;
    const char* text = reinterpret_cast<const char*>(answer);
    result.family = FamilyOfAnswer(text);
    if (result.family < 0) {
        result.message = texts::kUnknownDevice;
        return result;
    }
    result.identification = text;
    ScanAscii(link, param, file, text, result);
    return result;
}

}  // namespace kvr
