#pragma once
// Numbers kept in Config.ini by the settings dialogs. A missing, malformed or out-of-range
// value reads as the fallback, so a hand-edited file never yields an unusable setting.
#include <cstdint>
#include <string>

std::int64_t ReadProfileNumber(const char* section, const char* key, std::int64_t fallback,
                               std::int64_t low, std::int64_t high);
float ReadProfileFloat(const char* section, const char* key, float fallback);
bool WriteProfileNumber(const char* section, const char* key, std::int64_t value);
bool WriteProfileFloat(const char* section, const char* key, float value);

// Tells the user that Config.ini could not be written (in English when asked).
void ShowProfileSaveFailure(int english);
