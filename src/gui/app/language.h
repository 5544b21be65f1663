#pragma once
// The English-language flag: 0 Chinese, 1 English. It picks the help file and the language
// of the settings dialogs and of the export library; the window texts stay Chinese.
int EnglishFlag();
void SetEnglishFlag(int english);

// LanguageSetting/Language in Config.ini ("0" or "1"; anything else reads as Chinese).
int ReadLanguageSetting();
bool WriteLanguageSetting(int english);
