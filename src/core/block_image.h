#pragma once
// Tiled images: a grid of square tiles, each either uniform (no memory, every
// pixel equals the tile's stored colour) or committed (one 4096-byte block of
// pixels from the tile pool). Every full-size raster of a document is one:
// layer images, masks, the selection, undo copies, filter working copies.
//
//   CBlockVMTC  32 x 32 tiles of 32-bit pixels (B, G, R, A), background
//               0x00FFFFFF (white, alpha 0): layers and undo copies.
//   CBlockVCH   64 x 64 tiles of 8-bit pixels, background 0: masks.
//
// Reading never commits a tile; writing or asking for a pixel address always
// does. A tile that cannot be committed makes the writing operation answer
// False (the image also remembers it: commitFailed()), never a write into
// missing memory. compact() turns flat committed tiles back into uniform ones.
//
// The region operations (copies, fills, blends, layer compositing, transforms,
// mask morphology) are members too; they are implemented in block_ops.cpp,
// block_mask_ops.cpp and layer_composite.cpp.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/blend_arith.h"
#include "core/block_pool.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

struct SByteGrid;
struct SLayerBlendAttr;
struct SPixelBlendOps;

// One tile's record: eight bytes, so that an untouched image costs almost
// nothing. Its place in the grid (column, row, pixel position, clipped size)
// comes from the image (CBlockImage::tileColumn and friends).
struct STileRec {
  uint32_t uniform = 0x00FFFFFF;  // every pixel's value while not committed (CBlockVCH: low byte)
  uint32_t block = 0;             // pool handle of the pixels; 0 while uniform
  bool committed() const { return block != 0; }
};

// A 32-bit plane laid over one committed tile of a CBlockVMTC. It owns
// nothing: destroying it never frees the tile. Rows are top-down, 32 pixels.
class TVMTC final : public TMTC {
 public:
  explicit TVMTC(uint8_t* tileMemory);
  ~TVMTC() override { TVMTC::FreeData(); }
  void FreeData() override;
  [[nodiscard]] bool Resize(int32_t, int32_t) override { return false; }
  int64_t ByteSize() const override { return CTilePool::kBlockBytes; }
  int32_t RowStep() const override { return 32; }
};

// An 8-bit plane laid over one committed tile of a CBlockVCH. Rows are
// top-down (64 bytes), unlike a stand-alone TChannel.
class TVChannel final : public TChannel {
 public:
  explicit TVChannel(uint8_t* tileMemory);
  ~TVChannel() override { TVChannel::FreeData(); }
  void FreeData() override;
  [[nodiscard]] bool Resize(int32_t, int32_t) override { return false; }
  int64_t ByteSize() const override { return CTilePool::kBlockBytes; }
  int32_t RowStep() const override { return 64; }
};

class CBlockImage {
 public:
  virtual ~CBlockImage();
  CBlockImage(const CBlockImage&) = delete;
  CBlockImage& operator=(const CBlockImage&) = delete;

  // The tile table exists (a successful construction or setSize).
  bool isValid() const { return allocated_; }
  // New size; every pixel is lost (all tiles uniform background). False (and
  // an invalid, empty image) for a refused size or when memory runs out.
  [[nodiscard]] bool setSize(int32_t w, int32_t h);
  // Frees every tile and the table; the image becomes 0 x 0 and invalid.
  void clear();

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  SSize size() const { return {width_, height_}; }
  int32_t columns() const { return columns_; }
  int32_t rows() const { return rows_; }
  int32_t tileEdge() const { return edge_; }   // tile width = tile height
  int32_t tileShift() const { return shift_; }
  int32_t tileMask() const { return edge_ - 1; }
  int32_t bytesPerPixel() const { return bpp_; }
  int32_t tileBytes() const { return static_cast<int32_t>(CTilePool::kBlockBytes); }
  uint32_t background() const { return background_; }

