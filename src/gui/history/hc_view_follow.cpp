// CHCView following a live buffer that a collector (or another KVR's acquisition) records
// into: the file is open read-only, and every second the view takes in what was added.
#include <QTimer>

#include "gui/common/file_events.h"
#include "gui/curves/channel_panel.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/history/hc_view.h"

void CHCView::StartFollowing(std::function<void(bool recording)> recording) {
    recordingChanged_ = std::move(recording);
    if (followTimer_) return;
    followTimer_ = new QTimer(this);
    followTimer_->setInterval(1000);  // no instrument records faster than once a second
    connect(followTimer_, &QTimer::timeout, this, &CHCView::FollowTick);
    followTimer_->start();
}

void CHCView::FollowTick() {
    if (!file_) return;
    using Follow = kvr::CXFile::FollowResult;
    const Follow result = file_->Follow();
    const bool recording = result != Follow::kGone;
    if (recording != recording_) {
        recording_ = recording;
        if (recordingChanged_) recordingChanged_(recording);
    }
    if (result == Follow::kAppended) TakeNewRecords();
    if (result == Follow::kRestarted) OpenNewRecording();
}

void CHCView::TakeNewRecords() {
    const auto [windowStart, windowEnd] = parts_.curve->GetWindowRange();
    const kvr::Time start = file_->GetStartTime();
    const kvr::Time end = file_->GetEndTime();
    // The window that showed the newest record keeps showing it: the whole recording stays
    // whole, a part of it slides along at its length. Any other window stays where it is.
    // Float fractions place a window's edge up to a fraction of a record off.
    const kvr::Time slack = file_->GetInterval();
    kvr::Time from = windowStart, to = windowEnd;
    if (windowEnd + slack >= shownEnd_) {
        from = windowStart <= start + slack ? start : end - (windowEnd - windowStart);
        to = end;
    }
    shownEnd_ = end;
    parts_.curve->SetBrowseRange(start, end);
    parts_.curve->ZoomTo(from, to);
    UpdateStatusBar();
    emit FileEvents::Instance()->RecordsAppended(file_.get());
}

void CHCView::OpenNewRecording() {
    const std::string path = file_->GetFileName();
    // Opened aside first: a buffer that cannot be read yet leaves the view as it is.
    if (kvr::CXFile probe; probe.OpenReadOnly(path) != 1) return;
    if (file_->OpenReadOnly(path) != 1) return;
    shownEnd_ = file_->GetEndTime();
    parts_.curve->ApplyFileSettings();
    parts_.curve->ZoomTo(file_->GetStartTime(), file_->GetEndTime());
    if (parts_.panelShown) parts_.panel->RebuildControls();
    RebuildCircleChartMenu();
    UpdateStatusBar();
    parts_.Layout();
    emit FileEvents::Instance()->RecordsAppended(file_.get());
}
