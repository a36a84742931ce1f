#include "ui/qt/item_pickers.h"

#include <QAction>
#include <QEnterEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <string>

#include "brush/paint_param_kinds.h"
#include "core/assign_changed.h"
#include "platform/res_ids.h"
#include "ui/appearance_manager.h"
#include "ui/glyph_manager.h"
#include "ui/glyph_types.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/qt_appearance.h"
#include "ui/qt/res_text.h"
#include "ui/text_flags.h"

namespace pg {

namespace {

int runMenuAt(QMenu& menu, QPoint at) {
  QAction* chosen = menu.exec(at);
  return chosen ? chosen->data().toInt() : 0;
}

// A menu of names with ids 1000 + index, separators before the listed
// indexes and a check on the current one.
int runChoiceMenu(QWidget& owner, const std::vector<QString>& names, std::initializer_list<int> separators,
                  int32_t current, const std::function<int(QMenu&, QPoint)>& run) {
  QMenu menu(&owner);
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    if (std::find(separators.begin(), separators.end(), i) != separators.end()) menu.addSeparator();
    QAction* a = menu.addAction(names[static_cast<size_t>(i)]);
    a->setData(1000 + i);
    a->setCheckable(true);
    a->setChecked(i == current);
  }
  const QPoint at = owner.mapToGlobal(QPoint(0, owner.height()));
  return run ? run(menu, at) : runMenuAt(menu, at);
}

// A tool glyph centred in the content.
void centreGlyph(TMemoryGraphic& g, uint32_t type, uint32_t state) {
  const TPgGlyphManager* gm = glyphManager();
  if (!g.isValid() || !gm) return;
  const TMemoryGraphic& glyph = gm->glyph(type, state);
  g.blendFrom((g.width() - glyph.width()) / 2, (g.height() - glyph.height()) / 2, glyph.width(), glyph.height(), glyph,
              0, 0, lerpChannel, keepChannel);
}

}  // namespace

// ---- TItemPicker -------------------------------------------------------------------------

TItemPicker::TItemPicker(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  resize(28, 28);
}

void TItemPicker::setStyle(uint8_t style) {
  style_ = style > kPickerSplit ? static_cast<uint8_t>(kPickerPlain) : style;
  layout_ = pickerLayout(style_, std::max(width(), 1), std::max(height(), 1), inset_);
  redraw();
}

void TItemPicker::setRoundedFrame(bool on) {
  rounded_ = on;
  redraw();
}

void TItemPicker::setInsetFrame(bool on) {
  inset_ = on;
  setStyle(style_);
}

void TItemPicker::setAllowAllUp(bool on) {
  allowAllUp_ = on;
  if (group_ == 0 || !parentWidget()) return;
  for (QObject* o : parentWidget()->children())
    if (auto* p = dynamic_cast<TItemPicker*>(o); p && p != this && p->group_ == group_) p->allowAllUp_ = on;
}

void TItemPicker::setGroupIndex(int32_t g) {
  group_ = g;
  if (g != 0) {
    down_ = false;
    redraw();
  }
}

void TItemPicker::setDown(bool down) {
  if (changeLock_) return;
  changeLock_ = true;
  const bool value = group_ != 0 && down;
  if (value != down_) {
    down_ = value;
    if (down_ && parentWidget()) {
      for (QObject* o : parentWidget()->children())
        if (auto* p = dynamic_cast<TItemPicker*>(o); p && p != this && p->group_ == group_ && p->down_) {
          p->down_ = false;
          p->redraw();
        }
    }
    redraw();
  }
  if (OnClick) OnClick();
  changeLock_ = false;
}

void TItemPicker::setReadOnly(bool on) {
  readOnly_ = on;
  if (on) hover_ = 0;
  redraw();
}

void TItemPicker::drawContent() {
  if (!content_.renew(layout_.main.Right - layout_.main.Left, layout_.main.Bottom - layout_.main.Top, colors_.mainFace)) return;
  if (OnDraw) OnDraw(content_);
}

void TItemPicker::redraw() {
  if (layout_.main.Right == 0) layout_ = pickerLayout(style_, std::max(width(), 1), std::max(height(), 1), inset_);
  colors_ = pickerColors(uiSysColors(), isDown() || dropped_, isEnabled(), hover_, rounded_);
  drawContent();
  paintFace();
}

void TItemPicker::paintFace() {
  const TUiSysColors& c = uiSysColors();
  const int32_t w = std::max(width(), 1), h = std::max(height(), 1);
  if (!face_.renew(w, h, c.btnFace)) return;
  if (inset_) face_.fillRect({1, 1, w - 1, h - 1}, c.window, copyChannel, copyChannel);
  face_.fillRect(layout_.main, colors_.mainFace, copyChannel, copyChannel);
  if (style_ != kPickerPlain) {
    const TRect& a = layout_.arrow;
    face_.fillRect(a, colors_.arrowFace, copyChannel, copyChannel);
    const int32_t y = h / 2 - 1;
    face_.fillRect({a.Right - 6, y, a.Right - 1, y + 1}, colors_.arrow, copyChannel, copyChannel);
    face_.fillRect({a.Right - 5, y + 1, a.Right - 2, y + 2}, colors_.arrow, copyChannel, copyChannel);
    face_.fillRect({a.Right - 4, y + 2, a.Right - 3, y + 3}, colors_.arrow, copyChannel, copyChannel);
  }
  const int32_t at = inset_ ? 2 : 1;
  face_.blendFrom(at, at, content_.width(), content_.height(), content_, 0, 0, lerpChannel, keepChannel);
  if (rounded_)
    face_.frameRounded({0, 0, w, h}, 1, colors_.frame, copyChannel, copyChannel);
  else
    face_.frameRect({0, 0, w, h}, 1, colors_.frame, copyChannel, copyChannel);
  update();
}

