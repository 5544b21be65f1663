#pragma once
// The last-used file or folder, kept in Config.ini: where open and save dialogs start.
#include <string>

namespace kvr {

// Makes sure "Data" exists in the program folder, then returns FileSetting/LastDir from
// Config.ini, or the program folder followed by "Data".
std::string ReadLastDir();
bool WriteLastDir(const std::string& path);

}  // namespace kvr
