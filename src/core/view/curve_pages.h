#pragma once
// The display-state commands of the curve views: show or hide every curve, and step
// through the channels four at a time. They change the show states in memory only; the
// caller writes the header. A channel in state 2 (not in use) is never shown or hidden.
#include "core/datafile/cxfile.h"

namespace kvr {

void SetAllCurvesShown(FileHeader& header, bool shown);

// Shows channels page..page+3 and hides the others; returns the next page index (0 once
// it reaches the channel count).
int ShowNextFourCurves(FileHeader& header, int page);

// Shows channels max(page-3, 0)..page and hides the others; returns the previous page
// index (channel count - 1 once it falls below 0).
int ShowPreviousFourCurves(FileHeader& header, int page);

}  // namespace kvr
