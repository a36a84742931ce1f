#pragma once
// The colour panel without its widgets: the three channel fields in the
// sampler's colour space (R, G, B 0..255, or hue in degrees with saturation
// and value or lightness in per cent), the way back from the fields to a
// colour, and the sampler's two kinds (area or sliders), each remembering
// its own colour space.
#include <array>
#include <cstdint>
#include <string>

namespace pg {

struct SChannelFields {
  std::array<char, 3> labels{};
  std::array<int32_t, 3> values{};
  std::array<int32_t, 3> minimum{};
  std::array<int32_t, 3> maximum{};
  bool hueWraps = false;  // the first field wraps over 0..360
};

// The fields of a pixel (blue low) in colour space 0..8.
SChannelFields channelFieldsOf(uint32_t pixel, uint8_t space);
// A hue in degrees brought into 0..359 (370 gives 10, -10 gives 350).
[[nodiscard]] int32_t wrapHueDegrees(int32_t degrees);
// The pixel (alpha 255) of the three field values in the space.
[[nodiscard]] uint32_t pixelOfChannelFields(uint8_t space, double c1, double c2, double c3);

// The stored sampler preference: kind in the third byte, space in the low one.
inline uint32_t packColorSampler(uint8_t kind, uint8_t space) { return (static_cast<uint32_t>(kind) << 16) | space; }

// The spaces a sampler kind offers (bit n for space n): the area all nine,
// the sliders RGB, HSV and HSL.
uint16_t samplerSpaces(uint8_t kind);
// The caption of a space's menu item: the area kind names the slider
// channel and the area's two ("H/SV"), the slider kind the model ("HSV").
// The colour view's own menu adds an accelerator to each.
std::string colourSpaceCaption(uint8_t kind, uint8_t space, bool withAccelerator);
// The order of the space items in the menus.
inline constexpr std::array<uint8_t, 9> kColourSpaceMenuOrder = {3, 4, 5, 6, 7, 8, 0, 1, 2};

class CColourSampler {
 public:
  static constexpr uint8_t kArea = 0, kSlider = 1;
  uint8_t kind() const { return kind_; }
  uint8_t space() const { return space_[kind_]; }
  // Ignored for a space the current kind does not offer.
  void setSpace(uint8_t space);
  // Switches the kind, keeping the space each kind had.
  void setKind(uint8_t kind);
  // Alt+click on the kind's own button: the next space (area: 0..8 in
  // turn; sliders: RGB, HSV, HSL).
  void stepSpace();
  // A click on the area (slider) button: switches to that kind, or, with
  // Alt on the button of the kind already shown, steps its space. True when
  // the kind changed (the picker is to be replaced).
  bool kindButtonClick(uint8_t kind, bool alt);
  // The preference: kind << 16 | space.
  uint32_t packed() const { return packColorSampler(kind_, space()); }
  void unpack(uint32_t value);

  // The sliders coloured after the current colour (the preference stores
  // the opposite, "bars fixed").
  bool barColour() const { return barColour_; }
  void setBarColour(bool on) { barColour_ = on; }
  void toggleBarColour() { barColour_ = !barColour_; }

 private:
  uint8_t kind_ = kArea;
  std::array<uint8_t, 2> space_{3, 0};
  bool barColour_ = false;
};

}  // namespace pg
