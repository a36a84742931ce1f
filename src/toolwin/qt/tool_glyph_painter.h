#pragma once
// The drawings of the tool window's owner-drawn elements, one function each,
// into an off-screen graphic in the UI colours: a tool button (face, glyph
// from the glyph manager, drop-down mark) and the colour pair. The widgets
// size the graphic, call the painter and copy the graphic to the screen.
#include <cstdint>

#include "core/rect.h"
#include "ui/memory_graphic.h"

namespace pg {

// Glyph looks (state): 0 normal, 1 active (the pointer over the button), 2
// disabled. A down button has the window-coloured face and a highlight frame.
void paintToolButton(TMemoryGraphic& g, uint8_t glyph, int state, bool down, bool hasMenu);

// Two overlapping colour squares, the foreground top-left and the background
// bottom-right (colours as UI colours), with the swap mark in the free
// corner, over a clear background; the active side (1 or 2) is framed in the
// highlight colour.
void paintColourPair(TMemoryGraphic& g, TUiColor fg, TUiColor bg, int activeSide);

// Where the colour-pair squares and the swap corner lie in a w x h area.
TRect colourPairForeground(int32_t w, int32_t h);
TRect colourPairBackground(int32_t w, int32_t h);
TRect colourPairSwapArea(int32_t w, int32_t h);
bool rectContains(const TRect& r, int32_t x, int32_t y);

// Makes the appearance manager (from the application's palette) and the
// glyph manager unless they exist.
void ensureToolGlyphs();

}  // namespace pg
