#pragma once
// Resource strings by id. The built-in table (data/strings.ja.txt, compiled in)
// holds the Japanese texts; a language module may replace texts by id.
#include <cstdint>
#include <string>
#include <string_view>

namespace pg {

// The text of a resource string in UTF-8; empty when the id is unknown.
std::string resString(uint32_t id);

// True when the id has a text.
bool hasResString(uint32_t id);

// Parses a table in the data-file format (<id><TAB><text> lines with \n, \r, \t
// and \\ escapes) and lets its texts take the place of the built-in ones.
// Answers the number of entries taken; malformed lines are skipped.
int overrideResStrings(std::string_view tableText);

// The language module of a program: its folder and file name with the
// extension replaced by ".enu" (appended when the name has none).
std::string resourceModulePath(std::string_view programPath);

enum class ResourceModuleResult { Ok, Missing, Damaged };

// Loads a language module file and lets its texts replace the built-in ones.
// A module that cannot be read or holds no valid text changes nothing.
[[nodiscard]] ResourceModuleResult installResourceModule(const std::string& path);

// Drops every override (tests).
void resetResStrings();

}  // namespace pg
