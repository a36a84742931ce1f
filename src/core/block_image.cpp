#include "core/block_image.h"

#include <cstring>
#include <new>

#include "core/block_pixels.h"
#include "core/colour.h"
#include "core/limits.h"
#include "platform/debug_output.h"

namespace pg {

namespace {

// Rows of a tile are top-down; one table per tile kind, shared by every view.
struct RowTables {
  int32_t rows32[32];
  int32_t rows64[64];
  RowTables() {
    for (int32_t y = 0; y < 32; ++y) rows32[y] = y * 128;
    for (int32_t y = 0; y < 64; ++y) rows64[y] = y * 64;
  }
};
RowTables& rowTables() {
  static RowTables tables;
  return tables;
}

// The last two characters are a backslash and the letter n, like the other
// lines of the debug output.
constexpr const char kCommitFailed[] = "CBlockImage::commitTile: out of memory!\\n";

// All 1024 words of a tile equal the first one.
bool tileWordsEqual(const uint32_t* p) {
  const uint32_t v = p[0];
  for (int i = 0; i < 1024; i += 32) {
    uint32_t acc = 0;
    for (int j = 0; j < 32; ++j) acc |= p[i + j] ^ v;
    if (acc) return false;
  }
  return true;
}

}  // namespace

// ---- views ----------------------------------------------------------------------

TVMTC::TVMTC(uint8_t* tileMemory) {
  if (tileMemory == nullptr) return;
  Width = 32;
  Height = 32;
  Bits = tileMemory;
  RowOffsets = rowTables().rows32;
}

void TVMTC::FreeData() {
  Bits = nullptr;
  RowOffsets = nullptr;
  Width = 0;
  Height = 0;
}

TVChannel::TVChannel(uint8_t* tileMemory) {
  if (tileMemory == nullptr) return;
  Width = 64;
  Height = 64;
  Bits = tileMemory;
  RowOffsets = rowTables().rows64;
}

void TVChannel::FreeData() {
  Bits = nullptr;
  RowOffsets = nullptr;
  Width = 0;
  Height = 0;
}

// ---- CBlockImage ----------------------------------------------------------------

CBlockImage::CBlockImage(int32_t w, int32_t h, int32_t bytesPerPixel, int32_t shift, uint32_t background)
    : bpp_(bytesPerPixel), shift_(shift), edge_(1 << shift), background_(background) {
  allocated_ = allocate(w, h);
}

CBlockImage::~CBlockImage() { clear(); }

bool CBlockImage::allocate(int32_t w, int32_t h) {
  // An image without pixels has no tiles and is not valid; sizes beyond the
  // plane limit are refused before anything is sized from them.
  if (w <= 0 || h <= 0 || !planeSizeAllowed(w, h)) return false;
  const int32_t cols = (w + edge_ - 1) >> shift_;
  const int32_t rws = (h + edge_ - 1) >> shift_;
  try {
    tiles_.assign(static_cast<size_t>(cols) * static_cast<size_t>(rws), STileRec{background_, 0});
  } catch (const std::bad_alloc&) {
    return false;
  }
  width_ = w;
  height_ = h;
  columns_ = cols;
  rows_ = rws;
  return true;
}

bool CBlockImage::setSize(int32_t w, int32_t h) {
  clear();
  allocated_ = allocate(w, h);
  return allocated_;
}

void CBlockImage::clear() {
  for (STileRec& t : tiles_) decommitTile(t);
  std::vector<STileRec>().swap(tiles_);
  width_ = height_ = columns_ = rows_ = 0;
  allocated_ = false;
  commitFailed_ = false;
}

void CBlockImage::fillTileMemory(uint8_t* mem, uint32_t uniform) const {
  if (bpp_ == 4) {
    auto* p = reinterpret_cast<uint32_t*>(mem);
    for (int i = 0; i < 1024; ++i) p[i] = uniform;
  } else {
    std::memset(mem, static_cast<int>(uniform & 0xFFu), CTilePool::kBlockBytes);
  }
}

void CBlockImage::noteCommitFailure() {
  if (!commitFailed_) debugOutput(kCommitFailed);
  commitFailed_ = true;
}

bool CBlockImage::commitTileForOverwrite(STileRec& t) {
  if (t.block) return true;
  const uint32_t handle = tilePool().allocBlock();
  if (handle == 0) {
    noteCommitFailure();
    return false;
  }
  t.block = handle;
  return true;
}

bool CBlockImage::commitTile(STileRec& t) {
  if (t.block) return true;
  if (!commitTileForOverwrite(t)) return false;
  fillTileMemory(tilePool().address(t.block), t.uniform);
  return true;
}

bool CBlockImage::commitRect(SRectXYWH rect) {
  if (!clipXYWH(rect)) return true;
  for (int32_t r = rect.Y >> shift_; r <= (rect.Y + rect.Height - 1) >> shift_; ++r)
    for (int32_t c = rect.X >> shift_; c <= (rect.X + rect.Width - 1) >> shift_; ++c)
      if (tileAtIndex(c, r, true) == nullptr) return false;
  return true;
}

bool CBlockImage::decommitTile(STileRec& t) {
  if (t.block) {
    tilePool().freeBlock(t.block);
    t.block = 0;
  }
  return true;
}

STileRec* CBlockImage::tileAtIndex(int32_t column, int32_t row, bool commit) {
  if (!insideGrid(column, row, columns_, rows_)) return nullptr;
  STileRec& t = tiles_[static_cast<size_t>(column) + static_cast<size_t>(columns_) * static_cast<size_t>(row)];
  if (commit && !commitTile(t)) return nullptr;
  return &t;
}

const STileRec* CBlockImage::tileAtIndex(int32_t column, int32_t row) const {
  if (!insideGrid(column, row, columns_, rows_)) return nullptr;
  return &tiles_[static_cast<size_t>(column) + static_cast<size_t>(columns_) * static_cast<size_t>(row)];
}

bool CBlockImage::clipRect(TRect& r) const {
  const int64_t x0 = std::max<int64_t>(r.Left, 0), y0 = std::max<int64_t>(r.Top, 0);
  const int64_t x1 = std::min<int64_t>(r.Right, width_), y1 = std::min<int64_t>(r.Bottom, height_);
  if (x0 >= x1 || y0 >= y1) return false;
  r = {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1), static_cast<int32_t>(y1)};
  return true;
}

