#include "ui/qt/progress_bar.h"

#include <QPainter>

#include <algorithm>

#include "platform/clock.h"
#include "ui/appearance_manager.h"
#include "ui/display_controls.h"
#include "ui/qt/graphic_image.h"
#include "ui/text_flags.h"

namespace pg {

TGraphicProgressBar::TGraphicProgressBar(QWidget* parent) : QWidget(parent) { resize(160, 20); }

void TGraphicProgressBar::setProgress(int32_t position, int32_t maximum, uint32_t startMs) {
  position_ = position;
  maximum_ = maximum;
  start_ = startMs;
  render();
}

void TGraphicProgressBar::setMode(uint8_t mode) {
  mode_ = mode;
  render();
}

void TGraphicProgressBar::render() {
  const TUiSysColors& c = uiSysColors();
  if (!face_.renew(std::max(width(), 4), std::max(height(), 4), c.btnFace)) return;
  const int32_t w = face_.width(), h = face_.height();
  face_.frameRect({0, 0, w, h}, 1, c.grayText, copyChannel, copyChannel);
  face_.frameRect({1, 1, w - 1, h - 1}, 1, c.window, copyChannel, copyChannel);
  const TRect inner{2, 2, w - 2, h - 2};
  const int32_t fill = progressFillWidth(position_, maximum_, inner.Right - inner.Left);
  face_.fillRect({inner.Left, inner.Top, inner.Left + fill, inner.Bottom}, uiWithAlpha(c.highlight, 128), lerpChannel,
                 keepChannel);
  label_ = QString::fromStdString(progressLabel(mode_, position_, maximum_, start_, timeGetTime()));
  // The label over the bar: drawn black on white as a coverage mask, then
  // blended into the face in the text colour, so that the bar stays beneath
  // it whatever the text engine does with the pixels it draws on.
  TMemoryGraphic mask(inner.Right - inner.Left, inner.Bottom - inner.Top, uiOpaqueWhite);
  if (mask.isValid()) {
    TRect tr{2, 0, mask.width() - 2, mask.height()};
    drawText(mask, label_, tr, font(), uiOpaqueBlack, dtRight | dtVCenter | dtSingleLine | dtEndEllipsis);
    for (int32_t y = 0; y < mask.height(); ++y)
      for (int32_t x = 0; x < mask.width(); ++x) {
        const uint8_t cover = static_cast<uint8_t>(255 - uiRed(mask.getPixel(x, y)));
        if (cover == 0) continue;
        const uint32_t under = face_.getPixel(inner.Left + x, inner.Top + y);
        face_.setPixel(inner.Left + x, inner.Top + y, uiWithAlpha(lerpColor(under, c.windowText, cover / 255.0f), 255));
      }
  }
  update();
}

void TGraphicProgressBar::paintEvent(QPaintEvent*) {
  if (face_.width() != std::max(width(), 4) || face_.height() != std::max(height(), 4)) render();
  QPainter p(this);
  blitToPainter(p, 0, 0, face_.width(), face_.height(), face_, 0, 0);
}

void TGraphicProgressBar::resizeEvent(QResizeEvent*) { render(); }

}  // namespace pg
