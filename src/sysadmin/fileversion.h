// The version information of a file: the VERSION command and the about box
// (for the interpreter's own file) read it here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kes {

struct VersionValue {
  std::string name;  // "CompanyName", ..., "LANGUAGE", "FILE", ..., "SIZE", "WRITE"
  std::string value;
};

// The items of a file's version resource in the order VERSION sets them:
// LANGUAGE (name, sep, translation), the string items, FILE, PRODUCT,
// FLAGS, TYPE; with all items asked for (item empty) also SIZE, CREATION,
// ACCESS and WRITE. With an item (upper case) only that one is looked up.
// Answers 0, 53 when the file cannot be opened, or 1 when its version
// resource cannot be read (the size and times are there all the same).
int ReadFileVersion(const std::string& file, std::string_view item, std::string_view sep,
                    std::vector<VersionValue>& values);

// The value of one item in what ReadFileVersion gave; empty when absent.
std::string VersionItem(const std::vector<VersionValue>& values, std::string_view name);

}  // namespace kes
