#pragma once
// Resource strings by id. The built-in table (data/strings.ja.txt, compiled in)
// holds the Japanese texts; a language module may replace texts by id.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pg {

// The text of a resource string in UTF-8; empty when the id is unknown.
std::string resString(uint32_t id);

// True when the id has a text.
[[nodiscard]] bool hasResString(uint32_t id);

// Parses a table in the data-file format (<id><TAB><text> lines with \n, \r, \t
// and \\ escapes) and lets its texts take the place of the built-in ones.
// Answers the number of entries taken; malformed lines are skipped.
int overrideResStrings(std::string_view tableText);

// The language module of a program: its folder and file name with the
// extension replaced by ".enu" (appended when the name has none).
std::string resourceModulePath(std::string_view programPath);

enum class ResourceModuleResult { Ok, Missing, Damaged };

// A language module file: the header line below, then lines in the data-file
// format (comments and blank lines allowed). Stricter than the built-in table,
// since the file comes from outside: every text line is <id><TAB><text> with a
// decimal id the built-in table knows, given once, a non-empty text of valid
// UTF-8 without raw control characters, only the four escapes, and the same
// placeholders in the same order as the built-in text (formatConversions).
inline constexpr std::string_view kResourceModuleHeader = "#PGSTR 1";
// A larger file is taken as damaged (the English module is some 30 KB).
inline constexpr size_t kMaxResourceModuleBytes = size_t{1} << 20;

// What a check of a module's text found.
struct ResourceModuleCheck {
  ResourceModuleResult result = ResourceModuleResult::Damaged;  // Ok or Damaged
  std::string problem;               // the first fault, with its line, when damaged
  std::vector<uint32_t> missingIds;  // built-in ids the module has no text for
};

// Checks the text of a language module against the built-in table.
[[nodiscard]] ResourceModuleCheck checkResourceModule(std::string_view fileText);

// Loads a language module file and, when it is sound, lets its texts replace
// the built-in ones (ids it leaves out keep the built-in text) and any module
// installed before. Missing: the file cannot be read. Damaged: the check
// fails or the file is larger than kMaxResourceModuleBytes. Either way the
// texts stay as they were.
[[nodiscard]] ResourceModuleResult installResourceModule(const std::string& path);

// Drops every override (tests).
void resetResStrings();

}  // namespace pg
