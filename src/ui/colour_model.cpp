#include "ui/colour_model.h"

#include <algorithm>
#include <cmath>

#include "ui/appearance_manager.h"
#include "ui/ui_colour.h"

namespace pg {

namespace {
constexpr float kTwoPiF = 6.28318530717958647692f;

uint8_t byteOf(float v) { return static_cast<uint8_t>(std::trunc(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f)); }
}  // namespace

int compareColorRec(const SColorRec& a, const SColorRec& b) {
  const bool floatsEqual = a.R == b.R && a.G == b.G && a.B == b.B && a.H == b.H && a.S == b.S && a.V == b.V &&
                           a.HL == b.HL && a.SL == b.SL && a.L == b.L;
  if (!floatsEqual) return 2;
  return a.Space == b.Space ? 0 : 1;
}

namespace {

// The one colour in all three models.
void storeModels(SColorRec& rec, const SUiRgbF& rgb, const SUiHsv& hsv, const SUiHsl& hsl) {
  rec.R = rgb.R;
  rec.G = rgb.G;
  rec.B = rgb.B;
  rec.H = hsv.H;
  rec.S = hsv.S;
  rec.V = hsv.V;
  rec.HL = hsl.H;
  rec.SL = hsl.S;
  rec.L = hsl.L;
}

}  // namespace

void TColorManager::setRGB(float r, float g, float b) {
  if (r == rec_.R && g == rec_.G && b == rec_.B) return;
  storeModels(rec_, SUiRgbF{r, g, b}, uiRgbToHsv(r, g, b), uiRgbToHsl(r, g, b, rec_.HL));
  if (OnChange) OnChange();
}

void TColorManager::setHSV(float h, float s, float v) {
  if (h == rec_.H && s == rec_.S && v == rec_.V) return;
  const SUiRgbF rgb = uiHsvToRgbF(h, s, v);
  SUiHsl hsl = uiRgbToHsl(rgb.R, rgb.G, rgb.B, h);
  hsl.H = h;  // a grey keeps its hue
  storeModels(rec_, rgb, SUiHsv{h, s, v}, hsl);
  if (OnChange) OnChange();
}

void TColorManager::setHSL(float h, float s, float l) {
  if (h == rec_.HL && s == rec_.SL && l == rec_.L) return;
  const SUiRgbF rgb = uiHslToRgbF(h, s, l);
  SUiHsv hsv = uiRgbToHsv(rgb.R, rgb.G, rgb.B);
  hsv.H = h;
  storeModels(rec_, rgb, hsv, SUiHsl{h, s, l});
  if (OnChange) OnChange();
}

void TColorManager::setChannels(uint8_t space, float x, float y, float z) {
  if (space <= cpBRG)
    setRGB(x, y, z);
  else if (space <= cpVHS)
    setHSV(x, y, z);
  else
    setHSL(x, y, z);
}

void TColorManager::setColorRec(const SColorRec& r) {
  if (compareColorRec(r, rec_) == 1) {
    rec_.Space = r.Space;
    return;
  }
  rec_ = r;
}

uint32_t TColorManager::packedColor() const { return colorRecToRgba(rec_, 0); }

uint32_t colorRecToRgba(const SColorRec& r, uint8_t alpha) { return packRgba(byteOf(r.B), byteOf(r.G), byteOf(r.R), alpha); }

SColorRec rgbaToColorRec(uint32_t colour) {
  TColorManager m;
  m.setRGB(uiRed(colour) * (1.0f / 255.0f), uiGreen(colour) * (1.0f / 255.0f), uiBlue(colour) * (1.0f / 255.0f));
  SColorRec r = m.rec();
  r.Space = cpRGB;
  return r;
}

bool isHsvFamily(uint8_t space) { return space >= cpHSV && space <= cpVHS; }
bool isHslFamily(uint8_t space) { return space >= cpHSL; }

std::array<float, 3> modelChannels(const SColorRec& r, uint8_t space) {
  if (isHsvFamily(space)) return {r.H, r.S, r.V};
  if (isHslFamily(space)) return {r.HL, r.SL, r.L};
  return {r.R, r.G, r.B};
}

std::array<int, 3> spaceRoles(uint8_t space) {
  switch (space % 3) {
    case 0:
      return {0, 1, 2};
    case 1:
      return {1, 0, 2};
    default:
      return {2, 0, 1};
  }
}

namespace {
bool hueFamily(uint8_t space) { return space >= cpHSV; }
// A channel as 0..1 (a hue divided by 2pi and brought into 0..1).
float unitOf(uint8_t space, int channel, float v) {
  if (!(hueFamily(space) && channel == 0)) return v;
  float u = v / kTwoPiF;
  if (u < 0.0f) u += 1.0f;
  if (u > 1.0f) u -= 1.0f;
  return u;
}
int32_t wrapInto(int32_t p, int32_t d) {
  if (p < 0) return p + d;
  if (p > d) return p - d;
  return p;
}
}  // namespace

SAreaPickerLayout areaPickerLayout(int32_t width, int32_t height, int32_t markerWidth) {
  SAreaPickerLayout l;
  const int32_t side = std::max(std::min(width, height + 18), 19);
  const int32_t h = side - 18;
  l.imageWidth = side;
  l.imageHeight = h;
  l.originX = (width - side) / 2;
  l.originY = (height - h) / 2;
  l.marker = markerWidth;
  const int32_t m = markerWidth / 2;
  l.area = {m, m, m + (h - 2 * m), m + (h - 2 * m)};
  l.slider = {h + 3, m, h + 3 + 11, m + (h - 2 * m)};
  return l;
}

std::array<float, 3> areaPickAt(const SAreaPickerLayout& l, uint8_t space, const SColorRec& c, int32_t x, int32_t y) {
  std::array<float, 3> ch = modelChannels(c, space);
  const std::array<int, 3> roles = spaceRoles(space);
  const float w = static_cast<float>(l.area.Right - l.area.Left - 1);
  const float h = static_cast<float>(l.area.Bottom - l.area.Top - 1);
  const float dx = static_cast<float>(x - l.area.Left);
  const float dy = static_cast<float>(y - l.area.Left);  // the area is square
  ch[roles[2]] = h > 0 ? std::clamp(1.0f - dy / h, 0.0f, 1.0f) : 0.0f;
  const bool hue = hueFamily(space) && roles[1] == 0;
  if (w <= 0)
    ch[roles[1]] = 0.0f;
  else
    ch[roles[1]] = hue ? std::clamp(dx * kTwoPiF / w, 0.0f, kTwoPiF) : std::clamp(dx / w, 0.0f, 1.0f);
  return ch;
}

std::array<float, 3> sliderPickAt(const SAreaPickerLayout& l, uint8_t space, const SColorRec& c, int32_t y) {
  std::array<float, 3> ch = modelChannels(c, space);
  const int role = spaceRoles(space)[0];
  const float h = static_cast<float>(l.slider.Bottom - l.slider.Top - 1);
  const float dy = static_cast<float>(y - l.slider.Top);
  if (h <= 0)
    ch[role] = 0.0f;
  else if (hueFamily(space) && role == 0)
    ch[role] = std::clamp(kTwoPiF - dy * kTwoPiF / h, 0.0f, kTwoPiF);
  else
    ch[role] = std::clamp(1.0f - dy / h, 0.0f, 1.0f);
  return ch;
}

TPoint areaMarkerAt(const SAreaPickerLayout& l, uint8_t space, const SColorRec& c) {
  const std::array<float, 3> ch = modelChannels(c, space);
  const std::array<int, 3> roles = spaceRoles(space);
  const int32_t m = l.marker / 2;
  const float d = static_cast<float>(l.imageHeight - 2 * m - 1);
  const float hx = unitOf(space, roles[1], ch[roles[1]]);
  const float vy = ch[roles[2]];
  const auto di = static_cast<int32_t>(d);
  return {wrapInto(static_cast<int32_t>(std::trunc(d * hx + 0.5f)), di),
          wrapInto(static_cast<int32_t>(std::trunc(d - d * vy + 0.5f)), di)};
}

TPoint sliderMarkerAt(const SAreaPickerLayout& l, uint8_t space, const SColorRec& c) {
  const std::array<float, 3> ch = modelChannels(c, space);
  const int role = spaceRoles(space)[0];
  const int32_t m = l.marker / 2;
  const float d = static_cast<float>(l.imageHeight - 2 * m - 1);
  const float s = unitOf(space, role, ch[role]);
  return {l.slider.Left, wrapInto(static_cast<int32_t>(std::trunc(d - d * s + 0.5f)), static_cast<int32_t>(d))};
}

void paintAreaPicker(TMemoryGraphic& g, const SAreaPickerLayout& l, uint8_t space, const SColorRec& c, bool follow) {
  const TUiSysColors& sys = uiSysColors();
  if (!g.renew(l.imageWidth, l.imageHeight, sys.btnFace)) return;
  const std::array<int, 3> roles = spaceRoles(space);
  const std::array<float, 3> ch = modelChannels(c, space);
  const TChannelOp cp = copyChannel;
  if (space <= cpBRG) {
    // Corners: the slider channel held, horizontal 0..1 left to right,
    // vertical 1..0 top to bottom.
    auto corner = [&](float hx, float vy) {
      std::array<float, 3> v = ch;
      v[roles[1]] = hx;
      v[roles[2]] = vy;
      return packRgba(byteOf(v[2]), byteOf(v[1]), byteOf(v[0]), 255);
    };
    g.gradientCorners(l.area, corner(0, 1), corner(1, 1), corner(1, 0), corner(0, 0), cp, cp);
    std::array<float, 3> top = follow ? ch : std::array<float, 3>{0, 0, 0};
    std::array<float, 3> bottom = top;
    top[roles[0]] = 1.0f;
    bottom[roles[0]] = 0.0f;
    g.gradientLinear(l.slider, packRgba(byteOf(top[2]), byteOf(top[1]), byteOf(top[0]), 255),
                     packRgba(byteOf(bottom[2]), byteOf(bottom[1]), byteOf(bottom[0]), 255), kGradDown, cp, cp);
  } else {
    const bool hsv = isHsvFamily(space);
    const float fullV = hsv ? 1.0f : 0.5f;
    const float h = ch[0], s = follow ? ch[1] : 1.0f, v = follow ? ch[2] : fullV;
    switch (space % 3) {
      case 0:  // hue slider, saturation x value area
        g.gradientSaturationValue(l.area, kGradRight, ch[0], 1.0f, kGradUp, cp, cp, hsv);
        g.gradientHue(l.slider, kGradUp, 0.0f, s, v, 1.0f, cp, cp, hsv);
        break;
      case 1:  // saturation slider, hue x value area
        g.gradientHueValue(l.area, kGradRight, 0.0f, ch[1], 1.0f, kGradUp, cp, cp, hsv);
        g.gradientSaturation(l.slider, kGradUp, follow ? h : 0.0f, v, 1.0f, cp, cp, hsv);
        break;
      default:  // value slider, hue x saturation area
        g.gradientHueSaturation(l.area, kGradRight, 0.0f, ch[2], 1.0f, kGradUp, cp, cp, hsv);
        g.gradientValue(l.slider, kGradUp, follow ? h : 0.0f, s, 1.0f, cp, cp, hsv);
        break;
    }
  }
  for (const TRect& r : {l.area, l.slider}) {
    g.frameRect({r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1}, 1, sys.windowFrame, cp, cp);
    g.frameBevel({r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2}, 1, sys.btnHighlight, sys.btnShadow, cp, cp);
  }
}

SSliderPickerLayout sliderPickerLayout(int32_t width, int32_t height, int32_t markerWidth, int32_t markerHeight) {
  SSliderPickerLayout l;
  l.markerWidth = markerWidth;
  l.markerHeight = markerHeight;
  l.imageWidth = std::max(width, markerWidth + 1);
  l.imageHeight = std::max(height, 3 * kSliderPitch);
  l.originX = (width - l.imageWidth) / 2;
  l.originY = (height - l.imageHeight) / 2;
  const int32_t m = markerWidth / 2;
  const int32_t w = std::max(l.imageWidth - 2 * m, 1);
  for (int32_t k = 0; k < 3; ++k) {
    const int32_t top = k * kSliderPitch + 5;
    l.sliders[static_cast<size_t>(k)] = {m, top, m + w, top + kSliderPitch - 3};
  }
  const int32_t top = 3 * kSliderPitch + 5;
  l.spectrum = {m, top, m + w, top + std::max(l.imageHeight - 3 * kSliderPitch - 9, 0)};
  return l;
}

int32_t sliderPickerPartAt(const SSliderPickerLayout& l, int32_t x, int32_t y) {
  auto inside = [&](const TRect& r) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; };
  for (int32_t k = 0; k < 3; ++k)
    if (inside(l.sliders[static_cast<size_t>(k)])) return k;
  return inside(l.spectrum) ? 3 : -1;
}

