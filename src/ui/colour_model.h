#pragma once
// The colour model of the colour pickers: one colour held in RGB, HSV and HSL
// at once (32-bit floats, hues in radians) with a colour space that says which
// channel a picker shows as its slider and which two as its area, plus the
// picker geometry: the area picker's layout, its pointer mappings and marker
// places, and the painting of its area and slider.
#include <array>
#include <cstdint>
#include <functional>

#include "core/rect.h"
#include "ui/memory_graphic.h"

namespace pg {

// First letter: the slider's channel; second: the area's horizontal channel;
// third: its vertical channel.
enum TColorPickerSpace : uint8_t { cpRGB, cpGRB, cpBRG, cpHSV, cpSHV, cpVHS, cpHSL, cpSHL, cpLHS };
inline constexpr uint8_t kColorSpaceCount = 9;

struct SColorRec {
  uint8_t Space = cpRGB;
  float R = 0, G = 0, B = 0;
  float H = 0, S = 0, V = 0;      // HSV
  float HL = 0, SL = 0, L = 0;    // HSL
};
// 0 equal, 1 only the space differs, 2 a float differs (compared exactly).
int compareColorRec(const SColorRec& a, const SColorRec& b);

class TColorManager {
 public:
  const SColorRec& rec() const { return rec_; }
  void setRGB(float r, float g, float b);
  void setHSV(float h, float s, float v);
  void setHSL(float h, float s, float l);
  // The channels in the model's own order, whatever the space's permutation.
  void setChannels(uint8_t space, float x, float y, float z);
  // Stores the record as given: no conversion and no OnChange.
  void setColorRec(const SColorRec& r);
  // Blue in the low byte, then green, red; the fourth byte 0.
  uint32_t packedColor() const;
  std::function<void()> OnChange;

 private:
  SColorRec rec_;
};

uint32_t colorRecToRgba(const SColorRec& r, uint8_t alpha);
SColorRec rgbaToColorRec(uint32_t colour);

// The three channels of the space's model (RGB, HSV or HSL) in model order.
std::array<float, 3> modelChannels(const SColorRec& r, uint8_t space);
// The model index of the slider, horizontal and vertical channel.
std::array<int, 3> spaceRoles(uint8_t space);
bool isHsvFamily(uint8_t space);
bool isHslFamily(uint8_t space);

// ---- the area picker ------------------------------------------------------------

struct SAreaPickerLayout {
  int32_t imageWidth = 0, imageHeight = 0;
  int32_t originX = 0, originY = 0;  // of the image in the control
  TRect area;                       // image coordinates
  TRect slider;
  int32_t marker = 11;              // marker graphic width
};
SAreaPickerLayout areaPickerLayout(int32_t width, int32_t height, int32_t markerWidth);

// What a press or drag at an image point does: the new channels (model order)
// for the area (target 1) or the slider (target 2).
std::array<float, 3> areaPickAt(const SAreaPickerLayout& l, uint8_t space, const SColorRec& c, int32_t x,
                                int32_t y);
std::array<float, 3> sliderPickAt(const SAreaPickerLayout& l, uint8_t space, const SColorRec& c, int32_t y);
// Marker places (top-left, image coordinates).
TPoint areaMarkerAt(const SAreaPickerLayout& l, uint8_t space, const SColorRec& c);
TPoint sliderMarkerAt(const SAreaPickerLayout& l, uint8_t space, const SColorRec& c);

// Paints the area and the slider with their frames into the image (sized to
// the layout); `follow`: the slider is drawn at the current other channels.
void paintAreaPicker(TMemoryGraphic& g, const SAreaPickerLayout& l, uint8_t space, const SColorRec& c, bool follow);

// ---- the slider picker ----------------------------------------------------------

// Three one-channel sliders (RGB, HSV or HSL) above a spectrum strip.
inline constexpr int32_t kSliderPitch = 19;
// The spaces the slider picker shows: cpRGB, cpHSV and cpHSL.
inline constexpr uint16_t kSliderPickerSpaces = (1u << cpRGB) | (1u << cpHSV) | (1u << cpHSL);
inline constexpr uint16_t kAreaPickerSpaces = (1u << kColorSpaceCount) - 1;

struct SSliderPickerLayout {
  int32_t imageWidth = 0, imageHeight = 0;
  int32_t originX = 0, originY = 0;  // of the image in the control
  std::array<TRect, 3> sliders{};    // image coordinates
  TRect spectrum;
  int32_t markerWidth = 9, markerHeight = 7;
};
SSliderPickerLayout sliderPickerLayout(int32_t width, int32_t height, int32_t markerWidth, int32_t markerHeight);
// -1 none, 0..2 a slider, 3 the spectrum (image coordinates).
int32_t sliderPickerPartAt(const SSliderPickerLayout& l, int32_t x, int32_t y);
// The channels (model order) after a press or drag at x on slider k.
std::array<float, 3> sliderChannelAt(const SSliderPickerLayout& l, uint8_t space, const SColorRec& c, int32_t k,
                                     int32_t x);
// The spectrum pixel under a point, clamped into the strip (the image holds
// the painted picker).
TUiColor spectrumColourAt(const SSliderPickerLayout& l, const TMemoryGraphic& image, int32_t x, int32_t y);
// The top-left of slider k's marker.
TPoint sliderPickerMarkerAt(const SSliderPickerLayout& l, uint8_t space, const SColorRec& c, int32_t k);
void paintSliderPicker(TMemoryGraphic& g, const SSliderPickerLayout& l, uint8_t space, const SColorRec& c,
                       bool follow);

}  // namespace pg
