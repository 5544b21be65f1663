#include "core/settings/last_dir.h"

#include <sys/stat.h>

#include "core/datafile/program.h"
#include "core/settings/profile.h"

namespace kvr {

std::string ReadLastDir() {
    const std::string dataFolder = GetProgramFolder() + "Data";
    ::mkdir(dataFolder.c_str(), 0755);  // failure is fine: it may exist or be read-only
    return ReadProfileString("FileSetting", "LastDir", dataFolder);
}

bool WriteLastDir(const std::string& path) {
    return WriteProfileString("FileSetting", "LastDir", path);
}

}  // namespace kvr
