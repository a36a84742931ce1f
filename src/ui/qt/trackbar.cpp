#include "ui/qt/trackbar.h"

#include <QCursor>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "core/assign_changed.h"
#include "ui/appearance_manager.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/num_fields.h"
#include "ui/text_flags.h"

namespace pg {

namespace {

void fill(TMemoryGraphic& g, const TRect& r, TUiColor c) { g.fillRect(r, c, copyChannel, copyChannel); }

}  // namespace

// ---- TGraphicTrackbar ------------------------------------------------------------

TGraphicTrackbar::TGraphicTrackbar(QWidget* parent)
    : QWidget(parent), image_(4, 4, uiSysColors().btnFace) {
  resize(109, 14);
}

void TGraphicTrackbar::setOrientation(uint8_t o) {
  if (o > gtCounterClockWise || o == orientation_) return;
  orientation_ = o;
  redraw();
}

float TGraphicTrackbar::getPosition() const {
  float p = position_;
  if (OnOutFilter) OnOutFilter(const_cast<TGraphicTrackbar*>(this), p);
  return p;
}

void TGraphicTrackbar::setPosition(float p) {
  p = std::clamp(p, 0.0f, 1.0f);
  if (OnInFilter) OnInFilter(this, p);
  if (!assignIfChanged(position_, p)) return;
  redraw();
  if (OnChange) OnChange();
}

void TGraphicTrackbar::setCenterLine(bool on) {
  if (assignIfChanged(centerLine_, on)) redraw();
}

void TGraphicTrackbar::dragTo(QPointF pt) {
  // The pointer stores its position directly: no in-filter, no equality test.
  position_ = trackPositionAt(orientation_, width(), height(), static_cast<float>(pt.x()), static_cast<float>(pt.y()));
  redraw();
  if (OnChange) OnChange();
}

const TMemoryGraphic& TGraphicTrackbar::face() {
  redraw();
  return image_;
}

void TGraphicTrackbar::redraw() {
  const TUiSysColors& c = uiSysColors();
  const int32_t w = std::max(width(), 4);
  const int32_t h = std::max(height(), 4);
  if (!image_.renew(w, h, c.btnFace)) return;
  const TRect track = trackRect(orientation_, width(), height());
  if (orientation_ <= gtVertical) {
    image_.frameBevel(track, 1, c.btnHighlight, c.btnShadow, copyChannel, copyChannel);
    image_.frameRect({track.Left + 1, track.Top + 1, track.Right - 1, track.Bottom - 1}, 1, c.windowFrame, copyChannel,
                     copyChannel);
    if (centerLine_) {
      if (orientation_ == gtHorizontal) {
        const int32_t x = track.Left + (track.Right - track.Left) / 2;
        fill(image_, {x, track.Top, x + 1, track.Bottom}, c.windowFrame);
      } else {
        const int32_t y = track.Top + (track.Bottom - track.Top) / 2;
        fill(image_, {track.Left, y, track.Right, y + 1}, c.windowFrame);
      }
    }
    if (const TAppearanceManager* am = appearanceManager()) {
      const TMemoryGraphic& thumb =
          am->glyph(orientation_ == gtHorizontal ? dgLeftRight : dgUpDown, isEnabled() ? gsNone : gsDisabled);
      const TPoint at = trackThumbAt(orientation_, width(), height(), thumb.width(), thumb.height(), position_);
      image_.blendFrom(at.X, at.Y, thumb.width(), thumb.height(), thumb, 0, 0, lerpChannel, keepChannel);
    }
  } else {
    const int32_t d = std::min(track.Right - track.Left, track.Bottom - track.Top);
    image_.drawRing({track.Left, track.Top}, d, 1, c.windowFrame, lerpChannel, keepChannel);
    const TPointF end = dialNeedleEnd(orientation_, w, h, position_);
    image_.drawLineAA({w / 2.0f, h / 2.0f}, end, c.windowFrame, lerpChannel, keepChannel);
  }
  if (!isEnabled()) image_.fillRect({0, 0, w, h}, c.faintFace, lerpChannel, keepChannel);
  update();
}

void TGraphicTrackbar::paintEvent(QPaintEvent*) {
  if (image_.width() != std::max(width(), 4) || image_.height() != std::max(height(), 4)) redraw();
  blitFace(*this, image_);
}

void TGraphicTrackbar::resizeEvent(QResizeEvent*) { redraw(); }

void TGraphicTrackbar::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) redraw();
  QWidget::changeEvent(e);
}