  // ---- tiles
  // The tile at (column, row), after committing it when commit is set; nullptr
  // outside the grid (negatives included) or when the commit failed.
  STileRec* tileAtIndex(int32_t column, int32_t row, bool commit);
  const STileRec* tileAtIndex(int32_t column, int32_t row) const;
  // The tile holding pixel (x, y); nullptr outside the grid or on a failed commit.
  STileRec* tileAt(int32_t x, int32_t y, bool commit) { return tileAtIndex(x >> shift_, y >> shift_, commit); }
  const STileRec* tileAt(int32_t x, int32_t y) const { return tileAtIndex(x >> shift_, y >> shift_); }
  STileRec& tileRef(int32_t index) { return tiles_[static_cast<size_t>(index)]; }
  const STileRec& tileRef(int32_t index) const { return tiles_[static_cast<size_t>(index)]; }
  int32_t tileCount() const { return static_cast<int32_t>(tiles_.size()); }

  int32_t tileIndex(const STileRec& t) const { return static_cast<int32_t>(&t - tiles_.data()); }
  int32_t tileColumn(const STileRec& t) const { return tileIndex(t) % columns_; }
  int32_t tileRow(const STileRec& t) const { return tileIndex(t) / columns_; }
  int32_t tileX(const STileRec& t) const { return tileColumn(t) << shift_; }
  int32_t tileY(const STileRec& t) const { return tileRow(t) << shift_; }
  int32_t clippedWidth(const STileRec& t) const { return std::min(width_ - tileX(t), edge_); }
  int32_t clippedHeight(const STileRec& t) const { return std::min(height_ - tileY(t), edge_); }
  // The tile's pixels (tileBytes, rows top-down, tileEdge * bytesPerPixel
  // bytes a row), or nullptr while it is uniform. Stable until the tile is
  // decommitted or the image cleared.
  uint8_t* tileMemory(const STileRec& t) const { return t.block ? tilePool().address(t.block) : nullptr; }

  // Commits the tile, filling it with its uniform colour. True when it is
  // committed; False when no memory could be had (the tile stays uniform,
  // commitFailed() becomes True and a debug line is written).
  [[nodiscard]] bool commitTile(STileRec& t);
  // Commits the tile with its contents left as they are, for a caller that
  // writes every byte of it at once (a reader filling tiles from a file);
  // the fill would only be overwritten. A tile already committed keeps its
  // memory.
  [[nodiscard]] bool commitTileForOverwrite(STileRec& t);
  // Commits every tile that rect (clipped) touches. Operations that rewrite
  // every pixel of a rectangle call it first, so that running out of memory
  // leaves the pixels as they were. False when a tile could not be committed.
  [[nodiscard]] bool commitRect(SRectXYWH rect);
  // Frees the tile's memory; it becomes uniform with its stored colour.
  // Always true: freeing cannot fail.
  bool decommitTile(STileRec& t);
  // Some commit of this image failed since construction or the last clear.
  [[nodiscard]] bool commitFailed() const { return commitFailed_; }
  void clearCommitFailed() { commitFailed_ = false; }

  // ---- geometry helpers
  TPoint tileLocal(TPoint p) const { return {p.X & (edge_ - 1), p.Y & (edge_ - 1)}; }
  // The piece (inside one tile) covers every pixel of its tile that lies
  // inside the image. At the right and bottom edge that is the clipped part:
  // the pixels beyond the image edge are never seen, so a uniform tile may
  // change its colour there without committing.
  bool isWholeTile(const SRectXYWH& piece) const {
    return (piece.X & (edge_ - 1)) == 0 && (piece.Y & (edge_ - 1)) == 0 &&
           piece.Width == std::min(edge_, width_ - piece.X) && piece.Height == std::min(edge_, height_ - piece.Y);
  }
  // Intersect with (0, 0, width, height) in place; False when nothing remains.
  [[nodiscard]] bool clipRect(TRect& r) const;
  [[nodiscard]] bool clipXYWH(SRectXYWH& r) const;
  // Grows r outward to whole tiles of this image (its own tile edge).
  void alignToTiles(SRectXYWH& r) const;