bool CBlockImage::clipXYWH(SRectXYWH& r) const { return clipXYWHToSize(r, size()); }

void CBlockImage::alignToTiles(SRectXYWH& r) const {
  const int64_t m = edge_ - 1;
  const int64_t x0 = static_cast<int64_t>(r.X) & ~m, y0 = static_cast<int64_t>(r.Y) & ~m;
  const int64_t x1 = (static_cast<int64_t>(r.X) + r.Width + m) & ~m;
  const int64_t y1 = (static_cast<int64_t>(r.Y) + r.Height + m) & ~m;
  r = {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(std::max<int64_t>(x1 - x0, 0)),
       static_cast<int32_t>(std::max<int64_t>(y1 - y0, 0))};
}

int64_t CBlockImage::committedTiles() const {
  int64_t n = 0;
  for (const STileRec& t : tiles_) n += t.block != 0;
  return n;
}

bool CBlockImage::copyTile(STileRec& dst, const CBlockImage& srcImage, const STileRec& src) {
  if (src.block) {
    if (!dst.block) {
      // No fill: every byte is overwritten at once.
      const uint32_t handle = tilePool().allocBlock();
      if (handle == 0) {
        noteCommitFailure();
        return false;
      }
      dst.block = handle;
    }
    std::memcpy(tileMemory(dst), srcImage.tileMemory(src), CTilePool::kBlockBytes);
  } else {
    decommitTile(dst);
  }
  dst.uniform = src.uniform;
  return true;
}

bool CBlockImage::assignTiles(const CBlockImage& src) {
  if (!allocated_ || !src.allocated_ || src.bpp_ != bpp_ || src.shift_ != shift_) return false;
  if (&src == this) return true;
  const int32_t cols = std::min(columns_, src.columns_), rws = std::min(rows_, src.rows_);
  for (int32_t r = 0; r < rws; ++r)
    for (int32_t c = 0; c < cols; ++c)
      if (!copyTile(*tileAtIndex(c, r, false), src, *src.tileAtIndex(c, r))) return false;
  return true;
}

