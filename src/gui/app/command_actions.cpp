#include "gui/app/command_actions.h"

#include <QWidget>

#include "gui/app/command_table.h"
#include "gui/app/icons.h"
#include "gui/common/command_target.h"

CommandActions::CommandActions(QWidget* owner) : QObject(owner), owner_(owner) {}

QAction* CommandActions::Action(int id) {
    const auto found = actions_.find(id);
    if (found != actions_.end()) return found->second;
    auto* action = new QAction(CommandText(id), this);
    action->setData(id);
    action->setStatusTip(CommandPrompt(id));
    action->setToolTip(CommandToolTip(id));
    const QIcon icon = CommandIcon(id);
    if (!icon.isNull()) {
        action->setIcon(icon);
        action->setIconVisibleInMenu(false);
    }
    action->setEnabled(false);
    connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    owner_->addAction(action);
    actions_.emplace(id, action);
    return action;
}

void CommandActions::SetFrameHandler(int id, std::function<void()> run,
                                     std::function<bool()> enabled, std::function<bool()> checked) {
    frameHandlers_[id] = {std::move(run), std::move(enabled), std::move(checked)};
    QAction* action = Action(id);
    action->setCheckable(static_cast<bool>(frameHandlers_[id].checked));
    action->setEnabled(true);
}

void CommandActions::SetActiveTarget(std::function<CommandTarget*()> activeTarget) {
    activeTarget_ = std::move(activeTarget);
}

void CommandActions::UpdateStates() {
    CommandTarget* target = activeTarget_ ? activeTarget_() : nullptr;
    for (const auto& [id, action] : actions_) {
        bool enabled = false;
        bool checked = false;
        const auto handler = frameHandlers_.find(id);
        if (handler != frameHandlers_.end()) {
            enabled = !handler->second.enabled || handler->second.enabled();
            checked = handler->second.checked && handler->second.checked();
        } else if (target && target->HandlesCommand(id)) {
            enabled = target->IsCommandEnabled(id);
            checked = target->IsCommandChecked(id);
        }
        action->setEnabled(enabled);
        // Only views answer with check marks they own; a plain item shows none.
        action->setCheckable(checked || action->isCheckable());
        action->setChecked(checked);
    }
}

void CommandActions::Execute(int id) {
    // The state may have changed since the last update (a shortcut does not show a menu),
    // so it is asked again right before running.
    const auto handler = frameHandlers_.find(id);
    if (handler != frameHandlers_.end()) {
        if (!handler->second.enabled || handler->second.enabled()) handler->second.run();
    } else if (CommandTarget* target = activeTarget_ ? activeTarget_() : nullptr) {
        if (target->HandlesCommand(id) && target->IsCommandEnabled(id)) target->ExecuteCommand(id);
    }
    UpdateStates();
}
