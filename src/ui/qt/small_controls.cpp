#include "ui/qt/small_controls.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "core/assign_changed.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/qt_appearance.h"
#include "ui/tab_layout.h"
#include "ui/text_flags.h"

namespace pg {

// ---- TPathLabel -------------------------------------------------------------------------

TPathLabel::TPathLabel(QWidget* parent) : QWidget(parent) { resize(120, 16); }

void TPathLabel::setPath(const QString& p) {
  path_ = p;
  caption_ = QString::fromStdString(pathCaption(p.toStdString(), modified_));
  update();
}

void TPathLabel::setModified(bool on) {
  if (assignIfChanged(modified_, on)) setPath(path_);
}

void TPathLabel::paintEvent(QPaintEvent*) {
  TMemoryGraphic g(width(), height(), uiSysColors().btnFace);
  if (!g.isValid()) return;
  // The middle of the path gives way to an ellipsis, so that its start and
  // the file name stay visible.
  const QString shown = QFontMetrics(font()).elidedText(caption_, Qt::ElideMiddle, width());
  TRect r{0, 0, width(), height()};
  drawText(g, shown, r, font(), isEnabled() ? uiSysColors().windowText : uiSysColors().grayText,
           dtSingleLine | dtNoPrefix | dtVCenter);
  QPainter p(this);
  blitToPainter(p, 0, 0, g.width(), g.height(), g, 0, 0);
}

// ---- TDropDownMenu ----------------------------------------------------------------------

TDropDownMenu::TDropDownMenu(QWidget* parent) : QWidget(parent) { setFixedSize(11, 11); }

void TDropDownMenu::paintEvent(QPaintEvent*) {
  TMemoryGraphic g(11, 11, uiSysColors().btnFace);
  if (!g.isValid()) return;
  if (const TAppearanceManager* am = appearanceManager()) {
    const TMemoryGraphic& glyph = am->glyph(dgTriangleDown, state_);
    g.blendFrom(0, 0, glyph.width(), glyph.height(), glyph, 0, 0, lerpChannel, keepChannel);
  }
  QPainter p(this);
  blitToPainter(p, 0, 0, 11, 11, g, 0, 0);
}

void TDropDownMenu::enterEvent(QEnterEvent*) {
  if (!isEnabled()) return;
  state_ = gsActive;
  update();
}

void TDropDownMenu::leaveEvent(QEvent*) {
  if (!isEnabled()) return;
  state_ = gsNone;
  update();
}

void TDropDownMenu::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) {
    state_ = !isEnabled() ? gsDisabled : rect().contains(cursorPosIn(*this)) ? gsActive : gsNone;
    update();
  }
  QWidget::changeEvent(e);
}

void TDropDownMenu::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled() || !PopupMenu) return;
  down_ = true;
  PopupMenu->exec(mapToGlobal(QPoint(0, height())));
  down_ = false;
  state_ = gsNone;
  update();
}

// ---- TGraphicTabControl -----------------------------------------------------------------

TGraphicTabControl::TGraphicTabControl(QWidget* parent)
    : QWidget(parent), visible_(1, 1, uiSysColors().btnFace), hits_(1, 1, uiClear) {
  resize(200, 60);
}

int32_t TGraphicTabControl::addTab(const QString& caption) {
  Tab t;
  t.caption = caption;
  for (bool active : {false, true}) {
    // Measuring needs pixels to measure with.
    auto img = std::make_unique<TMemoryGraphic>(1, 1, uiClear);
    TRect r{};
    if (!paintCaptionTab(*img, caption, r, dtCalcRect, active) || !img->setSize(r.Right, r.Bottom) ||
        !paintCaptionTab(*img, caption, r, 0, active))
      return -1;
    (active ? t.active : t.inactive) = std::move(img);
  }
  tabs_.push_back(std::move(t));
  relayout();
  return count() - 1;
}

void TGraphicTabControl::setActiveIndex(int32_t i) {
  if (!assignIfChanged(active_, i)) return;
  relayout();
  if (OnChange) OnChange();
}

void TGraphicTabControl::relayout() {
  const TUiSysColors& c = uiSysColors();
  const int32_t w = std::max(width(), 1), h = std::max(height(), 1);
  visible_.setBackground(c.btnFace);
  hits_.setBackground(uiClear);
  if (!visible_.setSize(w, h) || !hits_.setSize(w, h)) return;
  visible_.clear();
  hits_.clear();
  const int32_t top = tabs_.empty() ? 0 : tabs_.front().active->height() + 1;
  const TRect body{0, top - 1, w, h};
  visible_.frameBevel(body, 1, c.btnHighlight, c.btnShadow, copyChannel, copyChannel);
  visible_.frameRect({body.Left + 1, body.Top + 1, body.Right - 1, body.Bottom - 1}, 1, c.windowFrame, copyChannel,
                     copyChannel);
  std::vector<int32_t> widths;
  for (const Tab& t : tabs_) widths.push_back(t.active->width());
  const std::vector<int32_t> lefts = tabLefts(widths, w);
  for (size_t i = 0; i < tabs_.size(); ++i) tabs_[i].left = lefts[i];
  for (const int32_t i : tabDrawOrder(count(), active_)) {
    const Tab& t = tabs_[static_cast<size_t>(i)];
    const TMemoryGraphic& img = i == active_ ? *t.active : *t.inactive;
    visible_.blendFrom(t.left, 1, img.width(), img.height(), img, 0, 0, lerpChannel, keepChannel);
    // Where the tab shows, the hit image answers its index.
    for (int32_t y = 0; y < img.height(); ++y)
      for (int32_t x = 0; x < img.width(); ++x)
        if (uiAlpha(img.getPixel(x, y)) != 0)
          hits_.setPixel(t.left + x, 1 + y, packRgba(static_cast<uint8_t>(i), static_cast<uint8_t>(i),
                                                     static_cast<uint8_t>(i), 255));
  }
  update();
}

int32_t TGraphicTabControl::tabAt(QPoint p) const {
  if (!hits_.contains(p.x(), p.y())) return -1;
  const uint32_t px = hits_.getPixel(p.x(), p.y());
  return uiAlpha(px) != 0 ? uiRed(px) : -1;
}

void TGraphicTabControl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  blitToPainter(p, 0, 0, visible_.width(), visible_.height(), visible_, 0, 0);
}

void TGraphicTabControl::resizeEvent(QResizeEvent*) { relayout(); }

void TGraphicTabControl::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  const int32_t i = tabAt(e->position().toPoint());
  if (i >= 0 && i < count()) setActiveIndex(i);
}

}  // namespace pg
