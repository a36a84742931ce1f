#pragma once
// The tool and option glyphs, drawn by this program from simple vector
// shapes, and the glyph sheet made from them: 24 pixels wide, 24 rows a
// glyph, glyph 0 at the top; per pixel the green byte is the shade (255 the
// face colour, 0 the symbol colour) and the red byte the coverage. The glyph
// manager tints the sheet in the user's colours.
#include <cstdint>

#include "core/planes.h"
#include "ui/memory_graphic.h"

namespace pg {

inline constexpr int32_t kGlyphSize = 24;

// Draws glyph type 0..86 into a 24 x 24 graphic, over what it holds (start
// from a clear graphic: shade in the grey of the pixels, coverage in their
// alpha). Other types draw nothing.
void drawGlyphArt(uint8_t type, TMemoryGraphic& g);

// The whole sheet (24 x 2088, alpha 255); false when memory runs out.
[[nodiscard]] bool buildGlyphSheet(TMTC& sheet);

}  // namespace pg
