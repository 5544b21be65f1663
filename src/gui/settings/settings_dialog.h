#pragma once
// What the settings dialogs share: their stop message and running one to keep its settings.
#include <functional>

#include "gui/common/language.h"

class QDialog;
class QString;
class QWidget;

// A stop message of a settings dialog, with its caption, in the language.
void ShowSettingsMessage(QWidget* parent, Language language, const QString& message);
// Runs a settings dialog; on OK keeps its settings with keep(), telling the user when
// Config.ini could not be written. 1 when new settings were kept.
int RunSettingsDialog(QDialog& dialog, const std::function<bool()>& keep, Language language);
