#pragma once
// Pixel planes: a rectangular block of pixels with a table of row offsets.
// Every raster of the system is one (tiles, masks, dabs, display buffers,
// thumbnails). Three classes share the base CDibCore:
//   TChannel  8 bits a pixel, rows bottom-up in memory;
//   TMTC     32 bits a pixel (bytes B, G, R, A), rows top-down;
//   TTC      a TMTC for the screen, rows bottom-up (the Qt side draws a QImage
//            over the same bytes).
// Row 0 is the top row of the image in every class; only the row-offset table
// says where a row lies in memory, so code that walks rows goes through
// RowOffsets (or RowStep), never assumes a direction.
//
// Hot paths address pixels through the inline, non-virtual accessors
// (pixelAddr8/pixelAddr32 on an SDibInfo, pixelAt/getPixel on the classes);
// the virtual operations are for code that handles planes of any class.
#include <cstdint>
#include <memory>

#include "core/rect.h"

namespace pg {

// The record the fast free routines take: the first four fields of a plane.
// RowOffsets holds Height byte offsets from Bits to pixel 0 of row y.
struct SDibInfo {
  int32_t Width = 0;
  int32_t Height = 0;
  uint8_t* Bits = nullptr;
  int32_t* RowOffsets = nullptr;
};

// Address of pixel (x, y) of an 8-bit or 32-bit plane; no bounds check
// (callers test with insideGrid or clip first).
inline uint8_t* pixelAddr8(const SDibInfo& info, int32_t x, int32_t y) {
  return info.Bits + info.RowOffsets[y] + x;
}
inline uint32_t* pixelAddr32(const SDibInfo& info, int32_t x, int32_t y) {
  return reinterpret_cast<uint32_t*>(info.Bits + info.RowOffsets[y]) + x;
}

// The base of every plane. A subclass that lays a plane over memory it does
// not own (a tile view) overrides FreeData to forget instead of free, and calls
// it from its own destructor: the base destructor frees whatever is still set.
class CDibCore : public SDibInfo {
 public:
  CDibCore() : InfoPtr(this) {}
  virtual ~CDibCore();
  CDibCore(const CDibCore&) = delete;
  CDibCore& operator=(const CDibCore&) = delete;

  // Frees Bits and RowOffsets and makes the plane 0 x 0.
  virtual void FreeData();
  virtual void Release() { FreeData(); }
  // Bits and RowOffsets both present.
  [[nodiscard]] virtual bool IsAllocated() const { return Bits != nullptr && RowOffsets != nullptr; }
  // The only way pixels get allocated. Answers False when the block could not
  // be had or the size is refused (negative, or an area beyond
  // kMaxPlaneArea); the plane is then empty (0 x 0, not allocated) and a line
  // "<class>::Resize: caught an exception!\n" went to the debug output.
  [[nodiscard]] virtual bool Resize(int32_t w, int32_t h) = 0;
  virtual int64_t ByteSize() const = 0;
  virtual int32_t BytesPerPixel() const = 0;
  // Distance in pixels from a pixel to the one below it.
  virtual int32_t RowStep() const = 0;
  virtual uint8_t* PixelAddress(int32_t x, int32_t y) const = 0;

  // Points at this plane's SDibInfo; never changes.
  SDibInfo* const InfoPtr;

  SSize size() const { return {Width, Height}; }
  // Address of pixel 0 of row y (non-virtual; no bounds check).
  uint8_t* rowAddress(int32_t y) const { return Bits + RowOffsets[y]; }

  [[nodiscard]] bool resizeTo(SSize s) { return Resize(s.W, s.H); }
  bool isTopDown() const { return RowStep() > 0; }
  // Intersects r with (0, 0, Width, Height); False when empty.
  [[nodiscard]] bool clipRect(TRect& r) const { return clipRectToSize(r, size()); }
  [[nodiscard]] bool clipRectWH(SRectXYWH& r) const { return clipXYWHToSize(r, size()); }
  // r := (0, 0, Width, Height); answers IsAllocated.
  [[nodiscard]] bool getBounds(TRect& r) const {
    r = rectFromSize(size());
    return IsAllocated();
  }

