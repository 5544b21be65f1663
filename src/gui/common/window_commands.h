#pragma once
// The commands that open a window another part of the program makes for the active view's
// file. A command is offered only where the program has registered a factory for its
// window kind; otherwise menus, toolbars and context menus leave it out.
#include <vector>

#include "gui/common/view_host.h"

struct WindowCommand {
    int id;
    ChildWindow kind;
};

const std::vector<WindowCommand>& WindowCommands();
// True for a command of the table whose window the program cannot make; false otherwise.
bool IsWindowCommandMissing(int id);
