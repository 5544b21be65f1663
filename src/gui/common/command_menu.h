#pragma once
// Context menus built from a list of command items: each item greyed as its view says and
// running the view's command when chosen.
#include <QMenu>
#include <functional>
#include <span>

struct CommandMenuItem {
    int id;  // 0: a separator
    const char* text;
};

QMenu* BuildCommandMenu(QWidget* parent, std::span<const CommandMenuItem> items,
                        const std::function<bool(int)>& enabled,
                        const std::function<void(int)>& run);
