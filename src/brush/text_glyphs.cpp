#include "brush/text_glyphs.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "brush/text_raster.h"
#include "core/blend_arith.h"
#include "core/plane_ops.h"
#include "core/saturate.h"
#include "platform/text_codec.h"

namespace pg {

const std::array<uint8_t, 65> kGreyLevelTable = [] {
  std::array<uint8_t, 65> t{};
  for (uint32_t v = 0; v <= 64; ++v) t[v] = uint8_t(v * 255 >> 6);
  return t;
}();

namespace {

bool dimsDescribe(const SGlyphDims& d, size_t size) {
  return d.Width > 0 && d.Height > 0 && d.Pitch >= d.Width && size_t(d.Pitch) * size_t(d.Height) == size;
}

// The part of the rectangle (x, y, w, h) inside the channel; false when none.
bool clipToChannel(const TChannel& channel, int64_t x, int64_t y, int64_t w, int64_t h, SRectXYWH& rect) {
  rect = SRectXYWH{};
  const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(x + w, channel.Width), bottom = std::min<int64_t>(y + h, channel.Height);
  if (left >= right || top >= bottom) return false;
  rect = {int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top)};
  return true;
}

bool canBlit(const TChannel& channel, const SGlyphDims& dims, GlyphPixelOp op, const uint8_t* bits) {
  return channel.IsAllocated() && bits != nullptr && op != nullptr && dims.Width > 0 && dims.Height > 0 &&
         dims.Pitch >= dims.Width;
}

void unite(SRectXYWH& a, const SRectXYWH& b) {
  const int32_t left = std::min(a.X, b.X), top = std::min(a.Y, b.Y);
  const int32_t right = std::max(a.X + a.Width, b.X + b.Width), bottom = std::max(a.Y + a.Height, b.Y + b.Height);
  a = {left, top, right - left, bottom - top};
}

}  // namespace

// ---- the glyph source ------------------------------------------------------------------

std::unique_ptr<CFontGlyph> CFontGlyph::Create(void* owner, const SFontSpec& font) {
  std::unique_ptr<CFontFace> face = CFontFace::open(logFontOf(font));
  if (!face) return nullptr;
  std::unique_ptr<CFontGlyph> g(new CFontGlyph());
  g->Owner = owner;
  g->Font = font;
  g->Vertical = !font.FaceName.empty() && font.FaceName.front() == '@';
  g->face_ = std::move(face);
  return g;
}

bool CFontGlyph::getGlyph(char32_t charCode, std::vector<uint8_t>& bits) {
  bits.clear();
  CharCode = charCode;
  Metrics = SGlyphMetrics{};
  if (auto it = kept_.find(charCode); it != kept_.end()) {
    Metrics = it->second.Metrics;
    bits = it->second.Bits;
    return true;
  }
  SGlyphOutline outline;
  if (!face_->glyphOutline(charCode, outline)) return false;
  Metrics.CellIncX = saturateTo<int16_t>(outline.AdvanceX);
  Metrics.CellIncY = saturateTo<int16_t>(outline.AdvanceY);
  SGlyphBox box;
  if (!rasterGlyph(outline, box, bits)) return false;
  Metrics.BlackBoxX = uint32_t(box.Dims.Width);
  Metrics.BlackBoxY = uint32_t(box.Dims.Height);
  Metrics.GlyphOriginX = box.OriginX;
  Metrics.GlyphOriginY = box.OriginY;
  for (uint8_t& b : bits) b = kGreyLevelTable[std::min<uint8_t>(b, 64)];
  if (keptBytes_ + bits.size() <= kGlyphCacheBytes) {
    try {
      kept_.emplace(charCode, SKept{Metrics, bits});
      keptBytes_ += bits.size();
    } catch (const std::bad_alloc&) {
      // Not kept: the glyph is simply made again when it recurs.
    }
  }
  return true;
}

bool CFontGlyph::bitmapDims(size_t size, int32_t& pitch, int32_t& rows) const {
  pitch = int32_t((Metrics.BlackBoxX + 3) & ~3u);
  rows = pitch > 0 ? int32_t(size / size_t(pitch)) : 0;
  return pitch > 0 && rows > 0 && uint32_t(rows) == Metrics.BlackBoxY && size_t(pitch) * size_t(rows) == size;
}

void CFontGlyph::advance(int64_t& x, int64_t& y, int32_t extraY, int32_t extraX) const {
  if (Metrics.CellIncX > 0) x += int64_t(Metrics.CellIncX) + extraX;
  if (Metrics.CellIncY > 0) y += int64_t(Metrics.CellIncY) + extraY;
}

void CFontGlyph::originOffset(int64_t& x, int64_t& y) const {
  x += Metrics.GlyphOriginX;
  y -= Metrics.GlyphOriginY;
}

void CFontGlyph::verticalOffset(int64_t& x, int64_t& y) const {
  x += int64_t(Metrics.GlyphOriginY) - int64_t(Metrics.BlackBoxY);
  y += Metrics.GlyphOriginX;
}

// ---- drawing glyphs ----------------------------------------------------------------------

