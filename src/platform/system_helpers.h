#pragma once
// Small helpers used all over the program: arrow-key steps, guarded
// allocation, and the path and text helpers of the preset readers.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pg {

// Virtual-key numbers of the arrow keys.
enum : int32_t { kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40 };

// Left, up, right and down give (-1, 0), (0, -1), (1, 0) and (0, 1) and true;
// the step is written only where a variable is given. Other keys answer false
// and write nothing.
[[nodiscard]] bool arrowKeyDelta(int32_t key, int32_t* dx, int32_t* dy);


// A zero-filled block of size bytes; false, with p empty, when it cannot be had.
[[nodiscard]] bool tryGetMem(std::unique_ptr<uint8_t[]>& p, size_t size);

// The file name without folder and extension; both '/' and '\' end a folder,
// since paths from files of earlier versions use backslashes.
std::string fileTitle(std::string_view path);
// The folder with one trailing separator added when it has none, then the
// name. An empty folder gives the name alone (not a name at the file-system
// root).
std::string joinPath(std::string_view dir, std::string_view name);

// Steps over leading spaces (character 32 only) and answers how many.
size_t skipBlanks(std::string_view& text);
[[nodiscard]] inline bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }
// value := 0 and used := the blanks skipped; false when no digit follows.
// Otherwise reads the decimal digits (a value past the 32-bit range stays at
// its largest value), used counts every character taken, and answers true.
[[nodiscard]] bool parseUInt(std::string_view text, uint32_t& value, size_t& used);
// The number of characters before the first ch or the end (or a zero byte).
size_t charIndex(std::string_view s, char ch);

}  // namespace pg
