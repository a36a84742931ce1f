#pragma once
// The geometry of the slider family: the track rectangle of each trackbar
// shape, the pointer-to-position mapping, the thumb placement, the dial
// needle, the up-down button states and the placement of a slider pop-up.
#include <cstdint>

#include "core/rect.h"

namespace pg {

class TNumMngr;

enum TGraphicTrackbarOrientation : uint8_t {
  gtHorizontal = 0,
  gtVertical = 1,
  gtClockWise = 2,
  gtCounterClockWise = 3,
};

// The track rectangle of a trackbar of the given client size.
TRect trackRect(uint8_t orientation, int32_t width, int32_t height);
// The position 0..1 a client point maps to.
float trackPositionAt(uint8_t orientation, int32_t width, int32_t height, float x, float y);
// The thumb glyph's top-left for a position (linear shapes).
TPoint trackThumbAt(uint8_t orientation, int32_t width, int32_t height, int32_t glyphWidth, int32_t glyphHeight,
                    float position);
// The outer end of the dial needle for a position, its centre being
// (width / 2, height / 2).
TPointF dialNeedleEnd(uint8_t orientation, int32_t width, int32_t height, float position);

// States of an up-down half and of a pop-up button.
enum : uint8_t { kBtnDisabled = 0, kBtnNormal = 1, kBtnHot = 2, kBtnPressed = 3 };
// Which button: 0 none, 1 up, 2 down.
enum : uint8_t { kUdNone = 0, kUdUp = 1, kUdDown = 2 };

struct SUpDownStates {
  uint8_t up = kBtnNormal;
  uint8_t down = kBtnNormal;
};
SUpDownStates upDownStates(const TNumMngr& model, bool enabled, uint8_t pressed, uint8_t hover);
// The halves of an up-down control.
TRect upDownUpRect(int32_t width, int32_t height);
TRect upDownDownRect(int32_t width, int32_t height);

// The label and arrow-button rectangles of a value field with a slider pop-up.
TRect popupLabelRect(int32_t width, int32_t height);
TRect popupButtonRect(int32_t width, int32_t height);

// The slider pop-up: its trackbar's bounds (left, top, width, height as a
// rectangle) for an orientation, and how far a vertical pop-up moves up so
// that the thumb lies under the pointer for a ratio.
TRect popupTrackBounds(uint8_t orientation);
int32_t verticalPopupLift(float ratio);
// Puts the model's value back through its own ratio mapping, as the pop-up
// does when it opens; a round trip that would move the value (by rounding) is
// left out, so opening never changes the value.
void reapplyRatio(TNumMngr& model);

}  // namespace pg
