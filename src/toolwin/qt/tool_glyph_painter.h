#pragma once
// The drawings of the tool window's elements, one function each: the tool
// glyphs come from the glyph manager; the button faces, the drop-down mark
// and the colour pair are drawn here.
#include <QColor>
#include <QRect>
#include <cstdint>

class QPainter;

namespace pg {

// A glyph centred in the rectangle. Looks: 0 normal, 1 active (a pressed
// button), 2 disabled. Nothing is drawn before the glyph manager exists.
void paintToolGlyph(QPainter& painter, const QRect& rect, uint8_t glyph, int state);
// Makes the glyph manager from the current palette unless it exists.
void ensureToolGlyphs();

// The small triangle that marks a button with a variant menu.
void paintDropDownMark(QPainter& painter, const QRect& buttonRect, int state);

// The face of a tool button: raised, or sunk while it is the current tool.
void paintToolButtonFace(QPainter& painter, const QRect& rect, bool down, bool hot);

// Two overlapping colour squares, the foreground top-left and the
// background bottom-right; the active side is framed more strongly.
void paintColourPair(QPainter& painter, const QRect& rect, const QColor& fg, const QColor& bg, int activeSide);

// Where the colour-pair squares lie in a rectangle, and the swap corner.
QRect colourPairForeground(const QRect& rect);
QRect colourPairBackground(const QRect& rect);
QRect colourPairSwapArea(const QRect& rect);

}  // namespace pg
