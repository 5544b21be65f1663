#pragma once
// One QAction per command id, shared by the menus, the toolbars and the accelerators.
// Commands the frame registers run their own handler; every other command goes to the
// active view, and is disabled while that view does not handle it.
#include <QAction>
#include <QObject>
#include <functional>
#include <map>

class CommandTarget;

class CommandActions : public QObject {
    Q_OBJECT
public:
    // Actions are added to owner so that their shortcuts work anywhere in its window.
    explicit CommandActions(QWidget* owner);

    // The action of a command, made on first use with its text, prompt, tooltip and icon.
    QAction* Action(int id);
    bool Has(int id) const { return actions_.count(id) != 0; }

    // A command of the frame itself: run, and optionally its enabled and checked state.
    void SetFrameHandler(int id, std::function<void()> run, std::function<bool()> enabled = {},
                         std::function<bool()> checked = {});
    void SetActiveTarget(std::function<CommandTarget*()> activeTarget);

    // The update handlers: enable and check every action from its owner's state.
    void UpdateStates();
    void Execute(int id);

private:
    struct FrameHandler {
        std::function<void()> run;
        std::function<bool()> enabled;
        std::function<bool()> checked;
    };

    QWidget* owner_;
    std::map<int, QAction*> actions_;
    std::map<int, FrameHandler> frameHandlers_;
    std::function<CommandTarget*()> activeTarget_;
};
