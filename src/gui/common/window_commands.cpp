#include "gui/common/window_commands.h"

#include <algorithm>

#include "gui/common/command_ids.h"

const std::vector<WindowCommand>& WindowCommands() {
    static const std::vector<WindowCommand> table = {
        {cmd::kCumulativeReport, ChildWindow::CumulativeReport},
        {cmd::kCumulativeList, ChildWindow::Totals},
        {cmd::kExcelExport, ChildWindow::ExcelExport},
        {cmd::kFileInfo, ChildWindow::FileInfo},
        {cmd::kStatistics, ChildWindow::Statistics},
        {cmd::kConfigurationInfo, ChildWindow::ConfigReport},
        {cmd::kAlarmList, ChildWindow::AlarmList},
        {cmd::kPowerFailureList, ChildWindow::PowerFailureList},
        {cmd::kOperationLog, ChildWindow::OperationLog},
    };
    return table;
}

bool IsWindowCommandMissing(int id) {
    const auto& table = WindowCommands();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [id](const WindowCommand& c) { return c.id == id; });
    return it != table.end() && !HasChildFactory(it->kind);
}
