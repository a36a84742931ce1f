#include "ui/qt/dock_drawing.h"

#include <QApplication>

#include "ui/appearance_manager.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/qt_appearance.h"
#include "ui/text_flags.h"

namespace pg {

namespace {

const TUiSysColors& colours() { return dockAppearance().colors(); }

bool fill(TMemoryGraphic& g, const TRect& r, TUiColor c) { return g.fillRect(r, c, copyChannel, copyChannel); }

}  // namespace

const TAppearanceManager& dockAppearance() {
  if (!appearanceManager()) createQtAppearanceManager();
  return *appearanceManager();
}

bool renderCaptionTabs(const QString& caption, TMemoryGraphic& inactive, TMemoryGraphic& active) {
  dockAppearance();
  TRect r;
  if (!paintCaptionTab(inactive, caption, r, dtCalcRect | dtSingleLine | dtNoPrefix, false)) return false;
  for (auto [g, isActive] : {std::pair{&inactive, false}, std::pair{&active, true}}) {
    g->setBackground(uiClear);
    if (!g->setSize(r.Right, r.Bottom)) return false;
    g->clear();
    TRect box = r;
    if (!paintCaptionTab(*g, caption, box, dtSingleLine | dtNoPrefix | dtVCenter, isActive)) return false;
  }
  return true;
}

void paintStripFace(TMemoryGraphic& face, bool isTop) {
  const TUiSysColors& c = colours();
  const int32_t w = face.width();
  const int32_t h = face.height();
  fill(face, {0, 0, w, h}, c.btnFace);
  int32_t top = 0;
  if (!isTop) {
    fill(face, {0, 1, w, 2}, c.btnHighlight);
    fill(face, {0, 2, w, 3}, c.btnShadow);
    top = 4;
  }
  face.frameBevel({0, top, w, h}, 1, c.btnHighlight, c.btnShadow, copyChannel, copyChannel);
  fill(face, {1, h - 2, w - 1, h - 1}, c.windowFrame);
}

void placeTab(TMemoryGraphic& face, TMemoryGraphic& tabMap, const TMemoryGraphic& tab, int32_t x, int32_t y,
              int32_t index) {
  face.blendFrom(x, y, tab.width(), tab.height(), tab, 0, 0, lerpChannel, keepChannel);
  const uint32_t mark = 0xFF000000u | (static_cast<uint32_t>(index) & 0x00FFFFFFu);
  for (int32_t ty = 0; ty < tab.height(); ++ty) {
    uint32_t* dst = tabMap.scanLine(y + ty);
    const uint32_t* src = tab.scanLine(ty);
    if (!dst || !src) continue;
    for (int32_t tx = 0; tx < tab.width(); ++tx) {
      const int32_t mx = x + tx;
      if (mx >= 0 && mx < tabMap.width() && (src[tx] >> 24) != 0) dst[mx] = mark;
    }
  }
}

void paintMenuButton(TMemoryGraphic& face, const TRect& r, uint8_t glyphState) {
  const TMemoryGraphic& glyph = dockAppearance().dropGlyph(glyphState);
  if (glyph.isValid()) face.blendFrom(r.Left, r.Top, glyph.width(), glyph.height(), glyph, 0, 0, lerpChannel, keepChannel);
}

void paintFloatFrame(TMemoryGraphic& g, int32_t border, int32_t captionHeight, const QString& title) {
  const TUiSysColors& c = colours();
  const int32_t w = g.width();
  const int32_t h = g.height();
  fill(g, {0, 0, w, h}, c.btnFace);
  g.frameBevel({0, 0, w, h}, 1, c.btnHighlight, c.dkShadow3D, copyChannel, copyChannel);
  const TRect cap{border, border, w - border, border + captionHeight};
  g.gradientLinear(cap, c.highlight, lerpColor(c.highlight, c.btnFace, 0.6f), kGradRight, copyChannel, copyChannel);
  TRect text{cap.Left + 4, cap.Top, cap.Right - 4, cap.Bottom};
  QFont font = QApplication::font();
  font.setPixelSize(11);
  drawText(g, title, text, font, c.highlightText, dtLeft | dtVCenter | dtSingleLine | dtEndEllipsis | dtNoPrefix);
}

void paintDropIndicator(TMemoryGraphic& g) {
  const TUiSysColors& c = colours();
  fill(g, {0, 0, g.width(), g.height()}, c.softHighlight);
  g.frameRect({0, 0, g.width(), g.height()}, 2, c.highlight, copyChannel, copyChannel);
}

void paintPopupFrame(TMemoryGraphic& g) {
  const TUiSysColors& c = colours();
  g.frameRect({0, 0, g.width(), g.height()}, 1, c.windowFrame, copyChannel, copyChannel);
}

}  // namespace pg
