#pragma once
// Registers the windows of the cumulative report, the totals list and the statistics with
// the view host, so the history view and the data list open them by kind.
void RegisterReportWindows();
