// The built-in paint-method icons: nine by index and the spread icon, drawn
// once on first use into 32 x 32 planes (opaque, a white ground with a mark
// in the kind's colour). Icon 4 (the second blur kind) is the same image as
// icon 2.
#include <array>
#include <memory>

#include "brush/paint_param.h"
#include "core/aa_draw.h"
#include "core/colour.h"

namespace pg {

namespace {

constexpr int32_t kIconSize = 32;

// One mark: a trail of discs from (x0, y0) to (x1, y1) with radii r0..r1.
struct SIconMark {
  uint32_t colour;  // a pixel, blue in the low byte
  float x0, y0, r0;
  float x1, y1, r1;
  float opacity;
};

std::unique_ptr<TMTC> drawIcon(const SIconMark& m) {
  auto icon = std::make_unique<TMTC>(kIconSize, kIconSize);
  if (!isPlaneReady(icon.get())) return nullptr;
  for (int32_t y = 0; y < kIconSize; ++y) fillPixelValue(icon->pixelAt(0, y), 0xFFFFFFFFu, kIconSize);
  const int steps = 12;
  for (int i = 0; i <= steps; ++i) {
    const float t = static_cast<float>(i) / static_cast<float>(steps);
    fillDiscAA(*icon, m.colour, true, m.x0 + (m.x1 - m.x0) * t, m.y0 + (m.y1 - m.y0) * t, m.r0 + (m.r1 - m.r0) * t,
               m.opacity, false);
  }
  return icon;
}

struct SIconSet {
  std::array<std::unique_ptr<TMTC>, 9> own;  // index 4 stays empty: it is icon 2
  std::unique_ptr<TMTC> spread;
  SIconSet() {
    const SIconMark marks[9] = {
        {0x303030, 6, 26, 1.0f, 26, 6, 1.5f, 1.0f},    // 0 pencil
        {0x4060E0, 8, 24, 5.0f, 24, 8, 5.0f, 1.0f},    // 1 watercolour
        {0x909090, 16, 16, 10.0f, 16, 16, 4.0f, 0.25f},  // 2 blur
        {0xE0A0C0, 8, 16, 6.0f, 24, 16, 6.0f, 1.0f},   // 3 eraser
        {0, 0, 0, 0, 0, 0, 0, 0},                      // 4 = icon 2
        {0x40A040, 16, 16, 12.0f, 16, 16, 2.0f, 0.2f},   // 5 airbrush
        {0xC08040, 6, 22, 3.0f, 26, 12, 4.0f, 0.8f},   // 6 finger
        {0x204060, 10, 10, 4.0f, 22, 22, 7.0f, 0.7f},  // 7 burn
        {0x90D0F0, 10, 22, 4.0f, 22, 10, 7.0f, 0.7f},  // 8 dodge
    };
    for (int i = 0; i < 9; ++i)
      if (i != 4) own[i] = drawIcon(marks[i]);
    spread = drawIcon({0x6090C0, 4, 16, 2.0f, 28, 16, 5.0f, 0.8f});
  }
};

const SIconSet& iconSet() {
  static const SIconSet set;
  return set;
}

}  // namespace

const TMTC* getDefaultPaintIcon(uint32_t index) {
  if (index >= 9) return nullptr;
  const SIconSet& s = iconSet();
  return s.own[index == 4 ? 2 : index].get();
}

const TMTC* getDefaultPaintIconAlt(uint32_t index) { return index == 0 ? iconSet().spread.get() : nullptr; }

const TMTC* defaultPaintIcon(uint32_t kind) {
  static constexpr int8_t kIconOfKind[kPaintKindCount] = {0, 3, 1, 5, 2, 4, 6, 7, 8, 0, 3, 1, 5, 2, 6, -1, 7, 8};
  kind &= 127;
  if (kind >= kPaintKindCount) return nullptr;
  if (kind == 15) return getDefaultPaintIconAlt(0);
  return getDefaultPaintIcon(static_cast<uint32_t>(kIconOfKind[kind]));
}

}  // namespace pg