std::array<float, 3> sliderChannelAt(const SSliderPickerLayout& l, uint8_t space, const SColorRec& c, int32_t k,
                                     int32_t x) {
  std::array<float, 3> ch = modelChannels(c, space);
  if (k < 0 || k > 2) return ch;
  const TRect& r = l.sliders[static_cast<size_t>(k)];
  const float span = static_cast<float>(r.Right - r.Left - 1);
  const float v = span > 0 ? std::clamp(static_cast<float>(x - r.Left) / span, 0.0f, 1.0f) : 0.0f;
  ch[static_cast<size_t>(k)] = hueFamily(space) && k == 0 ? v * kTwoPiF : v;
  return ch;
}

TUiColor spectrumColourAt(const SSliderPickerLayout& l, const TMemoryGraphic& image, int32_t x, int32_t y) {
  const TRect& r = l.spectrum;
  if (r.Right <= r.Left || r.Bottom <= r.Top) return 0;
  const int32_t px = std::clamp(x, r.Left, r.Right - 1);
  const int32_t py = std::clamp(y, r.Top, r.Bottom - 1);
  const uint32_t* line = image.scanLine(py);
  return line && px < image.width() ? line[px] : 0;
}

TPoint sliderPickerMarkerAt(const SSliderPickerLayout& l, uint8_t space, const SColorRec& c, int32_t k) {
  const size_t i = static_cast<size_t>(std::clamp(k, 0, 2));
  const TRect& r = l.sliders[i];
  const float v = unitOf(space, static_cast<int>(i), modelChannels(c, space)[i]);
  const auto x = static_cast<int32_t>(std::trunc(static_cast<float>(r.Right - r.Left - 1) * v + 0.5f));
  return {r.Left + x - l.markerWidth / 2, r.Bottom - l.markerHeight};
}

