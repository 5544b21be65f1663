#include "gui/common/window_commands.h"

#include <algorithm>

#include "gui/common/command_ids.h"

const std::vector<WindowCommand>& WindowCommands() {
    static const std::vector<WindowCommand> table = {
        {cmd::kCumulativeReport, ChildWindow::kCumulativeReport},
        {cmd::kCumulativeList, ChildWindow::kTotals},
        {cmd::kExcelExport, ChildWindow::kExcelExport},
        {cmd::kFileInfo, ChildWindow::kFileInfo},
        {cmd::kStatistics, ChildWindow::kStatistics},
        {cmd::kConfigurationInfo, ChildWindow::kConfigReport},
        {cmd::kAlarmList, ChildWindow::kAlarmList},
        {cmd::kPowerFailureList, ChildWindow::kPowerFailureList},
        {cmd::kOperationLog, ChildWindow::kOperationLog},
    };
    return table;
}

bool IsWindowCommandMissing(int id) {
    const auto& table = WindowCommands();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [id](const WindowCommand& c) { return c.id == id; });
    return it != table.end() && !HasChildFactory(it->kind);
}
