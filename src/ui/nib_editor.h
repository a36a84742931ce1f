#pragma once
// The nib shape editor's state without its widget: the values it edits and
// their ranges, the flattening and rotation models, the places of its parts
// for a face size, the part under a point and what a drag on each handle
// does. The widget (ui/qt/nib_editor_widget.h) paints it and feeds it the
// pointer.
#include <cstdint>

#include "core/rect.h"
#include "ui/nib_shape.h"
#include "ui/num_mngr.h"

namespace pg {

// The parts, in the order the hit test tries them (see nibHitPart).
enum : uint8_t {
  npNone = 0,
  npPreview = 1,
  npMaxRadius = 2,
  npImageScale = 3,
  npMinRadius = 4,
  npShape = 5,  // flattening and rotation
  npDisplay = 6,
  npNibList = 7,
  npFlatLabel = 8,
  npAngleLabel = 9,
};

inline constexpr int32_t kNibEditorWidth = 86;
inline constexpr int32_t kNibEditorHeight = 88;

struct SNibEditorLayout {
  TRect preview;  // at (2, 2), the face less 4 wide and less 19 high
  TRect leftButton, rightButton;
  TRect flatLabel, angleLabel;
};
// The label widths are those measured for "999" and "-999" with their
// suffixes; suffix widths included.
SNibEditorLayout nibEditorLayout(int32_t width, int32_t height, int32_t flatLabelWidth, int32_t angleLabelWidth,
                                 int32_t labelHeight, int32_t flatSuffixWidth);

class TNibEditorState {
 public:
  TNibEditorState();

  float maxRadius() const { return maxRadius_; }
  float minRadius() const { return minRadius_; }
  float flattening() const { return Flattening.value(); }
  float rotation() const { return Rotation.value(); }
  float valueA() const { return valueA_; }
  float valueB() const { return valueB_; }
  bool flagA() const { return flagA_; }
  float imageScale() const { return imageScale_; }
  bool nibImage() const { return nibImage_; }

  // Clamps and stores; answers whether the change and preview events are due
  // (something changed, or a nib image is in use).
  [[nodiscard]] bool setValues(bool flagA, float valueB, float valueA, float rotation, float flattening, float minRadius,
                 float maxRadius);
  // Without an image the size is 0 x 0 and the scale 100.
  void setSample(bool inUse, int32_t width, int32_t height, float scalePercent);
  // Clamped to the nib image's allowed range; true when it changed.
  [[nodiscard]] bool setImageScale(float percent);
  void imageScaleRange(float& lo, float& hi) const;

  bool handlesEnabled = true;
  bool rightButtonVisible = false;
  bool displayToggle = false;
  bool hoveredRight = false, hoveredLeft = false;
  // Glyph states of the corner buttons: 0 normal, 1 hovered, 2 disabled.
  uint8_t rightButtonState() const { return hoveredRight ? 1 : 0; }
  uint8_t leftButtonState() const { return nibImage_ ? 2 : hoveredLeft ? 1 : 0; }

  // The part under a point of a face of that layout, 0 outside every part.
  uint8_t hitPart(const SNibEditorLayout& l, const SNibGeometry& g, int32_t x, int32_t y) const;

  // One drag step of a handle: dx the horizontal move since the last step,
  // (px, py) the pointer's offset from the centre (for the shape handle).
  // Ctrl changes only the flattening, Alt only the rotation, Shift adjusts.
  // True when a value changed the way setValues reports it.
  [[nodiscard]] bool dragStep(uint8_t part, int32_t dx, float px, float py, float radius, bool shift, bool ctrl, bool alt);

  // The two labels' models (0..99 step 1; -999..999 wrapping in -180..180).
  TNumMngr Flattening;
  TNumMngr Rotation;

 private:
  float maxRadius_ = 1.0f;
  float minRadius_ = 50.0f;
  float valueA_ = 0.0f;
  float valueB_ = 0.0f;
  bool flagA_ = true;
  bool nibImage_ = false;
  int32_t imageWidth_ = 0, imageHeight_ = 0;
  float imageScale_ = 100.0f;
};

}  // namespace pg
