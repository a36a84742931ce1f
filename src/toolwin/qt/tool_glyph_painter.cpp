#include "toolwin/qt/tool_glyph_painter.h"

#include <QApplication>
#include <algorithm>

#include "ui/appearance_manager.h"
#include "ui/channel_ops.h"
#include "ui/glyph_artwork.h"
#include "ui/glyph_manager.h"
#include "ui/qt/qt_appearance.h"

namespace pg {

namespace {

TUiColor symbolColour(const TUiSysColors& c, int state) {
  switch (state) {
    case 1: return c.highlightText;
    case 2: return c.grayText;
    default: return c.windowText;
  }
}

void fill(TMemoryGraphic& g, const TRect& r, TUiColor colour) { g.fillRect(r, colour, copyChannel, copyChannel); }

}  // namespace

void ensureToolGlyphs() {
  if (!appearanceManager()) createQtAppearanceManager();
  if (!glyphManager()) createGlyphManager(uiSysColors());
}

void paintToolButton(TMemoryGraphic& g, uint8_t glyph, int state, bool down, bool hasMenu) {
  const TUiSysColors& c = uiSysColors();
  const int32_t w = g.width(), h = g.height();
  const TRect all{0, 0, w, h};
  // Each glyph look is drawn for a face of its own colour (the normal look
  // on the window colour, the hovered one on highlight text): a sunk button
  // keeps the normal look on the window colour, framed in the highlight.
  const bool hovered = state == 1;
  fill(g, all, down ? c.window : hovered ? c.highlightText : c.btnFace);
  if (down || hovered)
    g.frameRect(all, 1, c.highlight, copyChannel, copyChannel);
  else
    g.frameBevel(all, 1, c.btnHighlight, c.btnShadow, copyChannel, copyChannel);
  if (const TPgGlyphManager* glyphs = glyphManager())
    g.blendFrom((w - kGlyphSize) / 2, (h - kGlyphSize) / 2, kGlyphSize, kGlyphSize,
                glyphs->glyph(glyph, static_cast<uint32_t>(state)), 0, 0, lerpChannel, keepChannel);
  if (hasMenu) {
    // A small right-angled triangle in the bottom-right corner.
    TUiColor mark = symbolColour(c, state);
    for (int32_t row = 0; row < 5; ++row) fill(g, {w - 2 - row, h - 7 + row, w - 2, h - 6 + row}, mark);
  }
}

TRect colourPairForeground(int32_t w, int32_t h) {
  int32_t side = std::min(w, h) * 5 / 8;
  return {0, 0, side, side};
}

TRect colourPairBackground(int32_t w, int32_t h) {
  int32_t side = std::min(w, h) * 5 / 8;
  return {w - side, h - side, w, h};
}

TRect colourPairSwapArea(int32_t w, int32_t h) {
  int32_t side = std::min(w, h) * 3 / 8;
  return {w - side, 0, w, side};
}

bool rectContains(const TRect& r, int32_t x, int32_t y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

void paintColourPair(TMemoryGraphic& g, TUiColor fg, TUiColor bg, int activeSide) {
  const TUiSysColors& c = uiSysColors();
  const int32_t w = g.width(), h = g.height();
  fill(g, {0, 0, w, h}, c.clearFace);
  auto square = [&](const TRect& r, TUiColor colour, bool active) {
    fill(g, r, colour | 0xFF000000u);
    g.frameRect(r, active ? 2 : 1, active ? c.highlight : c.btnShadow, copyChannel, copyChannel);
  };
  square(colourPairBackground(w, h), bg, activeSide == 2);
  square(colourPairForeground(w, h), fg, activeSide != 2);
  // The swap mark: a bent arrow from the foreground corner to the background's.
  TRect s = colourPairSwapArea(w, h);
  const TPointF bend[] = {{float(s.Left + 2), float(s.Top + 3)},
                          {float(s.Right - 4), float(s.Top + 3)},
                          {float(s.Right - 4), float(s.Bottom - 2)}};
  g.drawPolylineAA(bend, 3, c.windowText, lerpChannel, copyChannel);
  g.drawLineAA({float(s.Right - 6), float(s.Bottom - 4)}, bend[2], c.windowText, lerpChannel, copyChannel);
  g.drawLineAA({float(s.Right - 2), float(s.Bottom - 4)}, bend[2], c.windowText, lerpChannel, copyChannel);
}

}  // namespace pg
