#pragma once
// The floor filter: a perspective view of an endless room (a ceiling above
// the eye, a floor below it), each plane covered with a repeating texture,
// seen by a camera with a heading and a pitch, with distance fog. A texture
// is a 256 x 256 reduced copy of the filter area or an image from a file.
//
// The kernel's parameter is the whole in-memory record (SFltFloorW, its
// size given as 87): the 63 bytes of SFltFloor that the event carries, and
// the two textures (ceiling first) that travel as image packets.
#include <cstdint>
#include <memory>

#include "core/planes.h"
#include "core/rect.h"
#include "filters/filter_params.h"
#include "filters/kernel_context.h"

namespace pg {

inline constexpr uint8_t kFloorOp = 40;
inline constexpr int32_t kFloorRecordSize = 87;
// The side of a texture made from the filter area.
inline constexpr int32_t kFloorTextureSide = 256;
// Textures wider or taller than this are not used (their 16.16 coordinates
// would not fit).
inline constexpr int32_t kFloorTextureMaxSide = 32767;

// BGRA8. Size 87; false unless at least one texture has pixels.
[[nodiscard]] bool floorKernel(const SFlt4Context* ctx, const void* param, int32_t size);

// The texture a plane shows when it takes no file: rect of the plane src
// reduced (nearest neighbour) to 256 x 256. Null when rect is empty or the
// plane cannot be made.
[[nodiscard]] std::unique_ptr<TMTC> floorAreaTexture(const TMTC& src, const TRect& rect);

// The record the dialog opens with: X, Y, Z, heading and pitch 0,
// projection distance and ceiling height 100, fog distance 50, opacity 100;
// keep the layer image, colour fog to infinity, both planes on.
SFltFloor floorDesignValues();
// The remembered values at program start (transparent fog), which a repeat
// without the dialog uses until the dialog's OK replaces them.
SFltFloor floorStartValues();

// What the dialog's controls stand for, turned into the record's fields.
struct SFloorControls {
  int32_t x = 0;            // -50..50 within one texture period
  int32_t y = 0;            // -100..100
  int32_t z = 0;
  double heading = 0;       // degrees
  double pitch = 0;         // degrees
  int32_t projection = 100; // 0..400
  int32_t ceiling = 100;    // 0..400
};
void floorApplyControls(const SFloorControls& c, SFltFloor& f);
SFloorControls floorControlsOf(const SFltFloor& f);

}  // namespace pg
