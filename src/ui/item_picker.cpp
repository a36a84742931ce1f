#include "ui/item_picker.h"

#include <algorithm>

namespace pg {

SPickerLayout pickerLayout(uint8_t style, int32_t w, int32_t h, bool inset) {
  SPickerLayout l;
  int32_t mainWidth = w - 2;
  if (style != kPickerPlain) {
    l.arrow = {w - 8, 1, w - 1, h - 1};
    mainWidth = style == kPickerSplit && inset ? w - 10 : w - 9;
  }
  l.main = {1, 1, 1 + std::max(mainWidth, 1), 1 + std::max(h - 2, 1)};
  if (inset) {
    l.main = {l.main.Left + 1, l.main.Top + 1, std::max(l.main.Right - 1, l.main.Left + 2), std::max(l.main.Bottom - 1, l.main.Top + 2)};
    if (style != kPickerPlain) l.arrow = {l.arrow.Left + 1, l.arrow.Top + 1, l.arrow.Right - 1, l.arrow.Bottom - 1};
  }
  return l;
}

namespace {
bool inside(const TRect& r, int32_t x, int32_t y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }
}  // namespace

uint8_t pickerHitPart(const SPickerLayout& l, int32_t w, int32_t h, int32_t x, int32_t y) {
  if (inside(l.main, x, y)) return 2;
  if (inside(l.arrow, x, y)) return 3;
  return x >= 0 && y >= 0 && x < w && y < h ? 1 : 0;
}

uint8_t pickerHoverBits(uint8_t style, uint8_t part) {
  if (part != 2 && part != 3) return 0;
  if (style == kPickerPlain) return kHoverMain;
  if (style == kPickerDropDown) return kHoverMain | kHoverArrow;
  return part == 2 ? kHoverMain : kHoverArrow;
}

SPickerColors pickerColors(const TUiSysColors& c, bool downOrDropped, bool enabled, uint8_t hover, bool rounded) {
  if (downOrDropped) return {c.highlight, c.windowText, c.window, c.windowText, c.window};
  const TUiColor quiet = rounded ? c.btnFace : c.grayText;
  if (!enabled) return {quiet, c.grayText, c.btnFace, c.grayText, c.btnFace};
  SPickerColors s{quiet, c.windowText, c.btnFace, c.windowText, c.btnFace};
  if (hover & (kHoverMain | kHoverArrow)) s.frame = rounded ? c.grayText : c.highlight;
  if (hover & kHoverMain) {
    s.text = c.highlight;
    s.mainFace = c.highlightText;
  }
  if (hover & kHoverArrow) {
    s.arrow = c.highlight;
    s.arrowFace = c.highlightText;
  }
  return s;
}

}  // namespace pg