void TGraphicTrackbar::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  dragging_ = true;
  if (FocusControl) FocusControl->setFocus();
  dragTo(e->position());
}

void TGraphicTrackbar::mouseMoveEvent(QMouseEvent* e) {
  if (dragging_ && isEnabled()) dragTo(e->position());
}

void TGraphicTrackbar::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) dragging_ = false;
}

// ---- arrow buttons -----------------------------------------------------------------

void paintArrowButton(TMemoryGraphic& g, const TRect& r, int direction, uint8_t state, bool flatWhenNormal) {
  const TUiSysColors& c = uiSysColors();
  fill(g, r, c.btnFace);
  if (state == kBtnPressed)
    g.frameBevel(r, 1, c.btnShadow, c.btnHighlight, copyChannel, copyChannel);
  else if (!(flatWhenNormal && state != kBtnHot))
    g.frameBevel(r, 1, c.btnHighlight, c.btnShadow, copyChannel, copyChannel);
  const TUiColor ink = state == kBtnDisabled ? c.grayText : c.windowText;
  const int32_t cx = (r.Left + r.Right) / 2 + (state == kBtnPressed ? 1 : 0);
  const int32_t cy = (r.Top + r.Bottom) / 2 + (state == kBtnPressed ? 1 : 0);
  // Three strokes of 5, 3 and 1 pixels.
  for (int32_t i = 0; i < 3; ++i) {
    const int32_t half = 2 - i;
    if (direction == 2)
      fill(g, {cx - 1 + i, cy - half, cx + i, cy + half + 1}, ink);
    else if (direction == 0)
      fill(g, {cx - half, cy + 1 - i, cx + half + 1, cy + 2 - i}, ink);
    else
      fill(g, {cx - half, cy - 1 + i, cx + half + 1, cy + i}, ink);
  }
}

// ---- TNumUpDown -----------------------------------------------------------------------

TNumUpDown::TNumUpDown(QWidget* parent) : QWidget(parent) {
  resize(16, 16);
  setMouseTracking(true);
  timer_.setInterval(100);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { repeatTick(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier); });
}

void TNumUpDown::numRefresh() {
  if (!associate()) return;
  const SUpDownStates s = upDownStates(*associate(), isEnabled(), pressed_, hover_);
  if (s.up != states_.up || s.down != states_.down) update();
  states_ = s;
}

void TNumUpDown::step(uint8_t which, bool large) {
  if (TNumMngr* m = associate()) {
    if (which == kUdUp)
      m->increment(large);
    else
      m->decrement(large);
  }
}

void TNumUpDown::repeatTick(bool large) {
  if (pressed_ == kUdNone) {
    timer_.stop();
    return;
  }
  step(pressed_, large);
  numRefresh();
}

void TNumUpDown::paintEvent(QPaintEvent*) {
  TMemoryGraphic g(width(), height(), uiSysColors().btnFace);
  if (!g.isValid()) return;
  paintArrowButton(g, upDownUpRect(width(), height()), 0, states_.up);
  paintArrowButton(g, upDownDownRect(width(), height()), 1, states_.down);
  blitFace(*this, g);
}

void TNumUpDown::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !associate()) return;
  numRefresh();
  const bool up = e->position().y() < height() / 2;
  const uint8_t which = up ? kUdUp : kUdDown;
  if ((up ? states_.up : states_.down) < kBtnNormal) return;
  timer_.start();
  step(which, e->modifiers() & Qt::ShiftModifier);
  pressed_ = which;
  numRefresh();
}

void TNumUpDown::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  timer_.stop();
  const uint8_t was = pressed_;
  pressed_ = kUdNone;
  numRefresh();
  if (was != kUdNone && isEnabled() && rect().contains(e->position().toPoint()) && OnButton)
    OnButton(was == kUdUp ? 0 : 1);
}

void TNumUpDown::setHover(uint8_t h) {
  if (h == hover_) return;
  if (hover_ != kUdNone && OnMouseLeave) OnMouseLeave(hover_ == kUdUp ? 0 : 1);
  hover_ = h;
  if (hover_ != kUdNone && OnMouseEnter) OnMouseEnter(hover_ == kUdUp ? 0 : 1);
  if (pressed_ == kUdNone) numRefresh();
}

