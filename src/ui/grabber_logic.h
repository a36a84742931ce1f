#pragma once
// The view rotation and zoom grabber's logic: its parts and their hit test,
// the rotation and scale rules of dragging and of the buttons, and the knob
// and thumb places.
#include <cstdint>

#include "core/rect.h"

namespace pg {

inline constexpr int32_t kGrabberWidth = 129;
inline constexpr int32_t kGrabberHeight = 146;

enum : uint8_t {
  gpNone = 0,
  gpDial = 1,
  gpSlider = 2,
  gpResetAngle = 3,
  gpTurnClockwise = 4,
  gpTurn180 = 5,
  gpTurnCounter = 6,
  gpZoomIn = 7,
  gpZoomOut = 8,
};

// The rectangle of a part (the dial's bounding square for part 1).
TRect grabberPartRect(uint8_t part);
// The appearance glyph kind of a button part.
uint8_t grabberGlyphKind(uint8_t part);
uint8_t grabberHitPart(int32_t x, int32_t y);

// Brings degrees into [-180, 180).
float normalizeRotation(float degrees);
// The rotation a dial drag to (x, y) gives; `adjust` snaps to 15 degrees.
float grabberDialRotation(int32_t x, int32_t y, bool adjust);
// The scale a slider drag to x gives (1/16 .. 16); `adjust` snaps to the
// nearer preset zoom step (the upper one on a tie).
float grabberSliderScale(int32_t x, bool adjust);
// The preset step next above or below a scale (the zoom buttons).
float grabberZoomStepUp(float scale);
float grabberZoomStepDown(float scale);
// The rotation a button sets (parts 3 to 6).
float grabberButtonRotation(uint8_t part);

// Top-left of the knob and of the thumb, relative to the control.
TPoint grabberKnobAt(float rotation);
TPoint grabberThumbAt(float scale);

}  // namespace pg