 protected:
  // Makes the plane empty after a failed Resize and writes the debug line.
  void failResize(const char* line);
};

// The plane exists and holds pixels.
inline bool isPlaneReady(const CDibCore* plane) { return plane != nullptr && plane->IsAllocated(); }
// The plane holds pixels and is at least one pixel wide and high.
inline bool hasPixels(const CDibCore& plane) { return plane.IsAllocated() && plane.Width > 0 && plane.Height > 0; }

// 8 bits a pixel; masks, selections, alpha and coverage. Rows bottom-up.
class TChannel : public CDibCore {
 public:
  TChannel() = default;
  // CreateSize: an empty plane resized to w x h (check isPlaneReady).
  TChannel(int32_t w, int32_t h) { (void)Resize(w, h); }  // a failure leaves the plane empty
  // CreateFromSize.
  explicit TChannel(SSize s) { (void)Resize(s.W, s.H); }  // as above
  // A plane of the source's size holding a copy of its pixels (when the
  // resize succeeds; check isPlaneReady).
  static std::unique_ptr<TChannel> CreateCopy(const TChannel& src);

  // Always takes a new block; its rows are bottom-up.
  [[nodiscard]] bool Resize(int32_t w, int32_t h) override;
  int64_t ByteSize() const override { return static_cast<int64_t>(Width) * Height; }
  int32_t BytesPerPixel() const override { return 1; }
  int32_t RowStep() const override { return -Width; }
  uint8_t* PixelAddress(int32_t x, int32_t y) const final { return pixelAt(x, y); }

  uint8_t* pixelAt(int32_t x, int32_t y) const { return Bits + RowOffsets[y] + x; }
  uint8_t getPixel(int32_t x, int32_t y) const { return *pixelAt(x, y); }
  // The byte at the point clamped into the plane; 0 for a plane without pixels.
  uint8_t getPixelClamped(int32_t x, int32_t y) const {
    if (Bits == nullptr || RowOffsets == nullptr || Width <= 0 || Height <= 0) return 0;
    TPoint p{x, y};
    clampPointToSize(p, size());
    return getPixel(p.X, p.Y);
  }
};

// Three counters ordered red, green, blue.
struct SRgbSum {
  int32_t R = 0;
  int32_t G = 0;
  int32_t B = 0;
};

// 32 bits a pixel, bytes B, G, R, A in memory (blue in the low byte of the
// packed value). Rows top-down. The working pixel type of layers and filters.
class TMTC : public CDibCore {
 public:
  TMTC() = default;
  // CreateSize: an empty plane resized to w x h (check isPlaneReady).
  TMTC(int32_t w, int32_t h) { (void)Resize(w, h); }  // a failure leaves the plane empty
  // CreateFromSize.
  explicit TMTC(SSize s) { (void)Resize(s.W, s.H); }  // as above
  // A plane of the source's size holding a copy of its pixels (when the
  // resize succeeds; check isPlaneReady).
  static std::unique_ptr<TMTC> CreateCopy(const TMTC& src);

  // Keeps the pixels when the size is unchanged, and keeps the block (its old
  // bytes reinterpreted in the new shape) when the byte count is unchanged.
  [[nodiscard]] bool Resize(int32_t w, int32_t h) override;
  int64_t ByteSize() const override { return 4 * static_cast<int64_t>(Width) * Height; }
  int32_t BytesPerPixel() const override { return 4; }
  int32_t RowStep() const override { return Width; }
  uint8_t* PixelAddress(int32_t x, int32_t y) const final {
    return reinterpret_cast<uint8_t*>(pixelAt(x, y));
  }

