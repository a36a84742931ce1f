#include "brush/tone_patterns.h"

#include <algorithm>
#include <cstring>

#include "core/fixed_point.h"

namespace pg {

namespace {
uint32_t gPatIdCounter = 1;

// trunc(v) into int32, saturating; NaN gives 0.
int32_t truncSat(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// The part of rect inside the image; false when none.
bool clipToImage(const TMTC& image, TRect& rect) { return isPlaneReady(&image) && image.clipRect(rect); }
}  // namespace

void resetPatIdCounter() { gPatIdCounter = 1; }

// -------------------------------------------------------------------- CPatObj

CPatObj::CPatObj(int32_t width, int32_t mode, int32_t height)
    : Id(gPatIdCounter++), Width(width), Height(height), Mode(mode) {}

void CPatObj::getScaleRange(int32_t& minScale, int32_t& maxScale) const {
  const int32_t side = std::min(Width, Height);
  if (side <= 0) {
    minScale = maxScale = 100;
    return;
  }
  minScale = 1000 / side;
  maxScale = 200;
}

void CPatObj::fillPlane(TMTC& image, TRect rect) const {
  if (!clipToImage(image, rect) || Width <= 0 || Height <= 0) return;
  for (int32_t y = rect.Top; y < rect.Bottom; y += Height) {
    for (int32_t x = rect.Left; x < rect.Right; x += Width) {
      const TRect block{x, y, std::min(rect.Right, x + Width), std::min(rect.Bottom, y + Height)};
      renderTo(image, block);
      if (rect.Right - x <= Width) break;
    }
    if (rect.Bottom - y <= Height) break;
  }
}

void CPatObj::setIndex(bool flag) { Ready = isPlaneReady(Image) && flag ? 1 : 0; }

// ---------------------------------------------------------------------- CPat8

CPat8::CPat8(int32_t width, int32_t mode, int32_t height) : CPatObj(width, mode, height) {
  if (width > 0 && height > 0 && Tile.Resize(width, height)) std::memset(Tile.Bits, 0, static_cast<size_t>(Tile.ByteSize()));
  syncSize();
  Image = &Tile;
}

uint8_t* CPat8::pixelAddr(int32_t x, int32_t y) const {
  if (!isPlaneReady(&Tile) || Tile.Width <= 0 || Tile.Height <= 0) return nullptr;
  int64_t tx = x % static_cast<int64_t>(Tile.Width);
  int64_t ty = y % static_cast<int64_t>(Tile.Height);
  if (tx < 0) tx += Tile.Width;
  if (ty < 0) ty += Tile.Height;
  return Tile.pixelAt(static_cast<int32_t>(tx), static_cast<int32_t>(ty));
}

bool CPat8::copyTo(TChannel& plane) const {
  if (!isPlaneReady(&plane) || !isPlaneReady(&Tile)) return true;
  const int32_t w = std::min(plane.Width, Tile.Width);
  const int32_t h = std::min(plane.Height, Tile.Height);
  for (int32_t y = 0; y < h; ++y) std::memcpy(plane.pixelAt(0, y), Tile.pixelAt(0, y), static_cast<size_t>(w));
  return true;
}

void CPat8::renderTo(TMTC& image, TRect rect) const {
  if (!clipToImage(image, rect) || !isPlaneReady(&Tile)) return;
  // The tile from the rectangle's origin; a rectangle larger than the tile
  // (callers give tile-sized blocks) is cut to it.
  const int32_t right = std::min<int64_t>(rect.Right, static_cast<int64_t>(rect.Left) + Tile.Width);
  const int32_t bottom = std::min<int64_t>(rect.Bottom, static_cast<int64_t>(rect.Top) + Tile.Height);
  for (int32_t y = rect.Top; y < bottom; ++y) {
    uint32_t* dst = image.pixelAt(0, y);
    const uint8_t* src = Tile.pixelAt(0, y - rect.Top);
    for (int32_t x = rect.Left; x < right; ++x) {
      const uint32_t v = 255u - src[x - rect.Left];
      dst[x] = (dst[x] & 0xFF000000u) | (v * 0x010101u);
    }
  }
}

bool CPat8::assign(const CPat8& other) { return setFromChannel(other.Tile); }

bool CPat8::setFromChannel(const TChannel& plane) {
  if (&plane == &Tile) return true;
  if (!Tile.Resize(plane.Width, plane.Height)) {
    syncSize();
    return false;
  }
  syncSize();
  if (isPlaneReady(&plane))
    for (int32_t y = 0; y < plane.Height; ++y)
      std::memcpy(Tile.pixelAt(0, y), plane.pixelAt(0, y), static_cast<size_t>(plane.Width));
  return true;
}

// ------------------------------------------------------------------ CPat8Tone

CPat8Tone::CPat8Tone() : CPat8(64, kToneMode, 64) {
  IsTone = 1;
  Attr.init();
}

bool CPat8Tone::ensureMaker() const {
  if (Maker->isSetFor(Attr)) return true;
  if (MakerFailed) return false;
  if (Maker->setupFor(Attr)) return true;
  MakerFailed = true;
  return false;
}

void CPat8Tone::getSize(int32_t& w, int32_t& h) const {
  if (Ready != 0) {
    w = h = 100;
    return;
  }
  CPat8::getSize(w, h);
}

void CPat8Tone::getScaleRange(int32_t& minScale, int32_t& maxScale) const {
  const double res = Attr.Resolution;
  const double ruling = Attr.Ruling;
  if (!(res > 0.0) || !(ruling > 0.0)) {
    minScale = maxScale = 100;
    return;
  }
  minScale = truncSat(3.5 * ruling * 100.0 / res);
  maxScale = truncSat(127.5 * ruling * 100.0 / res);
}

void CPat8Tone::setName(const std::string& name) {
  Name = name;
  Attr.Name = name;
}

void CPat8Tone::renderTo(TMTC& image, TRect rect) const {
  if (Maker == nullptr || !ensureMaker()) {
    CPat8::renderTo(image, rect);
    return;
  }
  if (!clipToImage(image, rect)) return;
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    uint32_t* dst = image.pixelAt(0, y);
    for (int32_t x = rect.Left; x < rect.Right; ++x) {
      const uint32_t v = 255u - Maker->valueAt(x - rect.Left, y - rect.Top);
      dst[x] = (dst[x] & 0xFF000000u) | (v * 0x010101u);
    }
  }
}

void CPat8Tone::fillPlane(TMTC& image, TRect rect) const {
  if (Maker == nullptr) {
    CPat8::fillPlane(image, rect);
    return;
  }
  renderTo(image, rect);
}

void CPat8Tone::fillTiled(TMTC& image, TRect rect) const {
  if (!clipToImage(image, rect) || !isPlaneReady(&Tile)) return;
  const int32_t w = Tile.Width;
  const int32_t h = Tile.Height;
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    uint32_t* dst = image.pixelAt(0, y);
    const uint8_t* src = Tile.pixelAt(0, (y - rect.Top) % h);
    for (int32_t x = rect.Left; x < rect.Right; ++x) {
      const uint32_t v = src[(x - rect.Left) % w];
      const uint32_t p = v == 0 ? 0u : 0xFF000000u | (v * 0x010101u);
      dst[x] = p ^ 0x00FFFFFFu;
    }
  }
}

bool CPat8Tone::build(const SToneAttr* attr, CToneMaker* maker, const TChannel* plane, bool force) {
  if (attr == nullptr) return false;
  if (maker != nullptr) {
    Maker = maker;
    OwnedMaker.reset();
  } else {
    if (!OwnedMaker) OwnedMaker = std::make_unique<CToneMaker>();
    Maker = OwnedMaker.get();
  }
  if (plane == nullptr || force) {
    if (!Maker->setupFor(*attr)) return false;
  }
  Attr = *attr;
  Name = Attr.Name;
  MakerFailed = false;
  Ready = 1;
  if (plane == nullptr) {
    Maker->fillPlane(Tile, 0, 0);
    return true;
  }
  return setFromChannel(*plane);
}

}  // namespace pg
