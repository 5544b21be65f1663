#include "core/link/realtime_config.h"

#include <cstring>

#include "core/datafile/file_codec.h"
#include "core/datafile/layout.h"
#include "core/link/link_texts.h"
#include "core/link/model_table.h"
#include "core/settings/display_defaults.h"

namespace kvr {

namespace {

constexpr int kPiece = 128;
constexpr int kProgressSteps = 32;
// The three logs at the end of the record: 2464 bytes read from their own areas.
constexpr int kLogBytes = 2464;
struct LogArea {
    std::uint16_t address;
    int imageOffset;
    int length;
};
constexpr LogArea kLogs[] = {{0xD000, 1584, 832}, {0xE000, 2416, 816}, {0xF000, 3232, 816}};
constexpr std::uint16_t kSettings = 0xC000;
constexpr std::size_t kMediumCode = 0x041;
constexpr std::size_t kHeatEnabled = 0x3F1;
constexpr std::uint8_t kUserMediumCode = 26;

// Reads length bytes from address into image in pieces, checking for cancel around each.
// Returns 1 when read, 0 on a failed read, -1 on cancel.
int ReadArea(CXLink& link, std::uint16_t address, std::uint8_t* image, int length,
             const std::atomic<bool>& cancel, LinkProgress* progress, int& step) {
    for (int done = 0; done < length; done += kPiece) {
        if (cancel) return -1;
        const int piece = length - done < kPiece ? length - done : kPiece;
        if (!link.ReadParam(static_cast<std::uint16_t>(address + done),
                            static_cast<std::uint16_t>(piece),
                            {image + done, static_cast<std::size_t>(piece)}))
            return 0;
        if (progress) progress->SetPosition(++step);
        if (cancel) return -1;
    }
    return 1;
}

void SetShowStates(FileHeader& header) {
    const std::uint8_t medium = header.config[kMediumCode];
    // Which of the two flow channels is in use follows the medium: steam and water (codes
    // up to 4) and the user medium use channel 3, every other medium channel 4.
    const bool massFlow = medium <= 4 || medium == kUserMediumCode;
    header.channels[3].showState = massFlow ? 1 : 2;
    header.channels[4].showState = massFlow ? 2 : 1;
    header.channels[5].showState = header.config[kHeatEnabled] == 0 ? 2 : 1;
}

RealtimeConfigResult Fail(std::string* message, const char* text) {
    if (message) *message = text;
    return kRealtimeFailed;
}

}  // namespace

FirmwareFormat FormatForIdentification(const char* id) {
    if (std::strncmp(id, kFamilyId, 6) != 0) return {};
    // A short answer ends at its NUL: the digits it lacks count as 0, never read past it.
    const std::size_t length = strnlen(id, CXLink::kIdentificationSize);
    int firmware = 0;
    for (std::size_t i = 6; i < CXLink::kIdentificationSize; ++i)
        firmware = firmware * 10 + (i < length && id[i] >= '0' && id[i] <= '9' ? id[i] - '0' : 0);
    if (firmware < 1006) return {1002, kConfigSize1002, "KVR1002"};
    if (firmware < 1010) return {1003, kConfigSize1003, "KVR1003"};
    return {1004, kConfigSize1004, "KVR1004"};
}

FirmwareFormat SetFileIdentification(FileHeader& header, const char* id) {
    std::memset(header.identification, 0, sizeof header.identification);
    std::strncpy(header.identification, id, CXLink::kIdentificationSize);
    const FirmwareFormat format = FormatForIdentification(id);
    // The version is read from fixed characters: the magic goes right after the
    // instrument's ten, even when its answer was shorter.
    if (format.version != 0)
        std::memcpy(header.identification + CXLink::kIdentificationSize, format.magic,
                    std::strlen(format.magic));
    return format;
}

RealtimeConfigResult ReadRealtimeConfig(CXLink& link, const ComParam& param, const ViewDef& view,
                                        CXFile& file, LinkProgress* progress,
                                        const std::atomic<bool>& cancel, std::string* message) {
    if (!link.IsConnected() && !link.Connect(param)) {
        if (message) *message = texts::kOpenPortFailed;
        return kRealtimeFailed;
    }
    const RealtimeConfigResult result =
        ReadRealtimeConfigOnLink(link, view, file, progress, cancel, message);
    if (result != kRealtimeReady) link.Disconnect();
    return result;
}

RealtimeConfigResult ReadRealtimeConfigOnLink(CXLink& link, const ViewDef& view, CXFile& file,
                                              LinkProgress* progress,
                                              const std::atomic<bool>& cancel, std::string* message,
                                              bool realtimeOnly) {
    const int address = link.Params().address;
    char id[CXLink::kIdentificationSize + 1] = {};
    if (link.Identify(id) == 0 || id[0] == 0) return Fail(message, texts::kCommunicationFailed);
    if (realtimeOnly && FormatForIdentification(id).version == 0) {
        if (message) *message = std::string(texts::kNotRealtimeFamily) + id;
        return kRealtimeFailed;
    }

    if (const auto refused = CheckRecordInterval(view.realtimeInterval))
        return Fail(message, refused->c_str());
    FileHeader& header = file.Header();
    const FirmwareFormat format = SetFileIdentification(header, id);
    if (format.version != 0) {
        file.SetVersion(format.version);
        file.SetConfigSize(format.configSize);
    }
    header.records.count = kRingCapacity;
    header.records.byte18 = 4;
    header.interval = view.realtimeInterval;
    header.address = static_cast<std::uint8_t>(address);
    header.pieTimeIndex = 2;
    header.pieGridCount = 10;

    if (progress) {
        progress->SetRange(0, kProgressSteps);
        progress->SetPosition(0);
        progress->SetText(texts::kReadingConfiguration);
    }
    // Older firmware has a shorter settings area; what it lacks stays zero.
    std::memset(header.config, 0, sizeof header.config);
    const int size = file.GetConfigSize();
    int step = 0;
    int read = ReadArea(link, kSettings, header.config, size - kLogBytes, cancel, progress, step);
    for (const LogArea& log : kLogs) {
        if (read != 1) break;
        read = ReadArea(link, log.address, header.config + log.imageOffset, log.length, cancel,
                        progress, step);
    }
    if (read == 0) return Fail(message, texts::kCommunicationFailed);
    if (read < 0) return kRealtimeCancelled;

    header.channelCount = kFileChannels;
    for (int i = 0; i < kFileChannels; ++i) {
        header.channels[i].color = DefaultCurveColor(view, i);
        header.channels[i].showState = 1;
        header.channels[i].lineWidth = 1;
    }
    SetShowStates(header);

    if (!file.CreateTempFile()) return Fail(message, texts::kCreateTempFailed);
    ApplyDisplayDefaults(view, header);
    codec::DeriveChannels(header);
    header.address = static_cast<std::uint8_t>(address);
    file.FlushHeader();
    if (cancel) {
        file.Close();  // deletes "temp.tmp"
        return kRealtimeCancelled;
    }
    return kRealtimeReady;
}

}  // namespace kvr