void TNumUpDown::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  setHover(!rect().contains(p) ? kUdNone : p.y() < height() / 2 ? kUdUp : kUdDown);
}

void TNumUpDown::leaveEvent(QEvent*) { setHover(kUdNone); }

void TNumUpDown::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) numRefresh();
  QWidget::changeEvent(e);
}

// ---- TTrackPopupForm --------------------------------------------------------------------

TTrackPopupForm::TTrackPopupForm(QWidget* parent) : TPopupBaseForm(parent), track_(this) {
  setPressAndHold(true);
  track_.OnChange = [this] {
    if (Model) Model->setRatio(track_.getPosition());
  };
}

void TTrackPopupForm::popup(int x, int y, const QRect* anchor) {
  track_.setOrientation(Orientation);
  track_.setCenterLine(CenterLine);
  const TRect b = popupTrackBounds(Orientation);
  track_.setGeometry(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
  if (Orientation == gtVertical && Model) {
    float r = Model->getRatio();
    if (track_.OnInFilter) track_.OnInFilter(&track_, r);
    y -= verticalPopupLift(r);
  }
  resize(track_.width() + 10, track_.height() + 10);
  TPopupBaseForm::popup(x, y, anchor);
  if (Orientation != gtVertical && Model) reapplyRatio(*Model);
}

void TTrackPopupForm::holdDragAt(QPoint global) {
  if (!isOpen() || !pressAndHold()) return;
  const QPoint local = track_.mapFromGlobal(global);
  if (local.y() < 0) return;
  track_.setDragging(true);
  track_.dragTo(local);
}

// ---- TNumPopupButton ------------------------------------------------------------------------

TNumPopupButton::TNumPopupButton(QWidget* parent) : QWidget(parent) {
  resize(16, 16);
  setMouseTracking(true);
}

TNumPopupButton::~TNumPopupButton() {
  if (popup_) {
    popup_->OnPopupOpen = nullptr;
    popup_->OnPopupClose = nullptr;
    delete popup_;
  }
}

void TNumPopupButton::numRefresh() { updateState(); }

void TNumPopupButton::setReadOnly(bool on) {
  readOnly_ = on;
  updateState();
}

void TNumPopupButton::updateState() {
  const uint8_t s = !associate() || !isEnabled() ? kBtnDisabled : popup_ ? kBtnPressed : hover_ ? kBtnHot : kBtnNormal;
  if (s != state_) {
    state_ = s;
    update();
  }
}

void TNumPopupButton::paintFace(TMemoryGraphic& g) {
  paintArrowButton(g, {0, 0, g.width(), g.height()}, 2, state_);
}

void TNumPopupButton::paintEvent(QPaintEvent*) {
  TMemoryGraphic g(width(), height(), uiSysColors().btnFace);
  if (!g.isValid()) return;
  paintFace(g);
  blitFace(*this, g);
}

void TNumPopupButton::openPopup(QPoint pressAt) {
  if (!usable() || !parentWidget() || popup_ || !associate()) return;
  popup_ = new TTrackPopupForm();
  popup_->Model = associate();
  popup_->Orientation = Orientation;
  popup_->CenterLine = CenterLine;
  popup_->trackbar().OnInFilter = OnInFilter;
  popup_->trackbar().OnOutFilter = OnOutFilter;
  popup_->setHoldThreshold(HoldThresholdMs);
  popup_->OnPopupOpen = [this](TPopupBaseForm*) { popupOpened(); };
  popup_->OnPopupClose = [this](TPopupBaseForm*) { popupClosed(); };
  QPoint at = mapToGlobal(QPoint(0, height()));
  if (Orientation == gtVertical) at = mapToGlobal(QPoint(width() - height() + 2, pressAt.y()));
  // The control itself is the anchor for every shape, so the pop-up never
  // covers it.
  const QRect anchor(mapToGlobal(QPoint(0, 0)), size());
  popup_->popup(at.x(), at.y(), &anchor);
}

void TNumPopupButton::popupOpened() {
  saved_ = associate() ? associate()->value() : 0.0f;
  if (associate()) popup_->trackbar().setPosition(associate()->getRatio());
  updateState();
  if (OnPopupOpen) OnPopupOpen();
}

void TNumPopupButton::popupClosed() {
  TTrackPopupForm* f = popup_;
  if (f->result() != kPopupAccept && associate()) associate()->setValue(saved_);
  if (OnPopupClose) OnPopupClose();
  f->OnPopupOpen = nullptr;
  f->OnPopupClose = nullptr;
  popup_ = nullptr;
  f->deleteLater();
  hover_ = rect().contains(mapFromGlobal(QCursor::pos()));
  updateState();
}

void TNumPopupButton::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && !isOpen()) openPopup(e->position().toPoint());
}

