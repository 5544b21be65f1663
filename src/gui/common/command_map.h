#pragma once
// CommandMap: a view's commands as a table from id to handler, enabler and check-mark test.
// A view derives from it and registers its commands; windows that join a view (dialogs,
// lists) add theirs to the same table.
#include <functional>
#include <map>

#include "gui/common/command_target.h"

struct ViewCommand {
    std::function<void()> run;
    std::function<bool()> enabled;  // empty: always enabled
    std::function<bool()> checked;  // empty: never checked
};

class CommandMap : public CommandTarget {
public:
    // Adds or replaces the handler of a command id.
    void RegisterCommand(int id, ViewCommand command);

    bool HandlesCommand(int id) const override;
    bool IsCommandEnabled(int id) const override;
    bool IsCommandChecked(int id) const override;
    // Runs the handler when the command is enabled.
    void ExecuteCommand(int id) override;

private:
    std::map<int, ViewCommand> commands_;
};
