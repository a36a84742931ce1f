#pragma once
// TAppearanceManager: what every control of the widget layer draws with,
// the UI colour table and the small graphics of the toolkit (frame graphics,
// caption-tab images, drop-down buttons, disc glyphs with arrows, crosses and
// signs, check boxes and marks). The graphics are built from the colour
// table, anti-aliased discs and frames and the masks of appearance_masks.h,
// so they follow the user's colour scheme; they are built once, when the
// manager is made.
//
// One manager serves the process. It is made explicitly once the
// application object exists (the Qt side: createQtAppearanceManager), never
// by a global constructor; resetAppearanceManager removes it (tests, exit).
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "ui/memory_graphic.h"
#include "ui/ui_sys_colors.h"

namespace pg {

// State of a glyph.
enum TGlyphState : uint8_t { gsNone = 0, gsActive = 1, gsDisabled = 2 };
inline constexpr int32_t kGlyphStates = 3;

// Kinds of the disc glyphs.
enum TDiscGlyphKind : uint8_t {
  dgTriangleUp = 0,
  dgTriangleDown = 1,
  dgTriangleLeft = 2,
  dgTriangleRight = 3,
  dgUpDown = 4,
  dgLeftRight = 5,
  dgCross = 6,
  dgDotRight = 7,
  dgDotBottom = 8,
  dgDotLeft = 9,
  dgDotTop = 10,
  dgPlus = 11,
  dgMinus = 12,
};

// The colours of one glyph state.
struct SGlyphStateColors {
  TUiColor rim, face, symbol, checkFace, bevelTopLeft, bevelBottomRight;
};
SGlyphStateColors glyphStateColors(const TUiSysColors& c, uint8_t state);

class TAppearanceManager {
 public:
  // Builds every graphic from the colour table.
  explicit TAppearanceManager(const TUiSysColors& colors);
  TAppearanceManager(const TAppearanceManager&) = delete;
  TAppearanceManager& operator=(const TAppearanceManager&) = delete;

  const TUiSysColors& colors() const { return colors_; }

  // The stored graphics, not copies: draw them with blendFrom. An index out
  // of range gives an empty graphic, which draws nothing.
  const TMemoryGraphic& frameGraphic(uint8_t index) const;  // 0..7
  const TMemoryGraphic& tabGraphic(bool active) const;      // 18 x 18
  const TMemoryGraphic& dropGlyph(uint8_t state) const;     // 17 x 15
  const TMemoryGraphic& glyph(uint8_t kind, uint8_t state) const;  // 11 x 11, kind 0..12
  const TMemoryGraphic& checkBoxGlyph(uint8_t kind, uint8_t state) const;  // 11 x 11, 0 empty, 1 ticked
  const TMemoryGraphic& markGlyph(uint8_t kind, uint8_t state) const;      // 13 x 13, mark 0 or 1

 private:
  TUiSysColors colors_;
  std::array<std::unique_ptr<TMemoryGraphic>, 8> frames_;
  std::array<std::unique_ptr<TMemoryGraphic>, 2> tabs_;
  std::array<std::unique_ptr<TMemoryGraphic>, kGlyphStates> drops_;
  std::array<std::unique_ptr<TMemoryGraphic>, 13 * kGlyphStates> discs_;
  std::array<std::unique_ptr<TMemoryGraphic>, 2 * kGlyphStates> checks_;
  std::array<std::unique_ptr<TMemoryGraphic>, 2 * kGlyphStates> marks_;
  TMemoryGraphic empty_;
};

// The process-wide manager, nullptr before it is made.
TAppearanceManager* appearanceManager();
// Makes (or remakes) the process-wide manager from a colour table.
TAppearanceManager& createAppearanceManager(const TUiSysColors& colors);
// Removes the process-wide manager.
void resetAppearanceManager();
// The colour table of the process-wide manager, or the classic scheme.
const TUiSysColors& uiSysColors();

// Places a symbol mask (7 x 7, or the check mark) or a mark mask with its
// top-left at (x, y): red, green and blue of each pixel under a strength m > 0
// move toward the colour by m / 255; alpha stays.
void placeSymbol(TMemoryGraphic& g, int32_t symbol, int32_t x, int32_t y, TUiColor colour);
void placeMark(TMemoryGraphic& g, int32_t mark, int32_t x, int32_t y, TUiColor colour);

// ---- caption tabs -------------------------------------------------------------

// Text output for the toolkit-free painters; the Qt side draws with a font.
class ITextDrawer {
 public:
  virtual ~ITextDrawer() = default;
  // As TMemoryGraphic text output: measures with dtCalcRect, else draws.
  virtual bool drawText(TMemoryGraphic& g, std::string_view utf8, TRect& rect, TUiColor colour, uint32_t flags) = 0;
};

inline constexpr int32_t kCaptionTabHeight = 18;
inline constexpr int32_t kCaptionTabExtraWidth = 21;

// Measures (flags with dtCalcRect: rect becomes 18 high and 21 wider than the
// text, from (0, 0)) or paints one trapezoid tab of the dock views and tab
// strips into the graphic, sized to the tab, with the rectangle at (0, 0).
[[nodiscard]] bool paintCaptionTab(TMemoryGraphic& g, std::string_view caption, TRect& rect, uint32_t flags, bool active,
                     const TAppearanceManager& appearance, ITextDrawer& text);

}  // namespace pg