  // Tile bytes times the number of committed tiles.
  uint64_t committedBytes() const { return static_cast<uint64_t>(committedTiles()) * CTilePool::kBlockBytes; }
  int64_t committedTiles() const;
  // The bytes of the tile table itself (what an untouched image costs).
  uint64_t tableBytes() const { return static_cast<uint64_t>(tiles_.capacity()) * sizeof(STileRec); }

  // ---- tile walkers
  // Each cuts a rectangle into pieces that never cross a tile edge (rows of
  // pieces top to bottom, pieces left to right) and calls the per-piece
  // routine, which answers False to stop the walk (a failed commit). The
  // walkers answer False when nothing overlapped or a piece failed.

  // A rectangle of this image, clipped to it. f(tile, piece).
  template <class F>
  [[nodiscard]] bool forEachTileRect(SRectXYWH rect, F&& f);
  // Content of a plane of planeSize going into this image: rect is a
  // rectangle of the plane and point where it lands here, clipped together.
  // f(tile, piece in image coordinates, TPoint position in the plane).
  template <class F>
  [[nodiscard]] bool forEachTileFromPlane(SSize planeSize, TPoint point, SRectXYWH rect, F&& f);
  // This image's content going into a plane of planeSize: rect is a rectangle
  // of this image and point where it lands in the plane, clipped together.
  // f(tile, piece in image coordinates, TPoint position in the plane).
  template <class F>
  bool forEachTileToPlane(SSize planeSize, TPoint point, SRectXYWH rect, F&& f);
  // A rectangle of another tiled image src going to point in this image,
  // clipped together; the pieces are cut at the tiles of both images.
  // f(dst tile, src tile, piece in this image, TPoint position in src).
  template <class F>
  [[nodiscard]] bool forEachTileBlock(const CBlockImage& src, TPoint point, SRectXYWH rect, F&& f);

  // ---- tile copying (images of the same tile geometry)
  // A committed src commits dst and copies the bytes; a uniform src makes dst
  // uniform. dst takes src's uniform colour either way. False when dst could
  // not be committed.
  [[nodiscard]] bool copyTile(STileRec& dst, const CBlockImage& srcImage, const STileRec& src);
  // Copies the common tiles (c, r) of src; both images must be valid and of
  // the same pixel size.
  [[nodiscard]] bool assignTiles(const CBlockImage& src);
  // Copies the tiles under srcRect (grown to whole tiles) to the tiles from
  // dstPoint on (a tile-aligned point; it is used shifted). Tiles that would
  // land outside this image are left out.
  [[nodiscard]] bool assignTilesRect(const CBlockImage& src, SRectXYWH srcRect, TPoint dstPoint);

  // The number of committed tiles whose every byte is equal, made uniform.
  int32_t compact();

 protected:
  CBlockImage(int32_t w, int32_t h, int32_t bytesPerPixel, int32_t shift, uint32_t background);
  // Fills a committed tile's memory with a uniform colour.
  void fillTileMemory(uint8_t* mem, uint32_t uniform) const;
  // Records a failed commit.
  void noteCommitFailure();

  std::vector<STileRec> tiles_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t columns_ = 0;
  int32_t rows_ = 0;
  int32_t bpp_;
  int32_t shift_;
  int32_t edge_;
  uint32_t background_;
  bool allocated_ = false;
  bool commitFailed_ = false;

 private:
  bool allocate(int32_t w, int32_t h);
};

class CBlockVMTC final : public CBlockImage {
 public:
  // An image of w x h pixels, every tile uniform 0x00FFFFFF. Check isValid.
  CBlockVMTC(int32_t w, int32_t h);
  // CreateCopy: the size and every tile of src (check isValid).
  static std::unique_ptr<CBlockVMTC> CreateCopy(const CBlockVMTC& src);

