#pragma once
// Colour range selection: coverage built from the colours of a layer or of
// the composed picture. Each picked colour adds or removes coverage around
// it within a range; the same computation serves the dialog's live preview,
// the final apply and replay (with the recorded colour list).
#include <array>
#include <cstdint>

#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class CBlockVMTC;
class CBlockVCH;

// One picked colour: 8 bytes as recorded (colour 0x00RRGGBB, add flag,
// range 0..255, two zero bytes). At most kColorRangeMaxEntries of them.
struct SColorRangeEntry {
  uint32_t color = 0;
  uint8_t add = 1;
  uint8_t range = 50;
  uint8_t pad[2] = {0, 0};
};
static_assert(sizeof(SColorRangeEntry) == 8);
inline constexpr uint32_t kColorRangeMaxEntries = 256;

// The dialog's settings handed to the apply (five u32 as recorded): entry
// count, source (1 the composed picture, 0 the layer), and three values
// kept with the event.
struct SColorRangeSettings {
  uint32_t count = 0;
  uint32_t source = 0;
  uint32_t third = 0;
  uint32_t fourth = 0;
  uint32_t fifth = 0;
  std::array<uint8_t, 20> bytes() const;
};

// The coverage of a pixel at squared colour distance d from a picked colour
// with r2 = range² x 2: full up to r2, falling to 0 at 1.5 x r2.
uint32_t colorRangeWeight(uint32_t d, uint32_t r2);

// Display modes of the result preview.
enum class ColorRangeView : uint8_t { Grey = 0, OverWhite = 1, OverBlack = 2 };

class CColorMask {
 public:
  // source: the pixels judged; channel: the coverage (source coordinates,
  // at least the source's size); mask: limits the work where it is 0, its
  // pixel = source pixel + maskOffset (may be null).
  [[nodiscard]] bool init(const SColorRangeSettings& settings, const CBlockVMTC& source, TPoint maskOffset, const CBlockVCH* mask,
            TChannel& channel);
  // Applies the entries in order over every pixel of the source.
  void compute(const SColorRangeEntry* entries, uint32_t count);

  uint32_t third = 0;
  int64_t selected = 0;  // pixels with coverage above 1
  int64_t empty = 0;     // pixels with coverage below 2
  int64_t full = 0;      // pixels with coverage above 254

 private:
  const CBlockVMTC* source_ = nullptr;
  const CBlockVCH* mask_ = nullptr;
  TPoint maskOffset_{};
  TChannel* channel_ = nullptr;
};

// The result preview: grey coverage (alpha 255), or the source blended
// over white or black by the coverage. Sizes must agree (false otherwise).
[[nodiscard]] bool renderColorRangePreview(const TMTC& source, const TChannel& coverage, ColorRangeView view, TMTC& out);

}  // namespace pg
