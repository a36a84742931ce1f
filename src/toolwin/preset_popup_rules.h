#pragma once
// The rules of the preset pop-up (the drop-down that picks a brush, a nib, a
// swatch or a gradient), without widgets: the kind and set words of its
// menu and each item's caption and enabling, the display style it starts
// with, the heights of the gradient preview, and the geometry and the close
// rule of the two glyphs in its right column.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/rect.h"

namespace pg {

class CItemList;

enum class PresetPopupKind : uint8_t { PenMethod, PenNib, Swatch, Gradient, Other };

struct SPresetPopupWords {
  std::string kind;  // K
  std::string set;   // S
};
SPresetPopupWords presetPopupWords(PresetPopupKind kind);

enum class PresetPopupItem : uint8_t { Append, Duplicate, Delete, Edit, SetRevert, SetAppend, SetSave, SetOpen };
inline constexpr int kPresetPopupItemCount = 8;

struct SPresetPopupItemState {
  std::string caption;
  bool enabled = false;
};

struct SPresetPopupMenuState {
  std::array<SPresetPopupItemState, kPresetPopupItemCount> items;
  bool showAllVisible = false, showAllChecked = false;
  std::array<bool, 7> styleVisible{}, styleChecked{};  // in the editor menu's order
  bool previewVisible = false;
  std::array<bool, 4> previewChecked{};                // hidden, small, medium, large
};

struct SPresetPopupContext {
  PresetPopupKind kind = PresetPopupKind::Other;
  bool setFileExists = false;
  bool setModified = false;
  bool showAllSupported = false;
  bool showAll = false;
  bool previewSupported = false;
  int32_t previewSize = 2;
};

SPresetPopupMenuState presetPopupMenuState(const CItemList& list, const SPresetPopupContext& c);

// The style a pop-up starts with: the stored one when it is below 16 and the
// list allows it (-1 is stored as 255), else the fallback.
[[nodiscard]] int32_t presetPopupStyle(const CItemList& list, int32_t stored, int32_t fallback);

// The gradient preview's height for sizes 0..3; hidden counts as -4.
[[nodiscard]] int32_t presetPreviewHeight(int32_t size);

// The close glyph and the menu glyph in the right column of a client area.
TRect presetPopupCloseGlyph(int32_t clientWidth, SSize glyph);
TRect presetPopupMenuGlyph(int32_t clientWidth, SSize glyph);

// The close glyph closes only for a press and a release both on it.
class CPresetPopupCloseGlyph {
 public:
  void press(bool onGlyph) { pressed_ = onGlyph; }
  // True when the pop-up is to close (result 1).
  bool release(bool onGlyph) {
    const bool close = pressed_ && onGlyph;
    pressed_ = false;
    return close;
  }
  bool pressed() const { return pressed_; }

 private:
  bool pressed_ = false;
};

}  // namespace pg
