#pragma once
// Stand-in drawings of the tool window's elements until the glyph sheet and
// its manager take their place: each element is one function, so the widgets
// switch over one call at a time. The drawings are our own simple outlines on
// a 24 x 24 grid, scaled into the rectangle given.
#include <QColor>
#include <QRect>
#include <cstdint>

class QPainter;

namespace pg {

// Glyph looks: 0 normal, 1 active (a pressed button), 2 disabled.
void paintToolGlyph(QPainter& painter, const QRect& rect, uint8_t glyph, int state);

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
