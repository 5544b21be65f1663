#pragma once
// Program-wide helpers: the program folder, Config.ini, byte order.
#include <string>
#include <vector>

namespace kvr {

// Folder of the running executable, with a trailing '/'.
std::string GetProgramFolder();
// Overrides the folder (tests, and the per-user fallback when the program folder is not
// writable). An empty text restores the executable's folder.
void SetProgramFolder(const std::string& folder);

// Path of Config.ini in the program folder.
std::string ConfigPath();

// Makes sure "Data" exists in the program folder, then returns FileSetting/LastDir from
// Config.ini, or the program folder followed by "Data".
std::string ReadLastDir();
bool WriteLastDir(const std::string& path);

// Minimal private-profile access to Config.ini (sections and key=value lines). Writes
// replace the file atomically.
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

void ReverseBytes(unsigned char* buffer, int length);

}  // namespace kvr