bool CBlockImage::assignTilesRect(const CBlockImage& src, SRectXYWH srcRect, TPoint dstPoint) {
  if (!allocated_ || !src.allocated_ || src.bpp_ != bpp_ || src.shift_ != shift_) return false;
  if (!clipCopyRect(size(), src.size(), dstPoint, srcRect)) return false;
  src.alignToTiles(srcRect);
  const int32_t sc0 = srcRect.X >> shift_, sr0 = srcRect.Y >> shift_;
  const int32_t dc0 = dstPoint.X >> shift_, dr0 = dstPoint.Y >> shift_;
  const int32_t nc = srcRect.Width >> shift_, nr = srcRect.Height >> shift_;
  for (int32_t j = 0; j < nr; ++j) {
    for (int32_t i = 0; i < nc; ++i) {
      const STileRec* s = src.tileAtIndex(sc0 + i, sr0 + j);
      STileRec* d = tileAtIndex(dc0 + i, dr0 + j, false);
      if (s == nullptr || d == nullptr || s == d) continue;
      if (!copyTile(*d, src, *s)) return false;
    }
  }
  return true;
}

int32_t CBlockImage::compact() {
  int32_t n = 0;
  for (STileRec& t : tiles_) {
    if (!t.block) continue;
    const auto* p = reinterpret_cast<const uint32_t*>(tileMemory(t));
    if (!tileWordsEqual(p)) continue;
    const uint32_t v = p[0];
    if (bpp_ == 1) {
      // Every byte equal: the word repeats its low byte.
      if (v != (v & 0xFFu) * 0x01010101u) continue;
      t.uniform = v & 0xFFu;
    } else {
      t.uniform = v;
    }
    decommitTile(t);
    ++n;
  }
  return n;
}

namespace {

// Union of the full rectangles of the tiles for which keep(tile) holds; False
// when none does.
template <class F>
bool boundsOfTiles(const CBlockImage& img, TRect& r, F&& keep) {
  const int32_t e = img.tileEdge();
  bool any = false;
  for (int32_t row = 0; row < img.rows(); ++row) {
    for (int32_t col = 0; col < img.columns(); ++col) {
      if (!keep(*img.tileAtIndex(col, row))) continue;
      const TRect t{col * e, row * e, (col + 1) * e, (row + 1) * e};
      if (!any) {
        r = t;
        any = true;
      } else {
        unionRect(r, t);
      }
    }
  }
  return any;
}

}  // namespace

// ---- CBlockVMTC -----------------------------------------------------------------

CBlockVMTC::CBlockVMTC(int32_t w, int32_t h) : CBlockImage(w, h, 4, kShift, kBackground) {}

