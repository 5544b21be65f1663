#include "tools/kvrtool/output_target.h"

#include <sys/stat.h>

#include "core/analysis/table_workbook.h"
#include "core/sys/sys_io.h"
#include "tools/kvrtool/commands.h"
#include "tools/kvrtool/data_file_args.h"

namespace kvrtool {

void AddForceFlag(CLI::App* command, bool& force, const std::string& target) {
    command->add_flag("--force", force, "replace an existing " + target);
}

bool MayWrite(const std::string& target, bool force, const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
        if (kvr::sysio::IsSameFile(target, input)) {
            Fail(kUsageOrIo, target + " is the input " + input +
                                 "; it is never written over, not even with --force.");
            return false;
        }
    }
    if (kvr::sysio::IsDirectory(target)) {
        Fail(kUsageOrIo, target + ": " + kvr::kTargetIsFolder);
        return false;
    }
    struct stat info {};
    if (!force && ::lstat(target.c_str(), &info) == 0) {
        Fail(kUsageOrIo, target + " exists; --force replaces it.");
        return false;
    }
    return true;
}

}  // namespace kvrtool