void paintSliderPicker(TMemoryGraphic& g, const SSliderPickerLayout& l, uint8_t space, const SColorRec& c,
                       bool follow) {
  const TUiSysColors& sys = uiSysColors();
  if (!g.renew(l.imageWidth, l.imageHeight, sys.btnFace)) return;
  const TChannelOp cp = copyChannel;
  const std::array<float, 3> ch = modelChannels(c, space);
  if (!hueFamily(space)) {
    for (size_t k = 0; k < 3; ++k) {
      std::array<float, 3> lo = follow ? ch : std::array<float, 3>{0, 0, 0};
      std::array<float, 3> hi = lo;
      lo[k] = 0.0f;
      hi[k] = 1.0f;
      g.gradientLinear(l.sliders[k], packRgba(byteOf(lo[2]), byteOf(lo[1]), byteOf(lo[0]), 255),
                       packRgba(byteOf(hi[2]), byteOf(hi[1]), byteOf(hi[0]), 255), kGradRight, cp, cp);
    }
  } else {
    const bool hsv = isHsvFamily(space);
    const float s = follow ? ch[1] : 1.0f;
    const float v = follow ? ch[2] : (hsv ? 1.0f : 0.5f);
    const float h = follow ? ch[0] : 0.0f;
    g.gradientHue(l.sliders[0], kGradRight, 0.0f, s, v, 1.0f, cp, cp, hsv);
    g.gradientSaturation(l.sliders[1], kGradRight, h, v, 1.0f, cp, cp, hsv);
    g.gradientValue(l.sliders[2], kGradRight, h, s, 1.0f, cp, cp, hsv);
  }
  if (l.spectrum.Bottom > l.spectrum.Top)
    g.gradientHueValue(l.spectrum, kGradRight, 0.0f, 1.0f, 1.0f, kGradUp, cp, cp, true);
  for (const TRect& r : {l.sliders[0], l.sliders[1], l.sliders[2], l.spectrum}) {
    if (r.Bottom <= r.Top) continue;
    g.frameRect({r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1}, 1, sys.windowFrame, cp, cp);
    g.frameBevel({r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2}, 1, sys.btnHighlight, sys.btnShadow, cp, cp);
  }
}

}  // namespace pg
