#include "gui/common/command_menu.h"

QMenu* BuildCommandMenu(QWidget* parent, std::span<const CommandMenuItem> items,
                        const std::function<bool(int)>& enabled,
                        const std::function<void(int)>& run) {
    auto* menu = new QMenu(parent);
    for (const CommandMenuItem& item : items) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        const int id = item.id;
        action->setData(id);
        action->setEnabled(enabled(id));
        QObject::connect(action, &QAction::triggered, menu, [run, id] { run(id); });
    }
    return menu;
}
