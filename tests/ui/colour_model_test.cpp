#include "ui/colour_model.h"

#include <gtest/gtest.h>

#include "ui/ui_colour.h"

namespace pg {
namespace {

constexpr float kTwoPi = 6.28318530717958647692f;

TEST(ColourModel, RecordComparison) {
  SColorRec a, b;
  EXPECT_EQ(compareColorRec(a, b), 0);
  b.Space = cpHSV;
  EXPECT_EQ(compareColorRec(a, b), 1);
  b.L = 0.5f;
  EXPECT_EQ(compareColorRec(a, b), 2);
  TColorManager m;
  int events = 0;
  m.OnChange = [&] { ++events; };
  m.setColorRec(b);
  EXPECT_EQ(compareColorRec(m.rec(), b), 0);
  EXPECT_EQ(events, 0) << "a record is stored as given, silently";
}

TEST(ColourModel, GreyKeepsItsHueAcrossModels) {
  TColorManager m;
  m.setHSV(2.0f, 0.0f, 0.5f);
  EXPECT_EQ(m.rec().HL, 2.0f);
  EXPECT_FLOAT_EQ(m.rec().R, 0.5f);
  m.setHSL(1.0f, 0.0f, 0.25f);
  EXPECT_EQ(m.rec().H, 1.0f);
  m.setChannels(cpGRB, 1.0f, 0.0f, 0.0f);  // model order, whatever the space's letters
  EXPECT_EQ(m.packedColor(), 0x00FF0000u);
}

TEST(ColourModel, PackingRoundTrip) {
  for (uint32_t v = 0; v < 256; ++v) {
    const uint32_t grey = packRgba(v, v, v, 255);
    EXPECT_EQ(colorRecToRgba(rgbaToColorRec(grey), 255), grey) << v;
  }
  for (uint32_t c : {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF123456u})
    EXPECT_EQ(colorRecToRgba(rgbaToColorRec(c), 255), c) << std::hex << c;
}

TEST(ColourModel, AreaPickerMappings) {
  const SAreaPickerLayout l = areaPickerLayout(170, 152, 11);
  ASSERT_EQ(l.imageWidth, 170);
  ASSERT_EQ(l.imageHeight, 152);
  EXPECT_EQ(l.area, (TRect{5, 5, 147, 147}));
  EXPECT_EQ(l.slider, (TRect{155, 5, 166, 147}));
  SColorRec c;
  c.Space = cpHSV;
  struct {
    uint8_t space;
    int x, y;
    int hRole, vRole;
    float h, v;
  } cases[] = {{cpHSV, 146, 5, 1, 2, 1, 1},  {cpHSV, 5, 146, 1, 2, 0, 0},   {cpSHV, 146, 80, 0, 2, kTwoPi, -1},
               {cpRGB, 500, -9, 1, 2, 1, 1}, {cpLHS, 5, 5, 0, 1, 0, 1}};
  for (const auto& t : cases) {
    const auto ch = areaPickAt(l, t.space, c, t.x, t.y);
    EXPECT_FLOAT_EQ(ch[t.hRole], t.h) << int(t.space);
    if (t.v >= 0) {
      EXPECT_FLOAT_EQ(ch[t.vRole], t.v) << int(t.space);
    }
  }
  EXPECT_FLOAT_EQ(sliderPickAt(l, cpHSV, c, 5)[0], kTwoPi);
  EXPECT_FLOAT_EQ(sliderPickAt(l, cpHSV, c, 146)[0], 0);
  EXPECT_FLOAT_EQ(sliderPickAt(l, cpVHS, c, 5)[2], 1);
}

TEST(ColourModel, MarkersFollowTheChannels) {
  const SAreaPickerLayout l = areaPickerLayout(170, 152, 11);
  TColorManager m;
  m.setHSV(0.0f, 1.0f, 1.0f);
  const int32_t d = 152 - 10 - 1;
  EXPECT_EQ(areaMarkerAt(l, cpHSV, m.rec()), (TPoint{d, 0}));
  EXPECT_EQ(sliderMarkerAt(l, cpHSV, m.rec()), (TPoint{155, d}));
  m.setHSV(-kTwoPi / 4, 0.0f, 0.0f);  // a negative hue is the same angle
  EXPECT_EQ(areaMarkerAt(l, cpSHV, m.rec()).X, static_cast<int32_t>(d * 0.75f + 0.5f));
  // The marker stays on the picture for every pick.
  for (int y : {-20, 5, 70, 146, 300}) {
    TColorManager n;
    const auto ch = areaPickAt(l, cpSHL, n.rec(), 100, y);
    n.setChannels(cpSHL, ch[0], ch[1], ch[2]);
    const TPoint p = areaMarkerAt(l, cpSHL, n.rec());
    EXPECT_GE(p.Y, 0);
    EXPECT_LE(p.Y, d);
  }
}

TEST(ColourModel, SliderPickerMappings) {
  const SSliderPickerLayout l = sliderPickerLayout(170, 100, 9, 7);
  EXPECT_EQ(l.sliders[0], (TRect{4, 5, 166, 21}));
  EXPECT_EQ(l.sliders[2], (TRect{4, 43, 166, 59}));
  EXPECT_EQ(l.spectrum, (TRect{4, 62, 166, 96}));
  // A control smaller than three sliders keeps the three sliders.
  const SSliderPickerLayout small = sliderPickerLayout(4, 20, 9, 7);
  EXPECT_EQ(small.imageWidth, 10);
  EXPECT_EQ(small.imageHeight, 57);
  EXPECT_EQ(small.originY, (20 - 57) / 2);
  EXPECT_EQ(small.spectrum.Bottom, small.spectrum.Top);
  EXPECT_EQ(sliderPickerPartAt(small, 5, 70), -1);

  TColorManager m;
  m.setRGB(0.2f, 0.4f, 0.6f);
  struct {
    uint8_t space;
    int32_t k, x;
    float want;
  } cases[] = {{cpRGB, 0, 4, 0.0f},     {cpRGB, 1, 165, 1.0f},       {cpRGB, 2, 500, 1.0f},
               {cpRGB, 2, -30, 0.0f},   {cpHSV, 0, 165, kTwoPi},     {cpHSV, 1, 4 + 161 / 2, 80.0f / 161},
               {cpHSL, 0, 4, 0.0f},     {cpHSL, 2, 165, 1.0f}};
  for (const auto& t : cases) {
    const auto ch = sliderChannelAt(l, t.space, m.rec(), t.k, t.x);
    EXPECT_FLOAT_EQ(ch[static_cast<size_t>(t.k)], t.want) << int(t.space) << " " << t.k << " " << t.x;
    // The other two channels stay as they were.
    const auto before = modelChannels(m.rec(), t.space);
    for (int32_t j = 0; j < 3; ++j)
      if (j != t.k) {
        EXPECT_FLOAT_EQ(ch[static_cast<size_t>(j)], before[static_cast<size_t>(j)]);
      }
  }
  struct {
    int32_t x, y, part;
  } parts[] = {{4, 5, 0}, {165, 20, 0}, {4, 21, -1}, {100, 24, 1}, {100, 50, 2}, {100, 62, 3}, {3, 62, -1}};
  for (const auto& t : parts) EXPECT_EQ(sliderPickerPartAt(l, t.x, t.y), t.part) << t.x << "," << t.y;
}

TEST(ColourModel, SliderPickerMarkersAndSpectrum) {
  const SSliderPickerLayout l = sliderPickerLayout(170, 100, 9, 7);
  TColorManager m;
  m.setRGB(0.0f, 1.0f, 0.5f);
  EXPECT_EQ(sliderPickerMarkerAt(l, cpRGB, m.rec(), 0), (TPoint{4 - 4, 21 - 7}));
  EXPECT_EQ(sliderPickerMarkerAt(l, cpRGB, m.rec(), 1), (TPoint{4 + 161 - 4, 40 - 7}));
  EXPECT_EQ(sliderPickerMarkerAt(l, cpRGB, m.rec(), 2).X, 4 + 81 - 4);
  m.setHSV(-kTwoPi / 4, 1.0f, 1.0f);  // a negative hue sits three quarters along
  EXPECT_EQ(sliderPickerMarkerAt(l, cpHSV, m.rec(), 0).X, 4 + static_cast<int32_t>(161 * 0.75f + 0.5f) - 4);

  TMemoryGraphic g(1, 1, 0);
  paintSliderPicker(g, l, cpRGB, m.rec(), false);
  ASSERT_EQ(g.width(), 170);
  // The spectrum's top-left is pure red at full value; a point left of the
  // strip reads its edge, one below it its bottom row (black).
  EXPECT_EQ(spectrumColourAt(l, g, -50, l.spectrum.Top) & 0xFFFFFFu, 0xFF0000u);
  EXPECT_EQ(spectrumColourAt(l, g, 50, 1000) & 0xFFFFFFu, 0u);
  // Without follow-colour the red slider runs from black to pure red.
  EXPECT_EQ(g.scanLine(10)[l.sliders[0].Left] & 0xFFFFFFu, 0u);
  EXPECT_EQ(g.scanLine(10)[l.sliders[0].Right - 1] & 0xFFFFFFu, 0xFF0000u);
}

}  // namespace
}  // namespace pg