  static constexpr int32_t kEdge = 32;
  static constexpr int32_t kShift = 5;
  static constexpr uint32_t kBackground = 0x00FFFFFF;

  // A plane over a committed tile (Bits nullptr for a uniform one).
  TVMTC view(const STileRec& t) const { return TVMTC(tileMemory(t)); }
  // The tile's pixels as 32-bit values (32 a row), nullptr while uniform.
  uint32_t* tilePixels(const STileRec& t) const { return reinterpret_cast<uint32_t*>(tileMemory(t)); }

  // ---- pixels. Reads never commit.
  // Committed tile: the stored pixel; uniform tile: its colour; outside the grid: 0.
  uint32_t getPixel(int32_t x, int32_t y) const;
  uint32_t getPixelClamped(int32_t x, int32_t y) const;
  // The background outside the image, else getPixel.
  uint32_t getPixelOrBackground(int32_t x, int32_t y) const;
  uint8_t getPixelGrey(int32_t x, int32_t y) const;
  // Commits the tile and stores v. False for a point outside the image or a
  // failed commit (nothing written).
  [[nodiscard]] bool setPixel(int32_t x, int32_t y, uint32_t v);
  // Commits the tile and answers the pixel's address; nullptr for a point
  // outside the image or when the tile could not be committed.
  uint32_t* pixelPtr(int32_t x, int32_t y);
  uint32_t* pixelPtrClamped(int32_t x, int32_t y);
  // The pixel's address, committing its tile when commit is set; nullptr
  // outside the image, for a uniform tile when commit is not set, or when the
  // commit failed.
  uint32_t* pixelAddress(int32_t x, int32_t y, bool commit) {
    return commit ? pixelPtr(x, y) : insideGrid(x, y, width_, height_) ? committedAddress(x, y) : nullptr;
  }

  // Some pixel of the tile memory (padding included) has a non-zero alpha.
  [[nodiscard]] bool tileHasAlpha(const STileRec& t) const;
  // Union of the full rectangles of the tiles holding any alpha; False when none.
  [[nodiscard]] bool getOpaqueBounds(TRect& r) const;

  // ---- copies between this image and planes (32-bit planes of any row order)
  // This image (or rect of it) into the plane at (x, y) / point. Committed
  // tiles: plain copy at opacity 255, else the colour bytes are mixed by the
  // opacity; uniform tiles likewise with their colour, skipped when
  // skipTransparent is set and their alpha is 0.
  bool copyToPlane(TMTC& plane, int32_t x, int32_t y, bool skipTransparent, uint32_t opacity);
  bool copyToPlaneRect(TMTC& plane, TPoint point, bool skipTransparent, uint32_t opacity, SRectXYWH rect);
  // The plane (or rect of it) into this image at (x, y) / point; every tile
  // touched is committed. False when a tile could not be committed.
  [[nodiscard]] bool copyFromPlane(const TMTC& plane, int32_t x, int32_t y, uint32_t opacity);
  [[nodiscard]] bool copyFromPlaneRect(const TMTC& plane, TPoint point, uint32_t opacity, SRectXYWH rect);
  // Copies src (whole, to (0, 0)) or rect of src to point; uniform onto
  // whole uniform pieces only changes the colour.
  [[nodiscard]] bool assignFrom(const CBlockVMTC& src);
  [[nodiscard]] bool assignRect(const CBlockVMTC& src, TPoint point, SRectXYWH rect);

