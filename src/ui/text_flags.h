#pragma once
// Text layout flags of the off-screen text output, with the values callers
// have always passed (the classic draw-text flag bits), so that stored and
// computed flag words keep their meaning. The Qt side maps them to Qt's
// alignment and text flags.
#include <cstdint>

namespace pg {

enum TTextFlag : uint32_t {
  dtLeft = 0x0,
  dtCenter = 0x1,
  dtRight = 0x2,
  dtVCenter = 0x4,
  dtBottom = 0x8,
  dtWordBreak = 0x10,
  dtSingleLine = 0x20,
  dtNoClip = 0x100,
  // Measure only: the rectangle's right and bottom are set to fit the text.
  dtCalcRect = 0x400,
  // "&" is drawn as it is, not as a mnemonic marker.
  dtNoPrefix = 0x800,
  dtEndEllipsis = 0x8000,
};

}  // namespace pg
