#pragma once
// The publish cursor of one instrument: the time of the last record up to which the broker
// acknowledged every record. It is only ever written after those acknowledgements, so
// after a crash the backlog is sent again from it (at least once, never lost).
//
// The file is one line, "kvr-publish-cursor 1 TS CHECK", CHECK a checksum of the rest, and
// it is replaced whole: written beside, flushed to disk, renamed, the folder flushed.
#include <optional>
#include <string>

#include "core/datafile/time.h"

namespace kvr {

struct CursorReadResult {
    std::optional<Time> cursor;  // empty: no cursor file yet (everything is backlog)
    std::string error;           // a damaged or unreadable cursor: never guessed over
};

CursorReadResult ReadPublishCursor(const std::string& path);
// Empty on success, otherwise the user's message (with the path).
std::string WritePublishCursor(const std::string& path, Time cursor);

}  // namespace kvr
