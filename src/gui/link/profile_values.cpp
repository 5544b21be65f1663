#include "gui/link/profile_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include <QDialog>
#include <QString>

#include "core/datafile/program.h"
#include "gui/common/message_box.h"

std::int64_t ReadProfileNumber(const char* section, const char* key, std::int64_t fallback,
                               std::int64_t low, std::int64_t high) {
    const std::string text = kvr::ReadProfileString(section, key, "");
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return fallback;
    return value >= low && value <= high ? value : fallback;
}

float ReadProfileFloat(const char* section, const char* key, float fallback) {
    const std::string text = kvr::ReadProfileString(section, key, "");
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return fallback;
    return value;
}

bool WriteProfileNumber(const char* section, const char* key, std::int64_t value) {
    return kvr::WriteProfileString(section, key, std::to_string(value));
}

bool WriteProfileFloat(const char* section, const char* key, float value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    if (error != std::errc()) return false;
    return kvr::WriteProfileString(section, key, std::string(text, end));
}

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
