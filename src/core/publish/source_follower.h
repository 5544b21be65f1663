#pragma once
// Which data files under the followed paths hold which instrument's records. A path is a
// history file, a live buffer, a folder of them or a collector's data folder (one
// subfolder per instrument); folders are looked at again on every scan, so new files and
// new instruments are found as they appear. Hidden files (unfinished writes) are skipped.
//
// The instrument of a file is the collector's name for it when the file lies in a folder
// NAME as NAME.tmp or NAME-....FDZ; otherwise its header's device name and address.
#include <map>
#include <string>
#include <vector>

namespace kvr {

class SourceFollower {
public:
    explicit SourceFollower(std::vector<std::string> paths);

    // Instrument -> its data files now (paths sorted). Files that do not open as data files
    // are left out until they do.
    std::map<std::string, std::vector<std::string>> Scan();

private:
    void AddFile(const std::string& path, std::map<std::string, std::vector<std::string>>& found);
    void AddFolder(const std::string& folder, int depth,
                   std::map<std::string, std::vector<std::string>>& found);

    std::vector<std::string> paths_;
    std::map<std::string, std::string> instrumentOf_;  // files already identified
};

// A name usable as one topic level: '/', '+', '#', spaces and control characters become '_'.
std::string TopicLevel(const std::string& name);
// True for the names of data files: .FDZ and live buffers (.tmp), in either case.
bool IsDataFileName(const std::string& name);

}  // namespace kvr
