#include "core/view/find_search.h"

#include <algorithm>

namespace kvr {

namespace {

Time OneRecordOn(const CXFile& file, const FindState& state, Time t) {
    const Time interval = std::max(file.GetInterval(), 1);
    return state.direction == FindState::kBackward ? t - interval : t + interval;
}

Time SearchOrigin(const CXFile& file, const FindState& state, Time position) {
    switch (state.startPosition) {
        case FindState::kFileEnd: return file.GetEndTime();
        case FindState::kPosition: return position != 0 ? position : file.GetStartTime();
        default: return file.GetStartTime();
    }
}

std::optional<Time> Search(const CXFile& file, FindState& state, Time from) {
    FindRequest request = state.Request(from);
    file.FindValue(&request);
    state.searchTime = request.time;
    if (request.time == 0) return std::nullopt;
    return request.time;
}

}  // namespace

FindRequest FindState::Request(Time from) const {
    FindRequest request;
    request.target = value;
    request.tolerance = tolerance;
    request.direction = direction == kBackward ? 1 : 0;
    request.time = from;
    request.channel = channel;
    return request;
}

std::optional<Time> FindStep(const CXFile& file, FindState& state, Time position,
                             FindOrigin origin) {
    Time from;
    if (state.searchTime != 0) {
        from = OneRecordOn(file, state, state.searchTime);
    } else {
        from = SearchOrigin(file, state, position);
        if (origin == FindOrigin::kList) from = OneRecordOn(file, state, from);
    }
    state.searchMade = true;
    return Search(file, state, from);
}

std::optional<Time> FindNext(const CXFile& file, FindState& state) {
    // searchTime holds the last match itself, so the next match is looked for one record
    // on; after a miss (0) there is nothing to continue from.
    if (state.searchTime == 0) return std::nullopt;
    return Search(file, state, OneRecordOn(file, state, state.searchTime));
}

}  // namespace kvr
