// File and folder helpers shared by the commands.
#pragma once

#include <string>
#include <string_view>

namespace kes {

// Creates a folder with every missing parent; true when it exists afterwards.
bool MakeFolderTree(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Writes text to a file, appending a line (append) or replacing the content.
// Retries up to 129 times, 50 ms apart, while the file cannot be opened.
// Returns 0 or 75.
int WriteTextLine(const std::string& path, std::string_view text, bool append);

}  // namespace kes