bool blitGlyph(TChannel& channel, int64_t x, int64_t y, const SGlyphDims& dims, GlyphPixelOp op, uint32_t value,
               SRectXYWH& rect, const uint8_t* bits) {
  rect = SRectXYWH{};
  if (!canBlit(channel, dims, op, bits)) return false;
  if (!clipToChannel(channel, x, y, dims.Width, dims.Height, rect)) return false;
  for (int32_t cy = rect.Y; cy < rect.Y + rect.Height; ++cy) {
    const uint8_t* src = bits + size_t(cy - y) * size_t(dims.Pitch) + size_t(rect.X - x);
    uint8_t* dst = channel.pixelAt(rect.X, cy);
    for (int32_t i = 0; i < rect.Width; ++i) op(dst + i, value, src[i]);
  }
  return true;
}

bool blitGlyphVertical(TChannel& channel, int64_t x, int64_t y, const SGlyphDims& dims, GlyphPixelOp op,
                       uint32_t value, SRectXYWH& rect, const uint8_t* bits) {
  rect = SRectXYWH{};
  if (!canBlit(channel, dims, op, bits)) return false;
  // Turned: the glyph's rows become columns, its last row the left one.
  if (!clipToChannel(channel, x, y, dims.Height, dims.Width, rect)) return false;
  for (int32_t cy = rect.Y; cy < rect.Y + rect.Height; ++cy) {
    const size_t srcCol = size_t(cy - y);
    uint8_t* dst = channel.pixelAt(rect.X, cy);
    for (int32_t i = 0; i < rect.Width; ++i) {
      const size_t srcRow = size_t(dims.Height - 1 - (rect.X + i - x));
      op(dst + i, value, bits[srcRow * size_t(dims.Pitch) + srcCol]);
    }
  }
  return true;
}

bool emboldenGlyph(SGlyphDims& dims, std::vector<uint8_t>& bits) {
  if (!dimsDescribe(dims, bits.size()) || dims.Width >= INT32_MAX - 4) return false;
  SGlyphDims wide{dims.Width + 1, dims.Height, (dims.Width + 1 + 3) & ~3};
  std::vector<uint8_t> out;
  try {
    out.assign(size_t(wide.Pitch) * size_t(wide.Height), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int32_t y = 0; y < dims.Height; ++y) {
    const uint8_t* src = bits.data() + size_t(y) * size_t(dims.Pitch);
    uint8_t* dst = out.data() + size_t(y) * size_t(wide.Pitch);
    std::memcpy(dst, src, size_t(dims.Width));
    // Combined with itself one pixel to the right, keeping the larger.
    for (int32_t x = 1; x <= dims.Width; ++x) dst[x] = std::max(dst[x], src[x - 1]);
  }
  dims = wide;
  bits = std::move(out);
  return true;
}

// ---- laying out a text -----------------------------------------------------------------------

int32_t renderText(STextJob& job) {
  job.Bounds = SRectXYWH{};
  std::unique_ptr<CFontGlyph> glyph = CFontGlyph::Create(job.Owner, job.Font);
  if (!glyph) return -1;
  job.LogFont = logFontOf(job.Font);
  if (job.Target == nullptr || !job.Target->IsAllocated()) return -1;
  TChannel& channel = *job.Target;
  const STextMetrics& tm = glyph->face().metrics();

  const int64_t lineHeight = int64_t(tm.Height) + tm.ExternalLeading + job.LineSpacing;
  fill(channel, 0);
  const bool vertical = glyph->Vertical;
  // 64-bit pen: spacings come from the user and from recordings and may be
  // anything; the sum of many of them must not wrap.
  int64_t penX = job.X, penY = job.Y;
  const int64_t startX = job.X, startY = job.Y;
  const int32_t extraBold = glyph->isBold() ? 1 : 0;

  int32_t count = 0;
  std::vector<uint8_t> bits;
  // The text ends at its first zero byte, as stored texts do.
  const std::string_view text = std::string_view(job.Text).substr(0, job.Text.find('\0'));
  size_t pos = 0;
  while (pos < text.size()) {
    const char32_t c = nextUtf8(text, pos);
    if (c == '\r' || c == '\n') {
      if (c == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
      if (vertical) {
        penX -= lineHeight;
        penY = startY;
      } else {
        penY += lineHeight;
        penX = startX;
      }
      continue;
    }
    const bool got = glyph->getGlyph(c, bits);
    SGlyphDims dims;
    if (got && !bits.empty() && glyph->bitmapDims(bits.size(), dims.Pitch, dims.Height)) {
      dims.Width = int32_t(glyph->Metrics.BlackBoxX);
      bool drawable = true;
      if (glyph->isBold()) drawable = emboldenGlyph(dims, bits);
      if (drawable) {
        int64_t x = penX, y = penY;
        SRectXYWH rect;
        bool drawn;
        if (vertical) {
          glyph->verticalOffset(x, y);
          drawn = blitGlyphVertical(channel, x, y, dims, lerpByte, 255, rect, bits.data());
        } else {
          glyph->originOffset(x, y);
          drawn = blitGlyph(channel, x, y, dims, lerpByte, 255, rect, bits.data());
        }
        if (drawn) {
          if (count == 0) {
            job.Bounds = rect;
          } else {
            unite(job.Bounds, rect);
          }
          ++count;
        }
      }
    }
    const int32_t extraX = extraBold + job.CharSpacing;
    if (vertical) {
      glyph->advance(penY, penX, job.LineSpacing, extraX);
    } else {
      glyph->advance(penX, penY, job.LineSpacing, extraX);
    }
  }
  return count;
}

}  // namespace pg
