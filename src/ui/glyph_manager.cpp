#include "ui/glyph_manager.h"

#include <algorithm>

#include "ui/glyph_artwork.h"

namespace pg {

void glyphLookColors(const TUiSysColors& c, uint8_t state, TUiColor& face, TUiColor& symbol) {
  switch (state) {
    case kGlyphActive:
      face = c.highlightText;
      symbol = c.highlight;
      break;
    case kGlyphDisabled:
      face = c.btnFace;
      symbol = c.grayText;
      break;
    default:
      face = c.window;
      symbol = c.windowText;
      break;
  }
}

TPgGlyphManager::TPgGlyphManager(const TMTC& sheet, const TUiSysColors& colors)
    : blank_(kGlyphSize, kGlyphSize, uiClear) {
  TUiColor face[3], symbol[3];
  for (uint8_t s = 0; s < 3; ++s) glyphLookColors(colors, s, face[s], symbol[s]);
  const bool haveSheet = hasPixels(sheet);
  const int32_t columns = haveSheet ? std::min(sheet.Width, kGlyphSize) : 0;
  for (int32_t type = 0; type < kGlyphTypeCount; ++type) {
    for (uint8_t s = 0; s < 3; ++s)
      images_[static_cast<size_t>(type * 3 + s)] = std::make_unique<TMemoryGraphic>(kGlyphSize, kGlyphSize, uiClear);
    const int32_t top = type * kGlyphSize;
    if (!haveSheet || top >= sheet.Height) continue;
    const int32_t rows = std::min(kGlyphSize, sheet.Height - top);
    for (int32_t y = 0; y < rows; ++y)
      for (int32_t x = 0; x < columns; ++x) {
        const uint32_t px = sheet.getPixel(x, top + y);
        const float f = static_cast<float>(255 - uiGreen(px)) / 255.0f;
        const uint8_t alpha = uiRed(px);
        for (uint8_t s = 0; s < 3; ++s) {
          TMemoryGraphic& img = *images_[static_cast<size_t>(type * 3 + s)];
          if (!img.isValid()) continue;
          const TUiColor tinted = lerpColor(face[s], symbol[s], f);
          img.setPixel(x, y, uiWithAlpha(tinted, alpha));
        }
      }
  }
}

const TMemoryGraphic& TPgGlyphManager::glyph(uint32_t type, uint32_t state) const {
  const uint32_t t = type % 128, s = state % 128;
  if (t >= static_cast<uint32_t>(kGlyphTypeCount) || s >= 3) return blank_;
  const auto& img = images_[t * 3 + s];
  return img ? *img : blank_;
}

namespace {

std::unique_ptr<TPgGlyphManager>& processGlyphs() {
  static std::unique_ptr<TPgGlyphManager> manager;
  return manager;
}

}  // namespace

TPgGlyphManager* glyphManager() { return processGlyphs().get(); }

TPgGlyphManager& createGlyphManager(const TUiSysColors& colors) {
  TMTC sheet;
  // Without the sheet the glyphs are blank, never missing.
  (void)buildGlyphSheet(sheet);
  processGlyphs() = std::make_unique<TPgGlyphManager>(sheet, colors);
  return *processGlyphs();
}

void resetGlyphManager() { processGlyphs().reset(); }

}  // namespace pg