void TItemPicker::paintEvent(QPaintEvent*) {
  if (face_.width() != std::max(width(), 1) || face_.height() != std::max(height(), 1)) setStyle(style_);
  QPainter p(this);
  blitToPainter(p, 0, 0, face_.width(), face_.height(), face_, 0, 0);
}

void TItemPicker::resizeEvent(QResizeEvent*) { setStyle(style_); }

void TItemPicker::setHover(uint8_t bits) {
  if (assignIfChanged(hover_, bits)) redraw();
}

void TItemPicker::updateHover() {
  dropped_ = false;
  const QPoint p = cursorPosIn(*this);
  setHover(interactive() && rect().contains(p)
               ? pickerHoverBits(style_, pickerHitPart(layout_, width(), height(), p.x(), p.y()))
               : 0);
  redraw();
}

void TItemPicker::mouseMoveEvent(QMouseEvent* e) {
  if (!interactive()) return;
  const QPoint p = e->position().toPoint();
  setHover(pickerHoverBits(style_, pickerHitPart(layout_, width(), height(), p.x(), p.y())));
}

void TItemPicker::enterEvent(QEnterEvent* e) {
  if (!interactive()) return;
  const QPoint p = e->position().toPoint();
  setHover(pickerHoverBits(style_, pickerHitPart(layout_, width(), height(), p.x(), p.y())));
}

void TItemPicker::leaveEvent(QEvent*) { setHover(0); }

void TItemPicker::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) redraw();
  QWidget::changeEvent(e);
}

void TItemPicker::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !interactive()) return;
  if (group_ != 0) setDown(allowAllUp_ ? !down_ : true);
  const QPoint p = e->position().toPoint();
  const uint8_t part = pickerHitPart(layout_, width(), height(), p.x(), p.y());
  if (part == 3 || (part == 2 && style_ == kPickerDropDown)) {
    dropped_ = true;
    redraw();
    dropped_ = dropDown(currentIndex());
  }
  redraw();
}

// ---- TPgGlyphButton ------------------------------------------------------------------------

TPgGlyphButton::TPgGlyphButton(QWidget* parent) : TItemPicker(parent) { setRoundedFrame(true); }

void TPgGlyphButton::setGlyphType(uint32_t type) {
  if (assignIfChanged(glyph_, type)) redraw();
}

void TPgGlyphButton::drawContent() {
  TItemPicker::drawContent();
  centreGlyph(content(), glyph_, !isEnabled() ? 2 : (hoverBits() & kHoverMain) ? 1 : 0);
}

bool TPgGlyphButton::dropDown(int32_t) {
  if (style() == kPickerPlain || !PopupMenu) return false;
  if (OnContextPopup) OnContextPopup();
  const QPoint at = mapToGlobal(QPoint(0, height()));
  if (RunPopup)
    RunPopup(*PopupMenu, at);
  else
    PopupMenu->exec(at);
  updateHover();
  return false;
}

// ---- TBlendModeDropDwon ---------------------------------------------------------------------

TBlendModeDropDwon::TBlendModeDropDwon(QWidget* parent) : TItemPicker(parent) {
  resize(120, 20);
  setStyle(kPickerDropDown);
}

void TBlendModeDropDwon::setBlendMode(uint32_t mode) {
  if (mode == mode_ || mode > 21) return;
  mode_ = mode;
  if (OnChange) OnChange();
  redraw();
}

void TBlendModeDropDwon::drawContent() {
  TItemPicker::drawContent();
  TMemoryGraphic& g = content();
  if (!g.isValid()) return;
  std::string name;
  (void)getBlendModeName(mode_, name);  // an unknown mode shows no name
  TRect r{4, 0, g.width() - 8, g.height()};
  if (r.Right > r.Left)
    drawText(g, QString::fromStdString(name), r, font(), colors().text, dtSingleLine | dtVCenter | dtEndEllipsis | dtNoPrefix);
}

bool TBlendModeDropDwon::dropDown(int32_t index) {
  std::vector<QString> names;
  for (uint32_t m = 0; m < 22; ++m) {
    std::string n;
    (void)getBlendModeName(m, n);  // all 22 modes have names
    names.push_back(QString::fromStdString(n));
  }
  const int id = runChoiceMenu(*this, names, {1, 5, 10, 16, 18}, index, RunMenu);
  if (id >= 1000 && id < 1022) setBlendMode(static_cast<uint32_t>(id - 1000));
  updateHover();
  return false;
}

// ---- TSubPaintDropDown -----------------------------------------------------------------------

TSubPaintDropDown::TSubPaintDropDown(QWidget* parent) : TItemPicker(parent) {
  setInsetFrame(true);
  setStyle(kPickerDropDown);
}

void TSubPaintDropDown::setKind(uint32_t kind) {
  if (kind == kind_ || kind > 5) return;
  kind_ = kind;
  redraw();
  if (OnChange) OnChange();
}

void TSubPaintDropDown::drawContent() {
  TItemPicker::drawContent();
  centreGlyph(content(), tgDrawLocus + kind_, !isEnabled() ? 2 : (hoverBits() & kHoverMain) ? 1 : 0);
}

bool TSubPaintDropDown::dropDown(int32_t index) {
  std::vector<QString> names;
  for (uint32_t id : kResShapeSubModeNames) names.push_back(resText(id));
  const int id = runChoiceMenu(*this, names, {1, 3}, index, RunMenu);
  if (id >= 1000 && id < 1006) setKind(static_cast<uint32_t>(id - 1000));
  updateHover();
  return false;
}

}  // namespace pg