  uint32_t* pixelAt(int32_t x, int32_t y) const {
    return reinterpret_cast<uint32_t*>(Bits + RowOffsets[y]) + x;
  }
  uint32_t getPixel(int32_t x, int32_t y) const { return *pixelAt(x, y); }
  // The pixel at the point clamped into the plane; 0 for a plane without pixels.
  uint32_t getPixelClamped(int32_t x, int32_t y) const {
    if (Bits == nullptr || RowOffsets == nullptr || Width <= 0 || Height <= 0) return 0;
    TPoint p{x, y};
    clampPointToSize(p, size());
    return getPixel(p.X, p.Y);
  }
  // Grey of the clamped pixel: (R*19595 + G*38469 + B*7472) >> 16.
  uint8_t greyAtClamped(int32_t x, int32_t y) const {
    const uint32_t p = getPixelClamped(x, y);
    return static_cast<uint8_t>((((p >> 16) & 0xFF) * 19595 + ((p >> 8) & 0xFF) * 38469 + (p & 0xFF) * 7472) >> 16);
  }
  // Adds the blue, green and red bytes of the clamped pixel to three counters.
  void accumulateRgb(int32_t x, int32_t y, int32_t& b, int32_t& g, int32_t& r) const {
    const uint32_t p = getPixelClamped(x, y);
    b += static_cast<int32_t>(p & 0xFF);
    g += static_cast<int32_t>((p >> 8) & 0xFF);
    r += static_cast<int32_t>((p >> 16) & 0xFF);
  }
  void accumulateRgbRec(int32_t x, int32_t y, SRgbSum& rec) const { accumulateRgb(x, y, rec.B, rec.G, rec.R); }

  // Copies the source's pixels, row by row (either row order). Refuses (False)
  // a source of another size or a plane without pixels.
  [[nodiscard]] bool copyPixelsFrom(const TMTC& src);
};

// A 32-bit plane for the screen: rows bottom-up, like a bottom-up device
// bitmap, so that a QImage (or a BMP writer) can take the block as it is.
class TTC : public TMTC {
 public:
  // Create: OwnDC True, nothing allocated.
  TTC() = default;
  // CreateWithDC.
  explicit TTC(bool ownDC) : OwnDC(ownDC) {}
  // CreateSize.
  TTC(bool ownDC, int32_t w, int32_t h) : OwnDC(ownDC) { (void)Resize(w, h); }  // empty on failure

  // Answers True at once when (w, h) equals the current size (also for an
  // empty plane); otherwise takes a new block of max(w, 1) x max(h, 1)
  // pixels, so that (0, 5) gives 1 x 5 and a second (0, 5) rebuilds it.
  [[nodiscard]] bool Resize(int32_t w, int32_t h) override;
  int32_t RowStep() const override { return -Width; }

  // Whether a drawing context belongs to the plane; the screen side reads it.
  bool OwnDC = true;
};

// A plane laid over the top-left part of another plane of its class: reads
// and writes reach the other plane's pixels, and everything that clips or
// clamps to a plane's size stops at the part's edge. It owns nothing; lay
// it again whenever the other plane may have taken a new block.
template <class Plane>
class TPlanePart final : public Plane {
 public:
  TPlanePart() = default;
  TPlanePart(Plane& whole, SSize part) { lay(whole, part); }
  ~TPlanePart() override { TPlanePart::FreeData(); }
  // Over whole's pixels, part clamped to whole's size; empty when whole holds none.
  void lay(Plane& whole, SSize part) {
    FreeData();
    if (!whole.IsAllocated()) return;
    this->Bits = whole.Bits;
    this->RowOffsets = whole.RowOffsets;
    this->Width = part.W < 0 ? 0 : (part.W < whole.Width ? part.W : whole.Width);
    this->Height = part.H < 0 ? 0 : (part.H < whole.Height ? part.H : whole.Height);
    step_ = whole.RowStep();
  }
  // Forgets the other plane's pixels; never frees them.
  void FreeData() override {
    this->Bits = nullptr;
    this->RowOffsets = nullptr;
    this->Width = 0;
    this->Height = 0;
  }
  [[nodiscard]] bool Resize(int32_t, int32_t) override { return false; }
  int32_t RowStep() const override { return step_; }

 private:
  int32_t step_ = 0;
};

}  // namespace pg