  // ---- fills (uniform tiles covered whole only change their colour)
  [[nodiscard]] bool xorRect(SRectXYWH rect, uint32_t v);
  [[nodiscard]] bool xorAll(uint32_t v);
  // pixel := (pixel and not mask) or (v and mask).
  [[nodiscard]] bool fillMaskedRect(SRectXYWH rect, uint32_t mask, uint32_t v);
  [[nodiscard]] bool fillRGBAll(uint32_t colour);
  [[nodiscard]] bool fillRGBRect(SRectXYWH rect, uint32_t colour);
  [[nodiscard]] bool fillAlphaAll(uint32_t a);
  [[nodiscard]] bool fillAlphaRect(SRectXYWH rect, uint32_t a);
  [[nodiscard]] bool fillModeNeutralAll(uint32_t mode);
  [[nodiscard]] bool fillModeNeutralRect(SRectXYWH rect, uint32_t mode);
  // Every pixel := colour; committed tiles stay committed.
  void fill(uint32_t colour);

  // ---- blends between tiled images and into planes (layer_composite.cpp)
  // src's rect blended onto this image at point with the layer's mode
  // operator (source alpha) and opacity.
  [[nodiscard]] bool blendLayer(const CBlockVMTC& src, const SLayerBlendAttr& layer, SRectXYWH rect, TPoint point);
  // dst alpha := P[dst alpha][k], then op(dst, src pixel, opacity).
  [[nodiscard]] bool blendFrom(const CBlockVMTC& src, TPoint point, PixelOp32 op, uint32_t opacity, uint32_t k, SRectXYWH rect);
  // dst alpha := P[k][dst alpha], then compositePixelOps(dst, src pixel, opacity, ops).
  [[nodiscard]] bool blendFrom2(const CBlockVMTC& src, TPoint point, const SPixelBlendOps& ops, uint32_t opacity, uint32_t k,
                  SRectXYWH rect);
  // This image's rect into the plane at point: plane alpha mapped with k,
  // then op with the opacity.
  [[nodiscard]] bool blendPlane(TMTC& plane, TPoint point, PixelOp32 op, uint32_t opacity, uint32_t k, SRectXYWH rect);
  [[nodiscard]] bool blendPlaneMasked(TMTC& plane, TPoint point, const SPixelBlendOps& ops, uint32_t opacity, uint32_t k,
                        SRectXYWH rect);
  // This image is the layer's; its rect goes onto dst at point through the
  // coverage pair of the layer's mode, and the pixels it reaches become opaque.
  [[nodiscard]] bool blendLayerMasked(CBlockVMTC& dst, const SLayerBlendAttr& layer, SRectXYWH rect, TPoint point);
  // This image is the layer's; its rect goes into the plane at point with
  // the layer's mode, opacity and dissolve. False when the opacity is 0.
  [[nodiscard]] bool blendLayerToPlane(TMTC& plane, const SLayerBlendAttr& layer, SRectXYWH rect, TPoint point);
  // The same through the coverage pair of the layer's mode.
  [[nodiscard]] bool blendLayerToPlane2(TMTC& plane, const SLayerBlendAttr& layer, SRectXYWH rect, TPoint point);

  // ---- transforms and scaled copies
  [[nodiscard]] bool mirrorRectH(SRectXYWH rect);
  [[nodiscard]] bool flipRectV(SRectXYWH rect);
  [[nodiscard]] bool rotateRect180(SRectXYWH rect);
  // The image turned a quarter into a plane of height x width.
  [[nodiscard]] bool rotateToPlane(TMTC& plane, bool clockwise);
  // The same into another tiled image at point, clipped to it.
  [[nodiscard]] bool rotateToBlock(CBlockVMTC& dst, TPoint point, bool clockwise);
  // src resampled to this image's size (16-sample box mean), then compacted.
  [[nodiscard]] bool stretchFrom(const CBlockVMTC& src);
  // srcW x srcH pixels of this image averaged into dstRect of the plane.
  [[nodiscard]] bool stretchToPlane(TMTC& plane, SRectXYWH dstRect, int32_t srcW, int32_t srcH);

  // ---- alpha and byte grids
  [[nodiscard]] bool alphaToGrid(SByteGrid& grid, SRectXYWH rect) const;
  [[nodiscard]] bool alphaFromGrid(const SByteGrid& grid, TPoint point);
  [[nodiscard]] bool swapAlphaWithGrid(SByteGrid& grid);