void TNumPopupButton::mouseMoveEvent(QMouseEvent* e) {
  // The press that opened the pop-up drags its thumb until released.
  if (popup_ && (e->buttons() & Qt::LeftButton)) popup_->holdDragAt(e->globalPosition().toPoint());
}

void TNumPopupButton::enterEvent(QEnterEvent*) {
  hover_ = usable();
  updateState();
}

void TNumPopupButton::leaveEvent(QEvent*) {
  hover_ = false;
  updateState();
}

void TNumPopupButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) updateState();
  QWidget::changeEvent(e);
}

// ---- TNumLabelEditPopup ---------------------------------------------------------------------

TNumLabelEditPopup::TNumLabelEditPopup(QWidget* parent) : TNumPopupButton(parent) { resize(60, 20); }

TNumLabelEditPopup::~TNumLabelEditPopup() {
  if (editing_) {
    TCaptureNumEdit& ed = sharedCaptureNumEdit();
    ed.capture.OnExit = nullptr;
    ed.capture.endCapture();
    ed.setAssociate(nullptr);
    parkCaptureEdit(ed);
  }
}

void TNumLabelEditPopup::setFormatString(const QString& f) {
  if (assignIfChanged(format_, f)) numRefresh();
}

void TNumLabelEditPopup::numRefresh() {
  caption_ = associate() ? QString::fromStdString(formatValue(format_.toStdString(), associate()->value(), uiDecimalSep()))
                         : QStringLiteral("0");
  update();
  TNumPopupButton::numRefresh();
}

bool TNumLabelEditPopup::isOpen() const { return TNumPopupButton::isOpen() || editing_; }

void TNumLabelEditPopup::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !usable() || isOpen()) return;
  const QPoint p = e->position().toPoint();
  const TRect b = popupButtonRect(width(), height());
  if (p.x() >= b.Left && p.x() < b.Right && p.y() >= b.Top && p.y() < b.Bottom) {
    openPopup(p);
    return;
  }
  const TRect l = popupLabelRect(width(), height());
  if (!(p.x() >= l.Left && p.x() < l.Right && p.y() >= l.Top && p.y() < l.Bottom) || !associate()) return;
  TCaptureNumEdit& ed = sharedCaptureNumEdit();
  if (ed.capture.capturing()) return;
  savedEdit_ = associate()->value();
  ed.setFormatString(format_);
  ed.setAssociate(associate());
  ed.setMaxLength(MaxLength);
  ed.setFrame(false);
  openCaptureEdit(ed, ed.capture, *this, QRect(l.Left, l.Top, l.Right - l.Left, l.Bottom - l.Top), caption_, editing_,
                  [this] { endEdit(); });
  if (OnEditEnter) OnEditEnter();
}

void TNumLabelEditPopup::mouseMoveEvent(QMouseEvent* e) { TNumPopupButton::mouseMoveEvent(e); }

void TNumLabelEditPopup::endEdit() {
  TCaptureNumEdit& ed = sharedCaptureNumEdit();
  closeCaptureNumEdit(ed, editing_, OnEditExit, [this] { return associate(); }, savedEdit_);
  ed.setFrame(true);  // the popup's editor was opened without one
}

void TNumLabelEditPopup::paintFace(TMemoryGraphic& g) {
  const TUiSysColors& c = uiSysColors();
  const int32_t w = g.width();
  const int32_t h = g.height();
  fill(g, {0, 0, w, h}, c.btnFace);
  if (state() == kBtnHot) g.frameBevel({0, 0, w, h}, 1, c.btnShadow, c.btnHighlight, copyChannel, copyChannel);
  const TRect l = popupLabelRect(w, h);
  fill(g, l, c.window);
  TRect tr{l.Left, l.Top, l.Right - 2, l.Bottom};
  drawText(g, caption_, tr, font(), isEnabled() ? c.windowText : c.grayText, dtRight | dtVCenter | dtSingleLine);
  const TRect b = popupButtonRect(w, h);
  paintArrowButton(g, {b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1}, 2, state(), true);
}

}  // namespace pg
