#pragma once
// Config.ini in the program folder, where the user's settings are kept: minimal
// private-profile access (sections and key=value lines) and the numbers kept there.
#include <cstdint>
#include <string>
#include <vector>

namespace kvr {

// Path of Config.ini in the program folder.
std::string ConfigPath();

// Writes replace the file atomically. iniPath defaults to ConfigPath().
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& fallback, const std::string& iniPath = {});
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& iniPath = {});

// Every line of an INI file that says something, in order, for callers that check a whole
// file: a section header (key empty), a key=value line, or a line that is neither (key holds
// the text, isValue false). Blank lines and comments (';' or '#') are left out.
struct ProfileLine {
    int number = 0;  // 1-based
    std::string section;
    std::string key;
    std::string value;
    bool isValue = false;
};
std::vector<ProfileLine> ReadProfileLines(const std::string& iniPath);

// A missing, malformed or out-of-range value reads as the fallback, so a hand-edited file
// never yields an unusable setting.
std::int64_t ReadProfileNumber(const char* section, const char* key, std::int64_t fallback,
                               std::int64_t low, std::int64_t high);
float ReadProfileFloat(const char* section, const char* key, float fallback);
bool WriteProfileNumber(const char* section, const char* key, std::int64_t value);
bool WriteProfileFloat(const char* section, const char* key, float value);

}  // namespace kvr
