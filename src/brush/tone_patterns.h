#pragma once
// Tone pattern objects: a repeating 8-bit tile that weights paint when a
// stroke's tone switch is on, and fills shapes and previews.
//   CPatObj    the base (an id from a process-wide counter, the canvas
//              position of the tile origin, size, scale, mode, name)
//   CPat8      a stored 8-bit tile (from a pattern file or an image)
//   CPat8Tone  a tile generated from an SToneAttr by a CToneMaker
// A pattern's value at a canvas pixel is valueAt (0 = no paint, 255 = full).
#include <cstdint>
#include <memory>
#include <string>

#include "brush/screen_tone.h"
#include "core/planes.h"
#include "core/rect.h"

namespace pg {

// a + b modulo 2^32: canvas positions plus origins that may come from a
// recording, without signed overflow.
inline int32_t wrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t wrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// The pixel mode of generated tones.
inline constexpr int32_t kToneMode = 18;

class CPatObj {
 public:
  // Create(width, mode, height): id from the counter, scale 100, not ready.
  CPatObj(int32_t width, int32_t mode, int32_t height);
  virtual ~CPatObj() = default;
  CPatObj(const CPatObj&) = delete;
  CPatObj& operator=(const CPatObj&) = delete;

  // 0: the address of tile byte (x, y) wrapped into the tile; nullptr
  // without a tile.
  virtual uint8_t* pixelAddr(int32_t x, int32_t y) const = 0;
  // 1: the pattern's value 0..255 at canvas pixel (x, y).
  virtual uint8_t valueAt(int32_t x, int32_t y) const = 0;
  // 2: width and height.
  virtual void getSize(int32_t& w, int32_t& h) const {
    w = Width;
    h = Height;
  }
  // 3: the allowed scale in percent: 1000 div min(width, height) .. 200
  // (100 .. 100 for an empty tile).
  virtual void getScaleRange(int32_t& minScale, int32_t& maxScale) const;
  // 4: the name.
  virtual void setName(const std::string& name) { Name = name; }
  // 5: copies the tile into the plane at (0, 0); false without one.
  [[nodiscard]] virtual bool copyTo(TChannel& /*plane*/) const { return false; }
  // 6: writes 255 - tile value into the colour bytes of each pixel of the
  // rectangle (alpha kept), the tile read from the rectangle's origin.
  virtual void renderTo(TMTC& /*image*/, TRect /*rect*/) const {}
  // 7: clips the rectangle to the image, then renderTo once per tile-sized
  // block, left to right and top to bottom.
  virtual void fillPlane(TMTC& image, TRect rect) const;
  // 8: fillPlane.
  virtual void fillTiled(TMTC& image, TRect rect) const { fillPlane(image, rect); }

  // Ready := flag when the tile plane holds pixels.
  void setIndex(bool flag);
  bool isTone() const { return IsTone != 0; }

  uint8_t Ready = 0;
  uint32_t Id = 0;
  uint8_t IsTone = 0;   // the kind byte: 0 bitmap tone, 1 generated tone
  int32_t OffsetX = 0;  // the canvas position of the tile origin
  int32_t OffsetY = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Scale = 100;  // percent; the pattern's value in recordings
  int32_t Mode = 0;
  std::string Name;
  TChannel* Image = nullptr;  // the tile plane
};

// The id counter of patterns starts at 1 again (tests).
void resetPatIdCounter();

class CPat8 : public CPatObj {
 public:
  // Create(width, mode, height): a tile of that size filled with 0.
  CPat8(int32_t width, int32_t mode, int32_t height);

  uint8_t* pixelAddr(int32_t x, int32_t y) const override;
  // Tile byte at ((offset x + x) mod width, (offset y + y) mod height),
  // negative remainders wrapped; 255 - v when inverted; 0 for an empty tile.
  uint8_t valueAt(int32_t x, int32_t y) const override { return tileValueAt(x, y); }
  bool copyTo(TChannel& plane) const override;
  void renderTo(TMTC& image, TRect rect) const override;

