#pragma once
// Numbers kept in Config.ini by the settings dialogs. A missing, malformed or out-of-range
// value reads as the fallback, so a hand-edited file never yields an unusable setting.
#include <cstdint>
#include <functional>
#include <string>

#include "gui/common/language.h"

std::int64_t ReadProfileNumber(const char* section, const char* key, std::int64_t fallback,
                               std::int64_t low, std::int64_t high);
float ReadProfileFloat(const char* section, const char* key, float fallback);
bool WriteProfileNumber(const char* section, const char* key, std::int64_t value);
bool WriteProfileFloat(const char* section, const char* key, float value);

class QDialog;
class QString;
class QWidget;

// A stop message of a settings dialog, with its caption, in the language.
void ShowSettingsMessage(QWidget* parent, Language language, const QString& message);
// Runs a settings dialog; on OK keeps its settings with keep(), telling the user when
// Config.ini could not be written. 1 when new settings were kept.
int RunSettingsDialog(QDialog& dialog, const std::function<bool()>& keep, Language language);
