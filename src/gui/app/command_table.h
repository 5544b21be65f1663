#pragma once
// The main menu, accelerators, toolbars and command texts as data: the frame builds its
// widgets from these tables, and tests read the built widgets back against them.
#include <QKeySequence>
#include <QString>
#include <vector>

// One line of a menu: a command (id > 0), a separator (id 0 and no children) or a submenu
// (children not empty).
struct MenuNode {
    int id = 0;
    QString text;
    std::vector<MenuNode> children;
};

struct Accelerator {
    QKeySequence keys;
    int id;
};

// Popups of the menu bar, left to right.
const std::vector<MenuNode>& MainMenu();
const std::vector<Accelerator>& Accelerators();
// Toolbar buttons in order; 0 marks a separator.
const std::vector<int>& MainToolbarButtons();
const std::vector<int>& RealtimeToolbarButtons();

// Resource id of the realtime window's toolbar, and "no toolbar".
inline constexpr int kRealtimeToolbarId = 132;
inline constexpr int kNoToolbar = -1;

// The text an action carries (the menu text with its accelerator hint, or the toolbar
// name for commands that have no menu item), its status-bar prompt and its tooltip.
QString CommandText(int id);
QString CommandPrompt(int id);
QString CommandToolTip(int id);
