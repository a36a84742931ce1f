#pragma once
// The faces of the loupe and of the preset previews: the loupe's grey
// ground, sunken frame and fading cross-hair, and a preset preview's frame
// with its content composited over a checkerboard or copied.
#include "ui/memory_graphic.h"

namespace pg {

// The loupe's ground: light grey inside a sunken frame and a window-frame line.
void paintLoupeGround(TMemoryGraphic& g);
// The loupe's frame and, with `grid`, the cross-hair: four black lines from
// the edges to the centre whose opacity grows from 0 to half.
void paintLoupeFrame(TMemoryGraphic& g, bool grid);

inline constexpr TUiColor kCheckerLight = 0xFFFFFFFFu;
inline constexpr TUiColor kCheckerDark = 0xFFCCCCCCu;

// A preset preview's face: a 1-pixel frame in the 3D shadow colour, one in
// the window colour inside it, and the content at (2, 2), blended over 4 x 4
// checkers when `checker`, else copied.
void paintPresetFace(TMemoryGraphic& face, const TMemoryGraphic& content, bool checker);

}  // namespace pg
