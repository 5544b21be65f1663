#pragma once
// The first half of the realtime acquisition: identify the instrument, read its whole
// configuration record, and create the temporary live file "temp.tmp" with its header.
#include <atomic>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/link/cxlink.h"
#include "core/link/link_progress.h"
#include "core/settings/com_param.h"
#include "core/settings/view_def.h"

namespace kvr {

enum RealtimeConfigResult { kRealtimeCancelled = -1, kRealtimeFailed = 0, kRealtimeReady = 1 };

// Connects the link (unless connected) from param. On success the link stays connected for
// the acquisition and the file is the temporary file with its header written. On failure
// *message says why (the link is disconnected); on cancel the temporary file is gone and
// the link disconnected, with no message.
RealtimeConfigResult ReadRealtimeConfig(CXLink& link, const ComParam& param, const ViewDef& view,
                                        CXFile& file, LinkProgress* progress,
                                        const std::atomic<bool>& cancel, std::string* message);

// The same on a link that is already connected and addressed to the instrument, as on a bus
// that several instruments share: the link stays connected whatever happens. With
// realtimeOnly an instrument that identifies as another family is refused before anything
// else is read (the message names what it answered).
RealtimeConfigResult ReadRealtimeConfigOnLink(CXLink& link, const ViewDef& view, CXFile& file,
                                              LinkProgress* progress,
                                              const std::atomic<bool>& cancel, std::string* message,
                                              bool realtimeOnly = false);

// Version, configuration size and magic for an identification; version 0 for an
// identification outside the realtime family (the file keeps its defaults then).
struct FirmwareFormat {
    int version = 0;
    int configSize = 0;
    const char* magic = "";
};
FirmwareFormat FormatForIdentification(const char* identification);
// The file's identification: the instrument's answer (up to ten characters) and, for the
// realtime family, the format magic at its fixed place. Returns the format chosen.
FirmwareFormat SetFileIdentification(FileHeader& header, const char* identification);

}  // namespace kvr
