#pragma once
// Seed fill: the connected region of pixels similar to the pixel under a
// seed point, written with a per-pixel similarity value into an 8-bit
// output channel (the magic wand turns it into a selection, the bucket fill
// paints through it).
//
// Six fillers: two kinds of source (a tiled layer image, a flat 32-bit
// plane), each plain (colour distance), alpha-aware (translucent pixels
// judged over a flattening colour, transparent pixels stop the region), or
// alpha-aware and limited to where a mask is non-zero. One template holds
// the walk; the source and the rule are its parameters.
//
// The walk grows whole spans and keeps only run starts in a bounded queue
// (oldest first, so the region grows breadth-first). When the queue is full
// the walk stops with the part found so far and overflowed() answers true:
// that part is neither whole nor finished, and the document never uses it.
// The output channel has the source's coordinates; the caller clears it.
#include <cstdint>
#include <type_traits>

#include "core/block_image.h"
#include "core/dyn_buffers.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

// The pending-run capacity every caller uses.
inline constexpr int32_t kSeedFillCapacity = 8192;

class CSeedFillCore : public CDynStack {
 public:
  explicit CSeedFillCore(int32_t capacity) : CDynStack(sizeof(TPoint), capacity) {}
  ~CSeedFillCore() override = default;

  // Finds the region around `point`. A tolerance above 0 replaces the
  // stored one. False when the seed lies outside the bounds, the queue has
  // no memory or the seed cannot be read (the output is then untouched).
  // True when a region was walked: finished (every pixel 255, or an edge
  // band graded with antiAlias) when the queue held out; with overflowed()
  // the graded part found so far, unfinished.
  [[nodiscard]] bool fill(TPoint point, int32_t tolerance);
  bool overflowed() const { return Overflow(); }

  // Right and bottom exclusive; clipped to the source and the output when
  // the fill starts.
  TRect bounds{};
  uint32_t tolerance = 10;
  uint8_t antiAlias = 0;

 protected:
  // The walk over the clipped bounds; the seed is inside them.
  [[nodiscard]] virtual bool walk(TPoint seed) = 0;
  virtual SSize sourceSize() const = 0;
  [[nodiscard]] virtual bool setSeed(TPoint p) = 0;
  // Sets every region pixel to 255 or grades its edge band; answers whether
  // the output holds any region pixel.
  [[nodiscard]] bool finish();

  TChannel* output_ = nullptr;
};

// How a filler judges pixels.
enum class SeedRule : uint8_t { Plain, WithAlpha, WithMask };

// Source is CBlockVMTC (read with its bounds-checked getPixel) or TMTC.
template <class Source, SeedRule Rule>
class CSeedFillT final : public CSeedFillCore {
 public:
  CSeedFillT(int32_t capacity, const Source& image, TChannel& output, const TRect& area)
      : CSeedFillCore(capacity), image_(image) {
    output_ = &output;
    bounds = area;
  }
  // The mask limit (WithMask only): mask pixel = source pixel + maskOffset;
  // where it is 0 (or outside the mask) the region never enters.
  void setMask(const CBlockVCH* mask, TPoint maskOffset) {
    mask_ = mask;
    maskOffset_ = maskOffset;
  }

  uint32_t seedColor = 0;
  uint32_t flattenColor = 0xFFFFFF;
  bool seedTransparent = false;

  // The distance of a pixel to the seed (what the tolerance bounds).
  uint32_t distance(int32_t x, int32_t y) const;

 protected:
  [[nodiscard]] bool walk(TPoint seed) override;
  SSize sourceSize() const override;
  [[nodiscard]] bool setSeed(TPoint p) override;

 private:
  uint32_t pixel(int32_t x, int32_t y) const { return image_.getPixel(x, y); }
  // The distance of a pixel value to the seed.
  uint32_t distanceOf(uint32_t p) const;
  // A flat source's row, read straight; null for a tiled source.
  const uint32_t* sourceRow(int32_t y) const {
    if constexpr (std::is_same_v<Source, TMTC>) {
      return image_.pixelAt(0, y);
    } else {
      (void)y;  // a channel source has no 32-bit rows
      return nullptr;
    }
  }
  // The mask (WithMask only) keeps the region out of the pixel.
  bool maskBlocks(int32_t x, int32_t y) const;
  bool isFilled(int32_t x, int32_t y) const;
  bool isCandidate(int32_t x, int32_t y) const { return !isFilled(x, y) && distance(x, y) <= tolerance; }
  void scanRow(int32_t y, int32_t left, int32_t right);

  const Source& image_;
  const CBlockVCH* mask_ = nullptr;
  TPoint maskOffset_{};
};

using CSeedFill = CSeedFillT<CBlockVMTC, SeedRule::Plain>;
using CSeedFillWithAlpha = CSeedFillT<CBlockVMTC, SeedRule::WithAlpha>;
using CSeedFillWithMask = CSeedFillT<CBlockVMTC, SeedRule::WithMask>;
using CSeedFillTC = CSeedFillT<TMTC, SeedRule::Plain>;
using CSeedFillTCWithAlpha = CSeedFillT<TMTC, SeedRule::WithAlpha>;
using CSeedFillTCWithMask = CSeedFillT<TMTC, SeedRule::WithMask>;

}  // namespace pg
