#pragma once
// The 87 tool and option glyphs of the tool window, numbered as stored
// settings and the tool tables number them, and the two tables that pick the
// glyph of a paint-method kind and of a tool mode.
#include <cstdint>

namespace pg {

enum TPgGlyphType : uint8_t {
  tgPencil4, tgPencil1, tgEraser4, tgSeedEraser, tgEraser1, tgWaterColor4, tgWaterColor1, tgAirBrush4,
  tgAirBrush1, tgBlur4, tgBlur1, tgFingertip4, tgFingertip1, tgSpread4, tgBurn4, tgBurn1, tgDodge4, tgDodge1,
  tgDrawLocus, tgDrawLine, tgDrawMultiLine, tgDrawRectangle, tgDrawEllipse, tgDrawPolygon, tgFillRectangle,
  tgFillEllipse, tgFillPolygon, tgFillLasso, tgSeedFill, tgGradient, tgSelectRectangle, tgSelectEllipse,
  tgSelectPolygon, tgSelectLasso, tgMagicWand, tgMoveLayer, tgMoveLayerWithSelection, tgFillText, tgSelectText,
  tgCrop, tgSpuit, tgGrabber, tgDegree, tgZoom, tgDensity, tgCreate, tgDelete, tgSave, tgAntiAlias,
  tgBrushSpace, tgPrsDensity, tgPrsRadius, tgNibRadius, tgNibMinRadius, tgGradNone, tgGradUse, tgGradUnUse,
  tgToneNone, tgToneUse, tgToneUnUse, tgGradLinear, tgGradRadial, tgGradCircular, tgGradReturn, tgGradRepeat,
  tgGradInfinity, tgGradRemind, tgZoomIn, tgZoomOut, tgDisplayGrid, tgColSampAreaS, tgColSampCircleA,
  tgColSampCircleS, tgColSampSlider, tgFlat, tgAdd, tgOffsetX, tgOffsetY, tgInvert, tgProtectAlpha, tgExtend,
  tgEventLock, tgPlay, tgPause, tgStep, tgStop, tgMenu,
};

inline constexpr int32_t kGlyphTypeCount = 87;
// The glyph of nothing: a kind or mode outside the tables. The glyph manager
// hands out a blank image for it.
inline constexpr uint8_t kNoGlyph = 255;

// The glyph of a paint-method kind 0..17 (taken modulo 128); kNoGlyph beyond.
uint8_t paintKindGlyph(uint32_t kind);
// The glyph of a tool mode 0..37 (taken modulo 128); kNoGlyph beyond.
uint8_t toolGlyph(uint32_t mode);

}  // namespace pg
