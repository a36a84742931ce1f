#pragma once
// Area-averaging resamplers: a rectangle of one raster is scaled into a
// rectangle of another so that every destination pixel is the average of the
// source area it covers, partial source pixels at the edges of that area
// weighted by the covered fraction.
//
// CScaleImage holds the geometry and the averaging loop; subclasses bind the
// pixel formats through five virtual steps (accumulate, accumulateWeighted,
// store, srcPixel, dstPixel). Further subclasses elsewhere (tiled layers and
// masks, the filter sampler) only supply srcPixel and dstPixel.
//
// The sums are exact integers: a weight is a 16.16 fraction of a pixel, a row
// sum is byte x weight, and a footprint sum is row sum x row weight (units of
// 2^-32 pixel area). So the result does not depend on the order of the
// additions, and a constant image stays constant at every ratio.
#include <cstdint>
#include <memory>

#include "core/planes.h"
#include "core/rect.h"

namespace pg {

using UInt128 = unsigned __int128;

// Channel sums of one source row: byte x 16.16 weight. The 32-bit forms use
// the four entries in memory byte order (blue, green, red, alpha); the 8-bit
// forms use entry 0.
struct SScaleRowSum {
  uint64_t V[4] = {0, 0, 0, 0};
};

// Sums of a whole footprint: row sums x 16.16 row weights.
struct SScaleSum {
  UInt128 V[4] = {0, 0, 0, 0};
};

// A footprint in 16.16 source coordinates, right and bottom exclusive.
struct SFixBox {
  int64_t Left = 0;
  int64_t Top = 0;
  int64_t Right = 0;
  int64_t Bottom = 0;
};

inline constexpr uint32_t kScaleWeightOne = 65536;

class CScaleImage {
 public:
  // Create: sizes and rectangles zero, steps 1.0.
  CScaleImage() = default;
  virtual ~CScaleImage() = default;
  CScaleImage(const CScaleImage&) = delete;
  CScaleImage& operator=(const CScaleImage&) = delete;

  // The four bytes of a 32-bit pixel, weight one.
  virtual void accumulate(SScaleRowSum& acc, const uint8_t* pixel) const;
  // The same times a 16.16 weight (0..65536).
  virtual void accumulateWeighted(SScaleRowSum& acc, const uint8_t* pixel, uint32_t weight) const;
  // Writes the average: each byte := clamp(Trunc((0.01 + sum) / total)),
  // total being the footprint's area (2^-32 units, never 0 here). The 0.01
  // is taken at most up to just below one total, so that it cannot lift an
  // exact average by a whole step when the footprint is tiny (enlarging more
  // than tenfold).
  virtual void store(uint8_t* dst, const SScaleSum& sum, UInt128 totalWeight) const;
  // Address of source pixel (x, y) and of destination pixel (x, y); called
  // only with points inside the sizes.
  virtual const uint8_t* srcPixel(int32_t x, int32_t y) const = 0;
  virtual uint8_t* dstPixel(int32_t x, int32_t y) const = 0;

  // Clips SrcRect to SrcSize and DstRect to DstSize (False when either is
  // empty) and sets the steps: fixDiv(source width, destination width) and
  // likewise for the heights.
  [[nodiscard]] bool setup();
  // Stores both rectangles, runs setup and resamples the whole destination
  // rectangle; False when nothing was drawn.
  [[nodiscard]] bool execute(const SRectXYWH& srcRect, const SRectXYWH& dstRect);

  // Averages one footprint into dst. The footprint is cut to the source
  // (left and top at 0, right and bottom at the source size); nothing is
  // written when nothing of it is left.
  void resampleRect(uint8_t* dst, const SFixBox& footprint) const;
  // The same, answering False (and writing nothing) when the footprint lies
  // wholly outside the source.
  bool resampleClipped(uint8_t* dst, const SFixBox& footprint) const;

  SSize SrcSize;
  SSize DstSize;
  SRectXYWH SrcRect;
  SRectXYWH DstRect;
  int32_t StepX = kScaleWeightOne;  // 16.16 source pixels per destination pixel
  int32_t StepY = kScaleWeightOne;