  // Copies the other pattern's tile into this one (resizing); false when the
  // resize fails.
  [[nodiscard]] bool assign(const CPat8& other);
  // The tile := a copy of the plane; false when the resize fails.
  [[nodiscard]] bool setFromChannel(const TChannel& plane);

  // The pattern's switch: values are inverted.
  uint8_t Invert = 0;
  TChannel Tile;

 protected:
  uint8_t tileValueAt(int32_t x, int32_t y) const {
    const int64_t w = Tile.Width;
    const int64_t h = Tile.Height;
    if (w <= 0 || h <= 0 || Tile.Bits == nullptr) return 0;
    int64_t tx = (static_cast<int64_t>(OffsetX) + x) % w;
    int64_t ty = (static_cast<int64_t>(OffsetY) + y) % h;
    if (tx < 0) tx += w;
    if (ty < 0) ty += h;
    const uint8_t v = Tile.getPixel(static_cast<int32_t>(tx), static_cast<int32_t>(ty));
    return Invert != 0 ? static_cast<uint8_t>(255 - v) : v;
  }
  void syncSize() {
    Width = Tile.Width;
    Height = Tile.Height;
  }
};

class CPat8Tone : public CPat8 {
 public:
  // Create: a 64 x 64 tile of mode 18, a tone, SToneAttr.init, no maker.
  CPat8Tone();

  // The maker's value at (x - offset x, y - offset y), inverted when set.
  // When the maker was last set up for another tone (a shared maker), it is
  // set up for this one first; when that fails the stored tile answers.
  uint8_t valueAt(int32_t x, int32_t y) const override {
    if (Maker == nullptr || !ensureMaker()) return tileValueAt(x, y);
    const uint8_t v = Maker->valueAt(wrapSub(x, OffsetX), wrapSub(y, OffsetY));
    return Invert != 0 ? static_cast<uint8_t>(255 - v) : v;
  }
  // 100 x 100 when ready.
  void getSize(int32_t& w, int32_t& h) const override;
  // The cell stays within 3.5 .. 127.5 pixels: trunc(3.5 x ruling x 100 /
  // resolution) .. trunc(127.5 x ruling x 100 / resolution); 100 .. 100 when
  // resolution or ruling is not positive.
  void getScaleRange(int32_t& minScale, int32_t& maxScale) const override;
  // The name, also in the attributes.
  void setName(const std::string& name) override;
  // renderTo from the maker's values (the tile when there is no maker).
  void renderTo(TMTC& image, TRect rect) const override;
  // renderTo over the clipped rectangle at once.
  void fillPlane(TMTC& image, TRect rect) const override;
  // The clipped rectangle tiled with the tile as opaque grey (value 0 a
  // transparent pixel), then its colour bytes inverted.
  void fillTiled(TMTC& image, TRect rect) const override;

  // False without attributes. Borrows the maker when one is given, else
  // creates and owns one. Without a plane, or with force, the maker is set
  // up for the attributes (failure answers false). The attributes are
  // copied, ready is set, and the tile is filled from the maker (no plane)
  // or copied from the plane.
  [[nodiscard]] bool build(const SToneAttr* attr, CToneMaker* maker, const TChannel* plane, bool force);

  const SToneAttr& attributes() const { return Attr; }
  CToneMaker* maker() const { return Maker; }
  bool ownsMaker() const { return OwnedMaker != nullptr; }

 private:
  // Sets the maker up for this tone's attributes when it is set up for
  // others; false when that fails.
  [[nodiscard]] bool ensureMaker() const;

  SToneAttr Attr;
  CToneMaker* Maker = nullptr;
  std::unique_ptr<CToneMaker> OwnedMaker;
  mutable bool MakerFailed = false;
};

}  // namespace pg
