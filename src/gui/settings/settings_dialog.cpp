#include "gui/settings/settings_dialog.h"

#include <QDialog>
#include <QString>

#include "core/settings/profile.h"
#include "gui/common/message_box.h"

void ShowSettingsMessage(QWidget* parent, Language language, const QString& message) {
    ShowStopMessage(parent, message, LanguageText(language, "提示...", "Notice"));
}

int RunSettingsDialog(QDialog& dialog, const std::function<bool()>& keep, Language language) {
    if (dialog.exec() != QDialog::Accepted) return 0;
    if (keep()) return 1;
    const QString path = QString::fromStdString(kvr::ConfigPath());
    ShowSettingsMessage(
        nullptr, language,
        LanguageText(language, "无法把设置保存到 %1！", "The settings could not be saved to %1.")
            .arg(path));
    return 0;
}