std::unique_ptr<CBlockVMTC> CBlockVMTC::CreateCopy(const CBlockVMTC& src) {
  try {
    auto img = std::make_unique<CBlockVMTC>(src.width(), src.height());
    if (img->isValid() && !img->assignTiles(src)) return nullptr;
    return img;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

uint32_t CBlockVMTC::getPixel(int32_t x, int32_t y) const {
  const STileRec* t = tileAt(x, y);
  if (t == nullptr) return 0;
  if (!t->block) return t->uniform;
  return tilePixels(*t)[((y & 31) << 5) + (x & 31)];
}

uint32_t CBlockVMTC::getPixelClamped(int32_t x, int32_t y) const {
  if (!allocated_) return 0;
  TPoint p{x, y};
  clampPointToSize(p, size());
  return getPixel(p.X, p.Y);
}

uint32_t CBlockVMTC::getPixelOrBackground(int32_t x, int32_t y) const {
  if (!insideGrid(x, y, width_, height_)) return background_;
  return getPixel(x, y);
}

uint8_t CBlockVMTC::getPixelGrey(int32_t x, int32_t y) const { return static_cast<uint8_t>(pixelGrey(getPixel(x, y))); }

uint32_t* CBlockVMTC::pixelPtr(int32_t x, int32_t y) {
  if (!insideGrid(x, y, width_, height_)) return nullptr;
  STileRec* t = tileAt(x, y, true);
  if (t == nullptr) return nullptr;
  return tilePixels(*t) + ((y & 31) << 5) + (x & 31);
}

bool CBlockVMTC::setPixel(int32_t x, int32_t y, uint32_t v) {
  uint32_t* p = pixelPtr(x, y);
  if (p == nullptr) return false;
  *p = v;
  return true;
}

uint32_t* CBlockVMTC::pixelPtrClamped(int32_t x, int32_t y) {
  if (!allocated_) return nullptr;
  TPoint p{x, y};
  clampPointToSize(p, size());
  return pixelPtr(p.X, p.Y);
}

bool CBlockVMTC::tileHasAlpha(const STileRec& t) const {
  if (!t.block) return (t.uniform >> 24) != 0;
  const uint32_t* p = tilePixels(t);
  uint32_t acc = 0;
  for (int i = 0; i < 1024; ++i) acc |= p[i];
  return (acc >> 24) != 0;
}

bool CBlockVMTC::getOpaqueBounds(TRect& r) const {
  return boundsOfTiles(*this, r, [this](const STileRec& t) { return tileHasAlpha(t); });
}

// ---- CBlockVCH ------------------------------------------------------------------

CBlockVCH::CBlockVCH(int32_t w, int32_t h) : CBlockImage(w, h, 1, kShift, 0) {}

uint8_t CBlockVCH::getPixel(int32_t x, int32_t y) const {
  const STileRec* t = tileAt(x, y);
  if (t == nullptr) return 0;
  if (!t->block) return static_cast<uint8_t>(t->uniform);
  return tileMemory(*t)[((y & 63) << 6) + (x & 63)];
}

uint8_t CBlockVCH::getPixelClamped(int32_t x, int32_t y) const {
  if (!allocated_) return 0;
  TPoint p{x, y};
  clampPointToSize(p, size());
  return getPixel(p.X, p.Y);
}

uint8_t CBlockVCH::getPixelOr0(int32_t x, int32_t y) const {
  if (!insideGrid(x, y, width_, height_)) return 0;
  return getPixel(x, y);
}

uint8_t* CBlockVCH::pixelPtr(int32_t x, int32_t y) {
  if (!insideGrid(x, y, width_, height_)) return nullptr;
  STileRec* t = tileAt(x, y, true);
  if (t == nullptr) return nullptr;
  return tileMemory(*t) + ((y & 63) << 6) + (x & 63);
}

bool CBlockVCH::setPixel(int32_t x, int32_t y, uint8_t v) {
  uint8_t* p = pixelPtr(x, y);
  if (p == nullptr) return false;
  *p = v;
  return true;
}

uint8_t* CBlockVCH::pixelPtrClamped(int32_t x, int32_t y) {
  if (!allocated_) return nullptr;
  TPoint p{x, y};
  clampPointToSize(p, size());
  return pixelPtr(p.X, p.Y);
}

bool CBlockVCH::getTileBounds(TRect& r) const {
  return boundsOfTiles(*this, r, [](const STileRec& t) { return t.block || (t.uniform & 0xFFu) != 0; });
}

bool CBlockVCH::getBounds(TRect& r) const {
  // The exact box of the non-zero pixels inside the image, gathered tile by
  // tile: a uniform non-zero tile adds its visible part, a committed one the
  // box of its non-zero visible bytes.
  bool any = false;
  TRect box{};
  auto add = [&](int32_t l, int32_t t, int32_t rr, int32_t b) {
    if (!any) {
      box = {l, t, rr, b};
      any = true;
    } else {
      unionRect(box, TRect{l, t, rr, b});
    }
  };
  for (int32_t row = 0; row < rows_; ++row) {
    for (int32_t col = 0; col < columns_; ++col) {
      const STileRec& t = *tileAtIndex(col, row);
      const int32_t x0 = col * kEdge, y0 = row * kEdge;
      const int32_t cw = clippedWidth(t), ch = clippedHeight(t);
      if (!t.block) {
        if ((t.uniform & 0xFFu) != 0) add(x0, y0, x0 + cw, y0 + ch);
        continue;
      }
      const uint8_t* p = tileMemory(t);
      int32_t l = kEdge, tp = kEdge, rr = -1, b = -1;
      for (int32_t y = 0; y < ch; ++y) {
        const uint8_t* line = p + (y << 6);
        for (int32_t x = 0; x < cw; ++x) {
          if (line[x] == 0) continue;
          l = std::min(l, x);
          rr = std::max(rr, x);
          tp = std::min(tp, y);
          b = y;
        }
      }
      if (rr >= 0) add(x0 + l, y0 + tp, x0 + rr + 1, y0 + b + 1);
    }
  }
  if (any) r = box;
  return any;
}

}  // namespace pg
