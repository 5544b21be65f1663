#pragma once
// The value search shared by the history curves and the data list. The owning view keeps
// one FindState across searches; the find dialog edits it and asks for steps, F3 repeats.
#include <optional>

#include "core/datafile/cxfile.h"

namespace kvr {

struct FindState {
    enum StartPosition { kFileStart = 0, kFileEnd = 1, kPosition = 2 };
    enum Direction { kForward = 0, kBackward = 1 };

    float value = 0.0f;
    float tolerance = 0.05f;
    int startPosition = kFileStart;  // kPosition: the curve cursor, or the list's top row
    int direction = kForward;
    Time searchTime = 0;      // the last match; 0 = no search under way
    int channel = 0;          // 0 = every channel, n = channel n - 1
    bool searchMade = false;  // enables "find next"

    FindRequest Request(Time from) const;
};

// Who asks: the two views begin a fresh search differently.
enum class FindOrigin {
    kCurve,  // a fresh search tests its starting record too
    kList,   // a fresh search starts one record past its starting point
};

// One step asked for by the find dialog. `position` is the curve cursor time or the list's
// top row (0 when there is none, which means the file start). Returns the match, or
// nothing when the search ran off the file (the search then starts afresh next time).
std::optional<Time> FindStep(const CXFile& file, FindState& state, Time position,
                             FindOrigin origin);

// "Find next" (F3): continues one record past the last match in the search direction.
std::optional<Time> FindNext(const CXFile& file, FindState& state);

}  // namespace kvr
