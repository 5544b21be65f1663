#include "core/link/upload_session.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "core/link/link_texts.h"
#include "core/link/model_table.h"
#include "core/link/upload_config.h"

namespace kvr {

namespace {

constexpr std::uint16_t kRtuAddress = 0xC013;

}  // namespace

UploadSession::~UploadSession() {
    Cancel();
    Wait();
    if (link_.IsConnected()) link_.Disconnect();
}

ScanResult UploadSession::Scan() {
    if (busy_) return scan_;
    scan_ = ScanInstrument(link_, param_, file_);
    return scan_;
}

PreparedRange UploadSession::Prepare(const UploadChoice& choice) {
    PreparedRange range;
    if (busy_) return range;
    if (!scan_.timeParameters) {
        Scan();
        range.message = texts::kCommunicationFailed;
        return range;
    }
    // A refused range released the port; a corrected one must not fail for that.
    if (!link_.IsConnected() && !link_.Connect(param_)) {
        range.message = texts::kCommunicationFailed;
        return range;
    }
    choice_ = choice;
    Time start = choice.all ? scan_.oldest : choice.start;
    Time end = choice.all ? scan_.newest : choice.end;
    const char* refusal = nullptr;
    if (start > end)
        refusal = texts::kStartAfterEnd;
    else if (start < scan_.oldest)
        refusal = texts::kStartOutOfRange;
    else if (end > scan_.newest)
        refusal = texts::kEndOutOfRange;
    if (refusal) {
        link_.Disconnect();
        range.message = refusal;
        return range;
    }
    if (!scan_.rtuFamily) {
        // Onto the record grid: records lie at newest - k * interval.
        const Time interval = scan_.interval;
        start += (scan_.newest - start) % interval;
        end -= (end - scan_.oldest) % interval;
        if (start > end) {
            link_.Disconnect();
            range.message = texts::kNoRecordInRange;
            return range;
        }
    } else {
        std::uint8_t address = 0;
        if (!link_.ReadParam(kRtuAddress, 1, {&address, 1})) {
            range.message = texts::kCommunicationFailed;
            return range;
        }
        file_.Header().address = address;
    }
    range.ok = true;
    range.start = start;
    range.end = end;
    range_ = range;
    return range;
}

std::string UploadSession::ProposedFileName() const {
    const Time end = range_.ok ? range_.end : scan_.newest;
    const CalendarFields f = SplitTime(end);
    char name[96];
    std::snprintf(name, sizeof name, "%03d@%04d-%02d-%02d %02d_%02d_%02d.FDZ", file_.GetAddress(),
                  f.year, f.month, f.day, f.hour, f.minute, f.second);
    return name;
}

int UploadSession::ReadConfiguration(const std::string& path, LinkProgress* progress,
                                     std::string* message) {
    if (busy_ || !range_.ok) {
        if (message) *message = texts::kCommunicationFailed;
        return 0;
    }
    busy_ = true;
    ConfigReadResult result;
    if (scan_.rtuFamily) {
        result =
            ReadRtuUploadConfig(link_, file_, path, {range_.start, range_.end}, view_, progress);
    } else {
        AsciiUploadRange ascii{scan_.family, range_.start, range_.end, scan_.newest,
                               scan_.recordCounter};
        result = ReadAsciiUploadConfig(link_, file_, path, ascii, view_, progress);
        recordCounter_ = ascii.recordCounter;
    }
    if (result == kConfigRead) return 1;
    if (message)
        *message =
            result == kConfigCreateFailed ? texts::kCreateHistoryFailed : texts::kConfigReadFailed;
    if (result == kConfigReadFailed) {
        link_.Disconnect();
        file_.Close();
    }
    EndBusy();
    return 0;
}

bool UploadSession::Start(UploadSink& sink, std::string* message) {
    if (!busy_) return false;
    Wait();  // the previous upload's worker has ended; release its thread
    if (!file_.WriteHeader()) {
        file_.Close();
        if (message) *message = texts::kCreateHistoryFailed;
        EndBusy();
        return false;
    }
    cancel_ = false;
    const bool byTime = scan_.rtuFamily;
    // "上传所有数据" uploads from the oldest record whatever the pickers say.
    const Time first = choice_.all ? scan_.oldest : range_.start;
    const RingUploadJob ring{scan_.family == 0 || scan_.family == 1 ? 0 : 1, recordCounter_,
                             scan_.speed};
    const TimeUploadJob timed{first, scan_.speed};
    worker_ = std::thread([this, &sink, byTime, ring, timed] {
        const UploadOutcome outcome = byTime ? RunTimeUpload(timed, link_, file_, sink, cancel_)
                                             : RunRingUpload(ring, link_, file_, sink, cancel_);
        EndBusy();
        sink.Finished(outcome);
    });
    return true;
}

void UploadSession::Wait() {
    if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

}  // namespace kvr
