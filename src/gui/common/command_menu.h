#pragma once
// Context menus built from a list of command items: each item greyed as its view says and
// running the view's command when chosen.
#include <QMenu>
#include <algorithm>
#include <array>
#include <functional>
#include <span>

struct CommandMenuItem {
    int id;  // 0: a separator
    const char* text;
};

// One menu table made of several, so that views sharing a run of items write it once.
template <std::size_t... N>
constexpr auto JoinCommandMenus(const std::array<CommandMenuItem, N>&... parts) {
    std::array<CommandMenuItem, (N + ...)> joined{};
    auto at = joined.begin();
    ((at = std::copy(parts.begin(), parts.end(), at)), ...);
    return joined;
}

// Items for which shown (when given) says false are left out, and so are the separators
// they would leave at either end or doubled.
QMenu* BuildCommandMenu(QWidget* parent, std::span<const CommandMenuItem> items,
                        const std::function<bool(int)>& enabled,
                        const std::function<void(int)>& run,
                        const std::function<bool(int)>& shown = {});
