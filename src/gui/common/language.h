#pragma once
// The program's language. It picks the help file, the language of the settings dialogs and
// of the export library, and the texts of Qt's own dialogs; the window texts stay Chinese.
#include <QString>

#include "core/settings/language.h"

using Language = kvr::Language;

// The text of a settings dialog in the language (both given as UTF-8).
QString LanguageText(Language language, const char* chinese, const char* english);

Language ProgramLanguage();
void SetProgramLanguage(Language language);

// LanguageSetting/Language in Config.ini ("0" Chinese, "1" English; anything else reads
// as Chinese).
Language ReadLanguageSetting();
bool WriteLanguageSetting(Language language);

// Qt's own texts (message-box buttons, file, colour and print dialogs, calendars) in the
// language: Chinese loads Qt's Chinese translations and makes dates and numbers Chinese.
// False when the translations are not installed; Qt then stays English.
bool InstallQtTranslations(Language language);