 private:
  uint32_t* committedAddress(int32_t x, int32_t y) const {
    uint32_t* p = tilePixels(*tileAt(x, y));
    return p ? p + ((y & 31) << 5) + (x & 31) : nullptr;
  }
};

class CBlockVCH final : public CBlockImage {
 public:
  // A channel of w x h bytes, every tile uniform 0. A channel of zero area is
  // not valid.
  CBlockVCH(int32_t w, int32_t h);

  static constexpr int32_t kEdge = 64;
  static constexpr int32_t kShift = 6;

  TVChannel view(const STileRec& t) const { return TVChannel(tileMemory(t)); }

  // ---- pixels. Reads never commit.
  uint8_t getPixel(int32_t x, int32_t y) const;
  uint8_t getPixelClamped(int32_t x, int32_t y) const;
  uint8_t getPixelOr0(int32_t x, int32_t y) const;
  [[nodiscard]] bool setPixel(int32_t x, int32_t y, uint8_t v);
  uint8_t* pixelPtr(int32_t x, int32_t y);
  uint8_t* pixelPtrClamped(int32_t x, int32_t y);
  uint8_t* pixelAddress(int32_t x, int32_t y, bool commit) {
    if (commit) return pixelPtr(x, y);
    if (!insideGrid(x, y, width_, height_)) return nullptr;
    uint8_t* m = tileMemory(*tileAt(x, y));
    return m ? m + ((y & 63) << 6) + (x & 63) : nullptr;
  }

  // Union of the full rectangles of the tiles that are committed or whose
  // value is not 0; False when none.
  [[nodiscard]] bool getTileBounds(TRect& r) const;
  // The exact bounds of the non-zero pixels; False when every pixel is 0.
  [[nodiscard]] bool getBounds(TRect& r) const;

  // ---- operations (block_mask_ops.cpp)
  // The channel's rect into this channel at point (every tile touched committed).
  [[nodiscard]] bool copyFromChannel(const TChannel& channel, TPoint point, SRectXYWH rect);
  bool copyToChannel(TChannel& channel, int32_t x, int32_t y, bool skipZero);
  bool copyToChannelRect(TChannel& channel, TPoint point, bool skipZero, SRectXYWH rect);
  // op(dst byte, src byte) over src's rect placed at point.
  [[nodiscard]] bool combine(const CBlockVCH& src, TPoint point, ByteOp op, SRectXYWH rect);
  [[nodiscard]] bool combineCopy(const CBlockVCH& src, TPoint point, SRectXYWH rect);
  [[nodiscard]] bool assignFrom(const CBlockVCH& src);
  [[nodiscard]] bool fillRect(SRectXYWH rect, uint8_t v);
  [[nodiscard]] bool xorRect(SRectXYWH rect, uint8_t v);
  [[nodiscard]] bool xorAll(uint8_t v);
  // Fills the bands of the image outside rect; True when any band was filled.
  [[nodiscard]] bool fillOutside(const TRect& rect, uint8_t v);
  [[nodiscard]] bool fillOutsideXYWH(const SRectXYWH& rect, uint8_t v);
  // One-pixel 3 x 3 maximum of src written over rect of this channel.
  [[nodiscard]] bool dilateRect(const CBlockVCH& src, const TRect& rect);
  [[nodiscard]] bool dilateFrom(const CBlockVCH& src);
  [[nodiscard]] bool dilateFromGrown(const CBlockVCH& src);
  // One-pixel 3 x 3 minimum of src over src's tile bounds.
  [[nodiscard]] bool erodeFrom(const CBlockVCH& src);
  // value := P[grey][alpha] (grey inverted when invert is set).
  [[nodiscard]] bool fromLuminance(const CBlockVMTC& src, bool invert);
  [[nodiscard]] bool fromAlpha(const CBlockVMTC& src);
  // Box-averaged grey of srcRect into dstRect of a 32-bit display plane.
  [[nodiscard]] bool stretchToChannel(TMTC& plane, SRectXYWH dstRect, SRectXYWH srcRect);
  [[nodiscard]] bool stretchFrom(const CBlockVCH& src);
};

