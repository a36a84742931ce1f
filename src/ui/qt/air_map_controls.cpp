#include "ui/qt/air_map_controls.h"

#include <QMouseEvent>

#include <algorithm>

#include "ui/appearance_manager.h"
#include "ui/qt/glyph_label.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/num_fields.h"
#include "ui/qt/popup_base_form.h"

namespace pg {

namespace {

QRect qrect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }


// The curve of a profile type shrunk by `inset` into the graphic.
void curveInto(TMemoryGraphic& g, int32_t inset, uint8_t kind, TUiColor colour, float a, float b) {
  if (kind >= kAirMapNone || !g.isValid()) return;
  const TRect r{inset, inset, g.width() - inset, g.height() - inset};
  // A curve that cannot be drawn leaves the face blank.
  if (r.Right > r.Left && r.Bottom > r.Top) (void)paintFalloffCurve(g, r, kind, colour, a, b);
}

}  // namespace

// ---- TAirMapControl -----------------------------------------------------------------------

TAirMapControl::TAirMapControl(QWidget* parent) : QWidget(parent) {
  resize(98, 96);
  render();
}

void TAirMapControl::store(uint8_t kind, float a, float b) {
  a = std::clamp(a, 0.0f, 1.0f);
  b = std::clamp(b, 0.0f, 1.0f);
  if (kind == kind_ && a == a_ && b == b_) return;
  kind_ = kind;
  a_ = a;
  b_ = b;
  render();
  if (OnChange) OnChange();
}

void TAirMapControl::setKind(uint8_t kind) { store(kind, a_, b_); }
void TAirMapControl::setValueA(float a) { store(kind_, a, b_); }
void TAirMapControl::setValueB(float b) { store(kind_, a_, b); }

void TAirMapControl::render() {
  const TUiSysColors& c = uiSysColors();
  const int32_t w = std::max(width(), 1), h = std::max(height(), 1);
  if (!face_.renew(w, h, c.window)) return;
  face_.frameRect({0, 0, w, h}, 1, c.grayText, copyChannel, copyChannel);
  curveInto(face_, 7, kind_, c.grayText, a_, b_);
  const TPoint x = airMapPadCross(w, h, a_, b_);
  const TUiColor line = (c.highlight & 0x00FFFFFFu) | 0x80000000u;
  face_.fillRect({x.X, 2, x.X + 1, h - 2}, line, lerpChannel, keepChannel);
  face_.fillRect({2, x.Y, w - 2, x.Y + 1}, line, lerpChannel, keepChannel);
  face_.fillDisc({x.X - 2, x.Y - 2}, 5, c.highlight, lerpChannel, keepChannel);
  face_.fillDisc({x.X - 1, x.Y - 1}, 3, c.highlightText, lerpChannel, keepChannel);
  update();
}

void TAirMapControl::paintEvent(QPaintEvent*) { blitFace(*this, face_); }
void TAirMapControl::resizeEvent(QResizeEvent*) { render(); }

void TAirMapControl::dragTo(QPoint p) {
  const SAirMapValues v = airMapPadValuesAt(width(), height(), p.x(), p.y());
  store(kind_, v.a, v.b);
}

void TAirMapControl::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || readOnly_ || !isEnabled()) return;
  const QPoint p = e->position().toPoint();
  if (p.x() < 2 || p.y() < 2 || p.x() >= width() - 2 || p.y() >= height() - 2) return;
  dragging_ = true;
  dragTo(p);
}

void TAirMapControl::mouseMoveEvent(QMouseEvent* e) {
  if (dragging_) dragTo(e->position().toPoint());
}

void TAirMapControl::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) dragging_ = false;
}

// ---- TAirMapDropDown ----------------------------------------------------------------------

TAirMapDropDown::TAirMapDropDown(QWidget* parent) : TItemPicker(parent) {
  // A constant range: the minimum is below the maximum.
  for (TNumMngr* m : {&ValueA, &ValueB}) (void)m->setRange(0.0f, 0.0f, 100.0f);
  watchValues(true);
  resize(28, 20);
  setInsetFrame(true);
  setStyle(kPickerDropDown);
}

TAirMapDropDown::~TAirMapDropDown() {
  watchValues(false);
  if (popup_) {
    popup_->OnPopupClose = nullptr;
    delete popup_;
  }
}

void TAirMapDropDown::watchValues(bool on) {
  for (TNumMngr* m : {&ValueA, &ValueB}) {
    if (!on) {
      m->onChange = nullptr;
      continue;
    }
    m->onChange = [this](TNumMngr&) {
      if (pad_ && !reentry_) {
        reentry_ = true;
        pad_->setValueA(ValueA.value() / 100.0f);
        pad_->setValueB(ValueB.value() / 100.0f);
        reentry_ = false;
      }
      changed();
    };
  }
}

void TAirMapDropDown::changed() {
  syncButtons();
  redraw();
  if (OnChange) OnChange();
}

void TAirMapDropDown::setActive(uint8_t mode) {
  if (mode > kAirMapFull || mode == mode_) return;
  mode_ = mode;
  kind_ = kAirMapNone;
  watchValues(false);
  ValueA.setValue(0);
  ValueB.setValue(0);
  watchValues(true);
  setStyle(mode == kAirMapOff ? kPickerPlain : kPickerDropDown);
}