 protected:
  // The loop over DstRect, one virtual call per sample. The formats of this
  // file replace it with an inlined loop that gives the same result.
  virtual void resampleAll();
  // The literal loop (also what resampleAll does by default).
  void resampleAllGeneric();
};

// The base of the 8-bit forms: one sum of the byte; store is
// clamp(Trunc(sum / total)) with nothing added.
class CScaleImage8 : public CScaleImage {
 public:
  void accumulate(SScaleRowSum& acc, const uint8_t* pixel) const override;
  void accumulateWeighted(SScaleRowSum& acc, const uint8_t* pixel, uint32_t weight) const override;
  void store(uint8_t* dst, const SScaleSum& sum, UInt128 totalWeight) const override;
};

// A TMTC into a TMTC.
class CScaleImageTMTC final : public CScaleImage {
 public:
  CScaleImageTMTC(const TMTC& src, TMTC* dst);
  const uint8_t* srcPixel(int32_t x, int32_t y) const override;
  uint8_t* dstPixel(int32_t x, int32_t y) const override;

 protected:
  void resampleAll() override;

 private:
  const TMTC& src_;
  TMTC* dst_;
};

// A TChannel into a TChannel.
class CScaleImageCH final : public CScaleImage8 {
 public:
  CScaleImageCH(const TChannel& src, TChannel* dst);
  const uint8_t* srcPixel(int32_t x, int32_t y) const override;
  uint8_t* dstPixel(int32_t x, int32_t y) const override;

 protected:
  void resampleAll() override;

 private:
  const TChannel& src_;
  TChannel* dst_;
};

// A TChannel into a TMTC: the average as grey in blue, green and red, alpha 255.
class CScaleImageCH2TMTC final : public CScaleImage8 {
 public:
  CScaleImageCH2TMTC(const TChannel& src, TMTC* dst);
  void store(uint8_t* dst, const SScaleSum& sum, UInt128 totalWeight) const override;
  const uint8_t* srcPixel(int32_t x, int32_t y) const override;
  uint8_t* dstPixel(int32_t x, int32_t y) const override;

 protected:
  void resampleAll() override;

 private:
  const TChannel& src_;
  TMTC* dst_;
};

// A TChannel into an array of 32-bit values (dstWidth per row, top row
// first): the average as a 16.16 fraction of 255, clamped to 0..65536
// (truncated).
class CScaleImageCH_fixp final : public CScaleImage8 {
 public:
  CScaleImageCH_fixp(const TChannel& src, uint32_t* dst, SSize dstSize);
  void store(uint8_t* dst, const SScaleSum& sum, UInt128 totalWeight) const override;
  const uint8_t* srcPixel(int32_t x, int32_t y) const override;
  uint8_t* dstPixel(int32_t x, int32_t y) const override;

 protected:
  void resampleAll() override;

 private:
  const TChannel& src_;
  uint32_t* dst_;
};

// Raw byte arrays: pixel (x, y) at pointer + x + y * width.
class CScaleImageBYTE final : public CScaleImage8 {
 public:
  CScaleImageBYTE(const uint8_t* src, SSize srcSize, uint8_t* dst, SSize dstSize);
  const uint8_t* srcPixel(int32_t x, int32_t y) const override;
  uint8_t* dstPixel(int32_t x, int32_t y) const override;

 protected:
  void resampleAll() override;

 private:
  const uint8_t* src_;
  uint8_t* dst_;
};

// ---- fitting routines -------------------------------------------------------
// Background values are pixel values (blue in the low byte).

// Fills dst with the background and scales the whole source into it: over all
// of dst, or with keepAspect into src's size centred in dst when it fits and
// otherwise into the largest centred rectangle of src's aspect. False when
// either plane holds no pixels.
[[nodiscard]] bool scaleToFitTMTC(TMTC& dst, const TMTC& src, bool keepAspect, uint32_t background);

// The same with an 8-bit source drawn as grey into a display plane.
[[nodiscard]] bool scaleToFitTTC(TMTC& dst, const TChannel& src, bool keepAspect, uint32_t background);

// A new plane holding src fitted into box (fitAspectNoEnlarge, or fitAspect
// with enlarge) over the background. With atOrigin the plane has the fitted
// size and the picture fills it; otherwise the plane has the box's size and
// the picture is centred in it. Null when src holds no pixels, the box is
// empty or the memory could not be had.
std::unique_ptr<TMTC> makeScaledCopy(SSize box, const TMTC& src, bool atOrigin, uint32_t background, bool enlarge);

// Draws a rotated (angle in radians) and scaled copy of a byte image into the
// rectangle of a byte image: each destination byte is the area average of the
// source footprint, 1/scale wide and high, centred where its pixel centre's
// offset from the destination centre lands when rotated, divided by the
// scales and moved to srcCentre. Footprints wholly outside the source, and
// every byte when a scale is zero or not finite, get the fill value.
void drawScaledPreview(const uint8_t* src, SSize srcSize, uint8_t* dst, SSize dstSize, TRect dstRect, float angle,
                       float scaleX, float scaleY, TPointF srcCentre, uint8_t fill);

}  // namespace pg
