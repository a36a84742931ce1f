#include "ui/glyph_types.h"

namespace pg {

namespace {

constexpr uint8_t kPaintKindGlyphs[18] = {1, 4, 6, 8, 10, 10, 12, 15, 17, 0, 2, 5, 7, 9, 11, 13, 14, 16};
// Modes 10..17 of the tool-mode table; 0..9 show their own number, 18..37 the
// mode + 6.
constexpr uint8_t kEffectModeGlyphs[8] = {11, 13, 10, 12, 14, 16, 15, 17};

}  // namespace

uint8_t paintKindGlyph(uint32_t kind) {
  const uint32_t k = kind % 128;
  return k < 18 ? kPaintKindGlyphs[k] : kNoGlyph;
}

uint8_t toolGlyph(uint32_t mode) {
  const uint32_t m = mode % 128;
  if (m < 10) return static_cast<uint8_t>(m);
  if (m < 18) return kEffectModeGlyphs[m - 10];
  if (m < 38) return static_cast<uint8_t>(m + 6);
  return kNoGlyph;
}

}  // namespace pg
