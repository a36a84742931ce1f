#pragma once
// TPgGlyphManager: the 87 tool and option glyphs, 24 x 24, each in three
// looks (normal, active, disabled), tinted from the glyph sheet in the UI
// colours: a sheet pixel's shade runs from the look's face colour (green 255)
// to its symbol colour (green 0), and its red byte becomes the alpha.
//
// One manager serves the process; it is made explicitly after the appearance
// manager (createGlyphManager), never by a global constructor, and
// resetGlyphManager removes it.
#include <array>
#include <cstdint>
#include <memory>

#include "core/planes.h"
#include "ui/glyph_types.h"
#include "ui/memory_graphic.h"
#include "ui/ui_sys_colors.h"

namespace pg {

// Glyph looks.
inline constexpr uint8_t kGlyphNormal = 0;
inline constexpr uint8_t kGlyphActive = 1;
inline constexpr uint8_t kGlyphDisabled = 2;

class TPgGlyphManager {
 public:
  // Builds the images from a sheet: 24 pixels wide, 24 rows a glyph, glyph 0
  // at the top. Glyphs the sheet does not reach stay blank.
  TPgGlyphManager(const TMTC& sheet, const TUiSysColors& colors);
  TPgGlyphManager(const TPgGlyphManager&) = delete;
  TPgGlyphManager& operator=(const TPgGlyphManager&) = delete;

  // The image of a glyph type in a look (both taken modulo 128); a type or
  // look outside the glyph set gives a blank 24 x 24 image.
  const TMemoryGraphic& glyph(uint32_t type, uint32_t state) const;

 private:
  std::array<std::unique_ptr<TMemoryGraphic>, kGlyphTypeCount * 3> images_;
  TMemoryGraphic blank_;
};

// The face and symbol colours of a look.
void glyphLookColors(const TUiSysColors& c, uint8_t state, TUiColor& face, TUiColor& symbol);

// The process-wide manager, nullptr before it is made.
TPgGlyphManager* glyphManager();
// Makes (or remakes) it from this program's own glyph sheet.
TPgGlyphManager& createGlyphManager(const TUiSysColors& colors);
void resetGlyphManager();

}  // namespace pg
