#pragma once
// The item picker buttons' logic: the main and arrow parts of each style,
// the hit parts and hover bits, and the face colours of each state.
#include <cstdint>

#include "core/rect.h"
#include "ui/ui_sys_colors.h"

namespace pg {

// 0 plain button, 1 drop-down (the whole button opens the list), 2 split.
enum : uint8_t { kPickerPlain = 0, kPickerDropDown = 1, kPickerSplit = 2 };
// Hover bits.
enum : uint8_t { kHoverMain = 4, kHoverArrow = 8 };

struct SPickerLayout {
  TRect main;
  TRect arrow;  // empty for the plain style
};
SPickerLayout pickerLayout(uint8_t style, int32_t width, int32_t height, bool insetFrame);
// 2 main part, 3 arrow part, 1 elsewhere in the client area, 0 outside.
uint8_t pickerHitPart(const SPickerLayout& l, int32_t width, int32_t height, int32_t x, int32_t y);
uint8_t pickerHoverBits(uint8_t style, uint8_t part);

struct SPickerColors {
  TUiColor frame, text, mainFace, arrow, arrowFace;
};
SPickerColors pickerColors(const TUiSysColors& c, bool downOrDropped, bool enabled, uint8_t hover, bool rounded);

}  // namespace pg
