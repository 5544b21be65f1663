#include "gui/common/command_map.h"

void CommandMap::RegisterCommand(int id, ViewCommand command) {
    commands_[id] = std::move(command);
}

bool CommandMap::HandlesCommand(int id) const { return commands_.count(id) != 0; }

bool CommandMap::IsCommandEnabled(int id) const {
    const auto it = commands_.find(id);
    if (it == commands_.end()) return false;
    return !it->second.enabled || it->second.enabled();
}

bool CommandMap::IsCommandChecked(int id) const {
    const auto it = commands_.find(id);
    return it != commands_.end() && it->second.checked && it->second.checked();
}

void CommandMap::ExecuteCommand(int id) {
    const auto it = commands_.find(id);
    if (it == commands_.end() || !IsCommandEnabled(id)) return;
    // A copy: a handler may register commands while it runs.
    const std::function<void()> run = it->second.run;
    if (run) run();
}
