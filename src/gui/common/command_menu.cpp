#include "gui/common/command_menu.h"

QMenu* BuildCommandMenu(QWidget* parent, std::span<const CommandMenuItem> items,
                        const std::function<bool(int)>& enabled,
                        const std::function<void(int)>& run,
                        const std::function<bool(int)>& shown) {
    auto* menu = new QMenu(parent);
    bool separatorDue = false;
    for (const CommandMenuItem& item : items) {
        if (item.id == 0) {
            separatorDue = !menu->isEmpty();
            continue;
        }
        if (shown && !shown(item.id)) continue;
        if (separatorDue) menu->addSeparator();
        separatorDue = false;
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        const int id = item.id;
        action->setData(id);
        action->setEnabled(enabled(id));
        QObject::connect(action, &QAction::triggered, menu, [run, id] { run(id); });
    }
    return menu;
}
