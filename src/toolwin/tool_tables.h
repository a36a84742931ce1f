#pragma once
// The tool window's two tables: the sixteen tool buttons and the thirty-eight
// tool modes they group. Each button groups the variants of one tool; a mode
// belongs to exactly one button, has its place in the button's variant cycle
// and, for every variant but the button's first, a bit in the stored variant
// mask (the preference ToolSubMode), so that the remembered variants survive
// a restart.
#include <array>
#include <cstdint>
#include <string_view>

#include "canvas/tool_numbering.h"

namespace pg {

inline constexpr int kToolButtonCount = 16;

// The tool buttons that stay usable while the panels show a replay.
inline constexpr int kHandButton = 14;
inline constexpr int kZoomButton = 15;

struct SToolButtonDef {
  int16_t left, top, right, bottom;  // bounds in the tool window's client area
  uint32_t hintId;                   // resource text of the hint
  std::string_view menu;             // name of the variant menu; empty when the button has none
  std::string_view keys;             // shortcut letters
  ToolMode defaultMode;
};

struct SToolModeDef {
  uint8_t button;
  std::string_view menuItem;  // empty for the modes of buttons without variants; the
                              // item's caption is the mode's name (modeDisplayName)
  bool opacityApplies;        // the tool opacity edit is enabled
  ToolMode next;              // next mode of the button's variant cycle
  uint32_t maskBit;           // bit in ToolSubMode; 0 for the button's first variant
};

const SToolButtonDef& toolButtonDef(int button);  // button taken modulo 16
// The mode's row; nullptr for a mode past 37.
const SToolModeDef* toolModeDef(ToolMode mode);

// The button of a mode; -1 for a mode past 37.
[[nodiscard]] int buttonOfMode(ToolMode mode);
// The next mode of the mode's variant cycle; None for a mode past 37.
ToolMode nextModeOf(ToolMode mode);
// The glyph a button shows while the mode is its mode; kNoGlyph past mode 37.
[[nodiscard]] uint8_t glyphOfMode(ToolMode mode);
// The mode of a variant-menu item by its name; false for names not in the table.
[[nodiscard]] bool modeOfMenuItem(std::string_view itemName, ToolMode& mode);
// The modes of a button in the order of its variant menu.
[[nodiscard]] int modesOfButton(int button, std::array<ToolMode, 5>& modes);
// The button whose shortcut letters hold the virtual key of a letter; -1 when none.
[[nodiscard]] int buttonOfShortcutKey(int32_t vk);

// The remembered mode of each button, packed into the stored variant mask and
// back. Unpacking sets every button that has a bit in the mask to the variant
// of its lowest set bit and leaves the others as they are; a bit that names no
// variant is ignored.
[[nodiscard]] uint32_t packToolSubMode(const std::array<ToolMode, kToolButtonCount>& remembered);
void unpackToolSubMode(uint32_t mask, std::array<ToolMode, kToolButtonCount>& remembered);

}  // namespace pg