// ---- walker templates -------------------------------------------------------

template <class F>
bool CBlockImage::forEachTileRect(SRectXYWH rect, F&& f) {
  if (!allocated_ || !clipXYWH(rect)) return false;
  const int32_t m = edge_ - 1;
  const int32_t yEnd = rect.Y + rect.Height;
  const int32_t xEnd = rect.X + rect.Width;
  for (int32_t y = rect.Y; y < yEnd;) {
    const int32_t h = std::min(edge_ - (y & m), yEnd - y);
    STileRec* row = tiles_.data() + static_cast<size_t>(columns_) * static_cast<size_t>(y >> shift_);
    for (int32_t x = rect.X; x < xEnd;) {
      const int32_t w = std::min(edge_ - (x & m), xEnd - x);
      if (!f(row[x >> shift_], SRectXYWH{x, y, w, h})) return false;
      x += w;
    }
    y += h;
  }
  return true;
}

template <class F>
bool CBlockImage::forEachTileFromPlane(SSize planeSize, TPoint point, SRectXYWH rect, F&& f) {
  if (!allocated_ || !clipCopyRect(size(), planeSize, point, rect)) return false;
  // rect is now inside the plane and (point, rect size) inside this image.
  const int32_t dx = rect.X - point.X, dy = rect.Y - point.Y;
  return forEachTileRect(SRectXYWH{point.X, point.Y, rect.Width, rect.Height},
                         [&](STileRec& t, const SRectXYWH& piece) {
                           return f(t, piece, TPoint{piece.X + dx, piece.Y + dy});
                         });
}

template <class F>
bool CBlockImage::forEachTileToPlane(SSize planeSize, TPoint point, SRectXYWH rect, F&& f) {
  if (!allocated_ || !clipCopyRect(planeSize, size(), point, rect)) return false;
  const int32_t dx = point.X - rect.X, dy = point.Y - rect.Y;
  return forEachTileRect(rect, [&](STileRec& t, const SRectXYWH& piece) {
    return f(t, piece, TPoint{piece.X + dx, piece.Y + dy});
  });
}

template <class F>
bool CBlockImage::forEachTileBlock(const CBlockImage& src, TPoint point, SRectXYWH rect, F&& f) {
  if (!allocated_ || !src.allocated_ || !clipCopyRect(size(), src.size(), point, rect)) return false;
  const int32_t dx = rect.X - point.X, dy = rect.Y - point.Y;  // src = dst + (dx, dy)
  const int32_t sm = src.edge_ - 1;
  return forEachTileRect(SRectXYWH{point.X, point.Y, rect.Width, rect.Height},
                         [&](STileRec& dt, const SRectXYWH& piece) {
                           // Cut the piece again at the tiles of src.
                           const int32_t syEnd = piece.Y + dy + piece.Height;
                           const int32_t sxEnd = piece.X + dx + piece.Width;
                           for (int32_t sy = piece.Y + dy; sy < syEnd;) {
                             const int32_t h = std::min(src.edge_ - (sy & sm), syEnd - sy);
                             const STileRec* srow =
                                 src.tiles_.data() + static_cast<size_t>(src.columns_) * static_cast<size_t>(sy >> src.shift_);
                             for (int32_t sx = piece.X + dx; sx < sxEnd;) {
                               const int32_t w = std::min(src.edge_ - (sx & sm), sxEnd - sx);
                               if (!f(dt, srow[sx >> src.shift_], SRectXYWH{sx - dx, sy - dy, w, h}, TPoint{sx, sy}))
                                 return false;
                               sx += w;
                             }
                             sy += h;
                           }
                           return true;
                         });
}

}  // namespace pg
