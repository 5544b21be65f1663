#pragma once
// Program-wide helpers: the program folder, byte order.
#include <string>
#include <vector>

namespace kvr {

// Folder of the running executable, with a trailing '/'.
std::string GetProgramFolder();
// Overrides the folder (tests, and the per-user fallback when the program folder is not
// writable). An empty text restores the executable's folder.
void SetProgramFolder(const std::string& folder);

void ReverseBytes(unsigned char* buffer, int length);

}  // namespace kvr
