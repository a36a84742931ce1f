#pragma once
// The paper colour of a document.
//
// Inside the document the paper colour is held in pixel order, 0x00RRGGBB
// (blue in the low byte), because composition fills the background with it
// pixel for pixel. Colours arrive in two orders: colour values (`TColor`,
// colour dialogs, RGB triples of old recordings) carry red in the low byte,
// while the pixel-order value is what event packets, the native file header
// and files of version 1.1 store. PaperColor makes every crossing explicit:
// it can only be built from, and read as, a named order.
#include <cstdint>

namespace pg {

class PaperColor {
 public:
  // White, the colour of a new document.
  constexpr PaperColor() = default;

  // From a pixel-order value 0x00RRGGBB; the top byte is dropped.
  static constexpr PaperColor fromPixel(uint32_t pixel) { return PaperColor(pixel & 0x00FFFFFFu); }
  // From a colour value 0x00BBGGRR (red in the low byte); the top byte is dropped.
  static constexpr PaperColor fromColor(uint32_t color) {
    return PaperColor(((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu));
  }
  static constexpr PaperColor fromRgb(uint8_t r, uint8_t g, uint8_t b) {
    return PaperColor((uint32_t{r} << 16) | (uint32_t{g} << 8) | b);
  }

  // Pixel order 0x00RRGGBB: what composition, event packets and files use.
  constexpr uint32_t pixel() const { return value_; }
  // Colour-value order 0x00BBGGRR: what colour dialogs and `TColor` users take.
  constexpr uint32_t color() const {
    return ((value_ & 0xFFu) << 16) | (value_ & 0xFF00u) | ((value_ >> 16) & 0xFFu);
  }
  constexpr uint8_t red() const { return static_cast<uint8_t>(value_ >> 16); }
  constexpr uint8_t green() const { return static_cast<uint8_t>(value_ >> 8); }
  constexpr uint8_t blue() const { return static_cast<uint8_t>(value_); }
  constexpr bool isWhite() const { return value_ == 0x00FFFFFFu; }

  friend constexpr bool operator==(PaperColor a, PaperColor b) { return a.value_ == b.value_; }

 private:
  constexpr explicit PaperColor(uint32_t pixel) : value_(pixel) {}
  uint32_t value_ = 0x00FFFFFFu;
};

}  // namespace pg
