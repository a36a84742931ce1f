#include "toolwin/colour_panel_model.h"

#include <algorithm>
#include <cmath>

#include "ui/colour_model.h"

namespace pg {

namespace {

constexpr double kPi = 3.14159265358979323846;

int32_t rounded(double v) { return static_cast<int32_t>(std::trunc(v + 0.5)); }

}  // namespace

SChannelFields channelFieldsOf(uint32_t pixel, uint8_t space) {
  SChannelFields f;
  SColorRec c = rgbaToColorRec(pixel);
  if (space <= 2) {
    f.labels = {'R', 'G', 'B'};
    f.minimum = {0, 0, 0};
    f.maximum = {255, 255, 255};
    f.values = {rounded(c.R * 255.0), rounded(c.G * 255.0), rounded(c.B * 255.0)};
    return f;
  }
  bool hsv = space <= 5;
  f.labels = {'H', 'S', hsv ? 'V' : 'L'};
  f.minimum = {-999, 0, 0};
  f.maximum = {999, 100, 100};
  f.hueWraps = true;
  double h = hsv ? c.H : c.HL, s = hsv ? c.S : c.SL, third = hsv ? c.V : c.L;
  f.values = {wrapHueDegrees(rounded(h * 180.0 / kPi)), rounded(s * 100.0), rounded(third * 100.0)};
  return f;
}

int32_t wrapHueDegrees(int32_t degrees) { return ((degrees % 360) + 360) % 360; }

uint32_t pixelOfChannelFields(uint8_t space, double c1, double c2, double c3) {
  TColorManager m;
  auto unit = [](double v, double scale) { return static_cast<float>(std::clamp(v / scale, 0.0, 1.0)); };
  if (space <= 2) {
    m.setRGB(unit(c1, 255.0), unit(c2, 255.0), unit(c3, 255.0));
  } else {
    float hue = static_cast<float>(wrapHueDegrees(static_cast<int32_t>(std::lround(c1))) * kPi / 180.0);
    if (space <= 5)
      m.setHSV(hue, unit(c2, 100.0), unit(c3, 100.0));
    else
      m.setHSL(hue, unit(c2, 100.0), unit(c3, 100.0));
  }
  return colorRecToRgba(m.rec(), 255);
}

uint16_t samplerSpaces(uint8_t kind) {
  return kind == CColourSampler::kSlider ? kSliderPickerSpaces : kind == CColourSampler::kArea ? kAreaPickerSpaces : 0;
}

std::string colourSpaceCaption(uint8_t kind, uint8_t space, bool withAccelerator) {
  static constexpr const char* kArea[] = {"R/GB", "G/RB", "B/RG", "H/SV", "S/HV", "V/HS", "H/SL", "S/HL", "L/HS"};
  static constexpr const char* kSlider[] = {"RGB", "RGB", "RGB", "HSV", "HSV", "HSV", "HSL", "HSL", "HSL"};
  static constexpr char kKeys[] = {'R', 'G', 'B', 'U', 'S', 'V', 'E', 'T', 'L'};
  if (space > 8) return {};
  std::string caption = kind == CColourSampler::kSlider ? kSlider[space] : kArea[space];
  if (withAccelerator) caption += std::string("(&") + kKeys[space] + ")";
  return caption;
}

void CColourSampler::setSpace(uint8_t space) {
  if (space > 8 || !(samplerSpaces(kind_) & (1u << space))) return;
  space_[kind_] = space;
}

bool CColourSampler::kindButtonClick(uint8_t kind, bool alt) {
  if (kind > kSlider) return false;
  if (kind != kind_) {
    kind_ = kind;
    return true;
  }
  if (alt) stepSpace();
  return false;
}

void CColourSampler::setKind(uint8_t kind) {
  if (kind > kSlider) return;
  kind_ = kind;
}

void CColourSampler::stepSpace() {
  uint8_t& s = space_[kind_];
  if (kind_ == kArea)
    s = static_cast<uint8_t>((s + 1) % 9);
  else
    s = static_cast<uint8_t>((s / 3 + 1) % 3 * 3);
}

void CColourSampler::unpack(uint32_t value) {
  uint8_t kind = static_cast<uint8_t>((value >> 16) & 0xFF);
  uint8_t space = static_cast<uint8_t>(value & 0xFF);
  setKind(kind <= kSlider ? kind : kArea);
  setSpace(space);
}

}  // namespace pg
