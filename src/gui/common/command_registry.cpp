#include "gui/common/command_registry.h"

bool CommandRegistry::IsEnabled(int id) const {
    const auto it = commands_.find(id);
    if (it == commands_.end()) return false;
    return !it->second.enabled || it->second.enabled();
}

bool CommandRegistry::IsChecked(int id) const {
    const auto it = commands_.find(id);
    return it != commands_.end() && it->second.checked && it->second.checked();
}

void CommandRegistry::Execute(int id) const {
    const auto it = commands_.find(id);
    if (it == commands_.end() || !IsEnabled(id)) return;
    // A copy: the handler may replace its own entry.
    const std::function<void()> run = it->second.run;
    if (run) run();
}