void TAirMapDropDown::setKind(uint8_t kind) {
  if (kind > kAirMapNone || kind == kind_) return;
  kind_ = kind;
  if (pad_ && !reentry_) {
    reentry_ = true;
    pad_->setKind(kind);
    reentry_ = false;
  }
  changed();
}

void TAirMapDropDown::setValueA(float v) { ValueA.setValue(v); }
void TAirMapDropDown::setValueB(float v) { ValueB.setValue(v); }

TItemPicker* TAirMapDropDown::typeButton(int i) const {
  return i >= 0 && i < count_ ? buttons_[static_cast<size_t>(i)] : nullptr;
}

void TAirMapDropDown::drawContent() {
  TItemPicker::drawContent();
  curveInto(content(), 2, kind_, colors().text, ValueA.value() / 100.0f, ValueB.value() / 100.0f);
}

void TAirMapDropDown::mousePressEvent(QMouseEvent* e) {
  if (mode_ != kAirMapOff) {
    TItemPicker::mousePressEvent(e);
    return;
  }
  if (e->button() != Qt::LeftButton || !isVisible() || !isEnabled() || readOnly()) return;
  setKind(kind_ == 2 ? 3 : 2);
}

void TAirMapDropDown::syncButtons() {
  if (!popup_ || reentry_) return;
  reentry_ = true;
  for (int i = 0; i < count_; ++i) {
    TItemPicker* b = buttons_[static_cast<size_t>(i)];
    if (types_[static_cast<size_t>(i)] == kind_)
      b->setDown(true);
    else if (b->isDown())
      b->setDown(false);
    b->update();
  }
  reentry_ = false;
}

bool TAirMapDropDown::dropDown(int32_t) {
  if (mode_ == kAirMapOff || popup_) return false;
  const SAirMapPopupLayout l = airMapPopupLayout(mode_);
  savedKind_ = kind_;
  savedA_ = ValueA.value();
  savedB_ = ValueB.value();
  popup_ = new TPopupBaseForm();
  popup_->resize(l.width, l.height);
  count_ = l.count;
  types_ = l.types;
  for (int i = 0; i < l.count; ++i) {
    auto* b = new TItemPicker(popup_);
    b->setGeometry(qrect(l.buttons[static_cast<size_t>(i)]));
    b->setGroupIndex(1);
    const uint8_t type = l.types[static_cast<size_t>(i)];
    b->OnDraw = [b, type](TMemoryGraphic& g) {
      const TUiSysColors& c = uiSysColors();
      const TUiColor colour = !b->isEnabled() ? c.grayText : (b->hoverBits() & kHoverMain) ? c.highlight : c.windowText;
      curveInto(g, 2, type, colour, 0.0f, 0.0f);
    };
    b->OnClick = [this, b, type] {
      if (!reentry_ && b->isDown()) setKind(type);
    };
    buttons_[static_cast<size_t>(i)] = b;
  }
  if (l.full) {
    pad_ = new TAirMapControl(popup_);
    pad_->setGeometry(qrect(l.pad));
    pad_->setKind(kind_);
    pad_->setValueA(ValueA.value() / 100.0f);
    pad_->setValueB(ValueB.value() / 100.0f);
    pad_->OnChange = [this] {
      if (reentry_) return;
      reentry_ = true;
      ValueA.setValue(100.0f * pad_->valueA());
      ValueB.setValue(100.0f * pad_->valueB());
      reentry_ = false;
      changed();
    };
    const struct {
      TRect glyph, field;
      uint8_t type;
      TNumMngr* model;
      TNumLabelEdit** edit;
    } rows[] = {{l.glyphA, l.fieldA, 74, &ValueA, &fieldA_}, {l.glyphB, l.fieldB, 75, &ValueB, &fieldB_}};
    for (const auto& r : rows) {
      auto* g = new TPgGlyphLabel(popup_);
      g->setGeometry(qrect(r.glyph));
      g->setGlyphType(r.type);
      auto* f = new TNumLabelEdit(popup_);
      f->setGeometry(qrect(r.field));
      f->setAssociate(r.model);
      *r.edit = f;
    }
  }
  popup_->OnPopupClose = [this](TPopupBaseForm*) { popupClosed(); };
  syncButtons();
  const QPoint at = mapToGlobal(QPoint(0, height()));
  const QRect anchor(mapToGlobal(QPoint(0, 0)), size());
  popup_->popup(at.x(), at.y(), &anchor);
  return true;
}

void TAirMapDropDown::popupClosed() {
  TPopupBaseForm* f = popup_;
  f->OnPopupClose = nullptr;
  const bool accepted = f->result() == kPopupAccept;
  popup_ = nullptr;
  pad_ = nullptr;
  fieldA_ = fieldB_ = nullptr;
  buttons_ = {};
  count_ = 0;
  if (!accepted) {
    setKind(savedKind_);
    ValueA.setValue(savedA_);
    ValueB.setValue(savedB_);
  }
  f->hide();
  f->deleteLater();
  updateHover();
}

}  // namespace pg
