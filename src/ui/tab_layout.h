#pragma once
// The layout of a row of overlapping tabs and the path label's caption.
#include <cstdint>
#include <string>
#include <vector>

namespace pg {

// Left positions of the tabs of those widths in a control that wide: from
// x = 4, overlapping by 9; a row wider than width - 38 is squeezed when it
// has two tabs or more.
std::vector<int32_t> tabLefts(const std::vector<int32_t>& widths, int32_t controlWidth);
// The drawing order: the tabs left of the active one from the left, those
// right of it from the right, the active one last.
std::vector<int32_t> tabDrawOrder(int32_t count, int32_t active);

// The path label's caption: the path, with "*" when modified.
std::string pathCaption(const std::string& path, bool modified);

}  // namespace pg
