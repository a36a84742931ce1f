#pragma once
// The constant masks the appearance manager builds its small graphics from.
//
// Index masks: one character per pixel, '.' for "leave transparent" and the
// digits 1..6 for entries of the index palette (window frame, 3D dark
// shadow, button shadow, button face, 3D light, 3D highlight).
//
// Symbol masks: 7 x 7, one character per pixel giving the symbol's strength:
// '.' 0, 'd' 32, 'g' 64, 'i' 85, 'n' 128, 'u' 204, '#' 255.
#include <cstdint>

namespace pg {

struct SIndexMask {
  int32_t width;
  int32_t height;
  const char* const* rows;
};

// Frame graphics 1..7 (graphic 0 is drawn, not masked).
extern const SIndexMask kFrameMasks[7];
// The inactive and active tab images, 18 x 18.
extern const SIndexMask kTabMasks[2];

inline constexpr int32_t kSymbolSize = 7;
inline constexpr int32_t kDiscGlyphKinds = 13;
// The symbols of the thirteen disc-glyph kinds, then the check mark.
extern const char* const kSymbolMasks[kDiscGlyphKinds + 1][kSymbolSize];
inline constexpr int32_t kCheckMarkSymbol = kDiscGlyphKinds;
// The strength of one symbol-mask character.
uint8_t symbolStrength(char c);

// The two mark masks, 9 x 7 byte values.
inline constexpr int32_t kMarkWidth = 9;
inline constexpr int32_t kMarkHeight = 7;
extern const uint8_t kMarkMasks[2][kMarkHeight][kMarkWidth];

}  // namespace pg
