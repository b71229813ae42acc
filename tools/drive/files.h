// Whole files read and written at once, and UTF-8 text: what a driver reads from the programs
// it starts and writes for people to look at.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace drive {

// The file's bytes; none when it cannot be opened. Another program may be writing it.
std::optional<std::string> readFile(const std::wstring& path);
// Replaces the file with these bytes; false when it could not be written completely.
bool writeFile(const std::wstring& path, std::string_view bytes);

std::string narrow(std::wstring_view text);  // to UTF-8
std::wstring widen(std::string_view text);   // from UTF-8

}  // namespace drive
