#pragma once
// The command table of a view: per command id its handler, when it is enabled and when it
// carries a check mark. Views that route menu commands keep one and answer the frame's
// questions from it, so that windows built elsewhere can add their commands.
#include <functional>
#include <map>

class CommandRegistry {
public:
    struct Command {
        std::function<void()> run;
        std::function<bool()> enabled;  // empty: always enabled
        std::function<bool()> checked;  // empty: never checked
    };

    // Adds or replaces the handler of a command id.
    void Register(int id, Command command) { commands_[id] = std::move(command); }
    bool Handles(int id) const { return commands_.count(id) != 0; }
    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;
    // Runs an enabled command; a handler may register commands while it runs.
    void Execute(int id) const;

private:
    std::map<int, Command> commands_;
};
