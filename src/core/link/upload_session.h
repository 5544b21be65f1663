#pragma once
// Everything the history-upload dialog does apart from drawing itself: the instrument
// scan, checking the chosen range, reading the configuration into a new file, and running
// the upload worker on its own thread. The dialog and "kvrtool upload" drive it the same
// way:
//   Scan() -> Prepare() -> ProposedFileName() -> ReadConfiguration() -> Start() -> Wait()
#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/datafile/cxfile.h"
#include "core/link/cxlink.h"
#include "core/link/instrument_scan.h"
#include "core/link/link_progress.h"
#include "core/link/upload_workers.h"
#include "core/settings/com_param.h"
#include "core/settings/view_def.h"

namespace kvr {

struct UploadChoice {
    bool all = false;  // "上传所有数据": the whole stored range
    Time start = 0, end = 0;
};

struct PreparedRange {
    bool ok = false;
    std::string message;  // why not, when !ok
    Time start = 0, end = 0;
};

class UploadSession {
public:
    UploadSession() = default;
    // Cancels a running upload and waits for it; disconnects the link.
    ~UploadSession();
    UploadSession(const UploadSession&) = delete;
    UploadSession& operator=(const UploadSession&) = delete;

    void SetParams(const ComParam& param) { param_ = param; }
    void SetViewDef(const ViewDef& view) { view_ = view; }

    // "刷新": scans the instrument. Refused (returns the last scan) while an upload runs,
    // as the worker owns the link then.
    ScanResult Scan();
    const ScanResult& LastScan() const { return scan_; }

    // The checks of the upload button before a file name is asked for. Without a successful
    // scan it scans again and answers "通讯失败！"; a refused range disconnects the link.
    // ASCII-identified instruments get the range snapped to their record grid; the
    // RTU-identified recorder has its communication address read into the file.
    PreparedRange Prepare(const UploadChoice& choice);
    // "%03d@%Y-%m-%d %H_%M_%S.FDZ" with the address and the prepared end.
    std::string ProposedFileName() const;

    // Creates the file at path and reads the configuration into it. 1 on success (the
    // session is busy from here until the upload ends); otherwise *message says why, the
    // session is idle again and no file is left behind.
    int ReadConfiguration(const std::string& path, LinkProgress* progress, std::string* message);
    // Writes the file header and starts the worker. The sink is called on the worker
    // thread and must live until Finished, which comes last, after the session is idle
    // again.
    bool Start(UploadSink& sink, std::string* message);
    void Cancel() { cancel_ = true; }
    void Wait();
    bool IsBusy() const { return busy_; }

    CXLink& Link() { return link_; }
    CXFile& File() { return file_; }

private:
    void EndBusy() { busy_ = false; }

    ComParam param_;
    ViewDef view_;
    CXLink link_;
    CXFile file_;
    ScanResult scan_;
    UploadChoice choice_;
    PreparedRange range_;
    std::uint32_t recordCounter_ = 0;  // of the prepared range's end, ASCII families
    std::atomic<bool> busy_{false};
    std::atomic<bool> cancel_{false};
    std::thread worker_;
};

}  // namespace kvr
