#include "toolwin/qt/item_list_view.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <array>

#include "toolwin/item_list.h"
#include "ui/appearance_manager.h"
#include "ui/popup_closer.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/popup_base_form.h"
#include "ui/qt/qt_appearance.h"
#include "ui/text_flags.h"

namespace pg {

namespace {

constexpr TUiColor kCheckLight = 0xFFFFFFFFu;
constexpr TUiColor kCheckDark = 0xFFCCCCCCu;
constexpr int32_t kCheckColumn = 17;

uint32_t modifiersOf(Qt::KeyboardModifiers m) {
  uint32_t bits = 0;
  if (m & Qt::ShiftModifier) bits |= kListShift;
  if (m & Qt::AltModifier) bits |= kListAlt;
  if (m & Qt::ControlModifier) bits |= kListCtrl;
  return bits;
}

TUiColor opaque(TUiColor c) { return uiWithAlpha(c, 255); }

}  // namespace

TItemListView::TItemListView(CItemList& list, QWidget* parent)
    : QWidget(parent), list_(list), colors_(loadSystemColors(palette())) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  bar_ = new QScrollBar(Qt::Vertical, this);
  bar_->hide();
  connect(bar_, &QScrollBar::valueChanged, this, [this](int v) {
    if (!syncing_) list_.setScrollPos(v);
  });
  scrollTimer_ = new QTimer(this);
  connect(scrollTimer_, &QTimer::timeout, this, [this] { autoScroll(); });
  list_.OnRedraw = [this] {
    dirty_ = true;
    syncScrollBar();
    update();
  };
  setMinimumSize(40, 40);
}

TItemListView::~TItemListView() {
  list_.OnRedraw = nullptr;
  // An open pop-up (a child of this widget) must not call back into a view going away.
  if (popup_) {
    popup_->OnPopupOpen = nullptr;
    popup_->OnPopupClose = nullptr;
    list_.dropPopup();
    popup_->closePopup();
  }
}

TPopupBaseForm* TItemListView::popup() const { return popup_.data(); }

void TItemListView::openPopup() {
  if (popup_ || !OnOpenPopup || !list_.canOpenPopup()) return;
  const SListPopup p = OnOpenPopup();
  if (p.form == nullptr) return;
  if (p.list == nullptr) return p.form->deleteLater();
  popup_ = p.form;
  CItemList* inner = p.list;
  p.form->OnPopupOpen = [this, inner](TPopupBaseForm*) { list_.bindPopup(*inner); };
  p.form->OnPopupClose = [this](TPopupBaseForm* form) {
    popup_ = nullptr;
    // OK, a pick or a click outside keeps the choice; Esc gives it back.
    list_.popupClosed(form->result() == kPopupAccept);
    form->deleteLater();
  };
  const QRect anchor(mapToGlobal(QPoint(0, 0)), size());
  p.form->popup(anchor.left(), anchor.top() + height(), &anchor);
}

void TItemListView::syncScrollBar() {
  SListScroll s = list_.scrollRange();
  syncing_ = true;
  bar_->setVisible(s.visible);
  bar_->setRange(0, s.max);
  bar_->setPageStep(s.page);
  bar_->setValue(list_.scrollPos());
  syncing_ = false;
  TRect a = list_.itemArea();
  bar_->setGeometry(a.Right, a.Top, 14, a.Bottom - a.Top);
}

void TItemListView::resizeEvent(QResizeEvent*) {
  list_.setBounds(width(), height());
  dirty_ = true;
  syncScrollBar();
}

const TMemoryGraphic& TItemListView::face() {
  if (dirty_) compose();
  return face_;
}

void TItemListView::compose() {
  dirty_ = false;
  list_.setBounds(width(), height());
  if (!face_.setSize(width(), height())) return;
  TRect all{0, 0, width(), height()};
  face_.fillRect(all, opaque(colors_.btnFace), copyChannel, copyChannel);
  // Sunken border: shadow and highlight outside, the window frame inside.
  face_.frameBevel(all, 1, opaque(colors_.btnShadow), opaque(colors_.btnHighlight), copyChannel, copyChannel);
  face_.frameRect(TRect{1, 1, width() - 1, height() - 1}, 1, opaque(colors_.windowFrame), copyChannel, copyChannel);
  TRect a = list_.itemArea();
  face_.fillRect(a, opaque(colors_.grayText), copyChannel, copyChannel);
  int32_t n = list_.getCount();
  if (list_.displayStyle() >= kListCompact) {
    for (int32_t i : list_.compactDrawOrder()) drawCell(i);
    // Triangles at the strip's ends where items lie beyond them.
    const TAppearanceManager* am = appearanceManager();
    if (am && list_.displayStyle() == kListStrip) {
      const bool before = list_.firstShown() > 0, after = list_.firstShown() + list_.visibleCount() < n;
      for (uint8_t kind : {uint8_t(dgTriangleLeft), uint8_t(dgTriangleRight)}) {
        if (!(kind == dgTriangleLeft ? before : after)) continue;
        const TMemoryGraphic& glyph = am->glyph(kind, gsNone);
        const int32_t x = kind == dgTriangleLeft ? a.Left : a.Right - glyph.width();
        face_.blendFrom(x, (a.Top + a.Bottom - glyph.height()) / 2, glyph.width(), glyph.height(), glyph, 0, 0,
                        lerpChannel, keepChannel);
      }
    }
    if (list_.displayStyle() == kListCompactButton) drawDropButton();
    drawArrowColumn();
  } else if (n > 0) {
    for (int32_t i = 0; i < n; ++i) {
      TRect r = list_.getItemRect(i);
      if (r.Bottom <= a.Top || r.Top >= a.Bottom) continue;
      drawCell(i);
    }
  }
  // The drop marker between rows.
  if (list_.dragging() && list_.dropAccepted() && list_.dropTarget() >= 0) {
    int32_t t = list_.dropTarget();
    int32_t y;
    if (list_.bottomUp())
      y = t < n ? list_.getItemRect(t).Bottom - 1 : list_.getItemRect(n - 1).Top;
    else
      y = t < n ? list_.getItemRect(t).Top : list_.getItemRect(n - 1).Bottom - 1;
    TUiColor c = opaque(colors_.windowFrame);
    face_.fillRect(TRect{a.Left, y - 1, a.Right, y + 2}, c, copyChannel, copyChannel);
    face_.fillRect(TRect{a.Left, y - 3, a.Left + 1, y + 4}, c, copyChannel, copyChannel);
    face_.fillRect(TRect{a.Right - 1, y - 3, a.Right, y + 4}, c, copyChannel, copyChannel);
  }
}

void TItemListView::drawCell(int32_t i) {
  TRect r = list_.getItemRect(i);
  int32_t w = r.Right - r.Left, h = r.Bottom - r.Top;
  if (w <= 0 || h <= 0 || !cell_.setSize(std::max(w, 4), std::max(h, 4))) return;
  int32_t state = list_.getDrawState(i);
  TRect cell{0, 0, w, h};
  cell_.fillRect(cell, opaque(colors_.windowFrame), copyChannel, copyChannel);
  TRect inner{0, 0, w - 1, h - 1};  // grid lines right and bottom
  TUiColor back = (state & kDrawActive) ? colors_.highlight : (state & kDrawPressed) ? colors_.window : colors_.btnFace;
  cell_.fillRect(inner, opaque(back), copyChannel, copyChannel);
  TUiColor text = (state & kDrawActive) ? colors_.highlightText : colors_.windowText;

  int32_t style = list_.displayStyle();
  int32_t left = 0;
  if (list_.itemCheck(i) >= 0 && style != kListText) {
    // The check column: a framed box, ticked when on.
    TRect col{0, 0, kCheckColumn, h - 1};
    cell_.fillRect(col, opaque(colors_.windowFrame), copyChannel, copyChannel);
    TRect box{1, 1, kCheckColumn - 1, h - 2};
    cell_.fillRect(box, opaque(colors_.btnFace), copyChannel, copyChannel);
    TRect tick{4, (h - 9) / 2, 13, (h - 9) / 2 + 9};
    cell_.frameRect(tick, 1, opaque(colors_.btnShadow), copyChannel, copyChannel);
    if (list_.itemCheck(i) == 1)
      cell_.fillRect(TRect{tick.Left + 2, tick.Top + 2, tick.Right - 2, tick.Bottom - 2}, opaque(colors_.windowText),
                     copyChannel, copyChannel);
    left = kCheckColumn + 1;
  }
  left += list_.itemIndent(i);

  QString name = QString::fromStdString(list_.getItemName(i));
  if (style >= kListCompact) {
    // The active item fills the area; in the strip each cell is a square.
    TRect img{2, 2, w - 3, h - 3};
    if (style == kListStrip) {
      SSize t = list_.getThumbSize(i);
      img = TRect{(w - t.W) / 2, (h - t.H) / 2, (w - t.W) / 2 + t.W, (h - t.H) / 2 + t.H};
    }
    if (list_.transparencyBackdrop()) cell_.fillChecker(img, 4, 4, kCheckLight, kCheckDark, copyChannel, copyChannel);
    list_.drawItemImage(cell_, img, state, i);
    // Behind the active item the others are veiled.
    if (style == kListStrip && !(state & kDrawActive))
      cell_.fillRect(inner, uiWithAlpha(0xFF555555u, 170), lerpChannel, keepChannel);
  } else if (style <= kListLargeIcons) {
    SSize t = list_.getThumbSize(i);
    TRect img{(w - t.W) / 2, (h - t.H) / 2, (w - t.W) / 2 + t.W, (h - t.H) / 2 + t.H};
    if (list_.transparencyBackdrop()) cell_.fillChecker(img, 4, 4, kCheckLight, kCheckDark, copyChannel, copyChannel);
    list_.drawItemImage(cell_, img, state, i);
  } else if (style <= kListLargeRows) {
    SSize t = list_.getThumbSize(i);
    int32_t side = h - 1;
    TRect square{left, 0, left + side, side};
    TRect img{square.Left + (side - t.W) / 2, (side - t.H) / 2, square.Left + (side - t.W) / 2 + t.W,
              (side - t.H) / 2 + t.H};
    list_.drawItemImage(cell_, img, state, i);
    left = square.Right + 3;
    QFont font = this->font();
    std::string detail = list_.getItemDetail(i);
    if (!detail.empty() && style != kListSmallRows) {
      // Two lines: the name, and the detail (a tab separates its columns).
      TRect top{left, 2, w - 4, h / 2};
      drawText(cell_, name, top, font, opaque(text), dtSingleLine | dtVCenter | dtEndEllipsis | dtNoPrefix);
      size_t tab = detail.find('\t');
      QString first = QString::fromStdString(detail.substr(0, tab));
      QString second = tab == std::string::npos ? QString() : QString::fromStdString(detail.substr(tab + 1));
      QFontMetrics fm(font);
      int32_t column = fm.horizontalAdvance(QStringLiteral("199%"));
      TRect a{left, h / 2, left + column, h - 2};
      drawText(cell_, first, a, font, opaque(text), dtSingleLine | dtVCenter | dtRight | dtNoPrefix);
      TRect b{left + column + 4, h / 2, w - 4, h - 2};
      drawText(cell_, second, b, font, opaque(text), dtSingleLine | dtVCenter | dtEndEllipsis | dtNoPrefix);
    } else {
      TRect tr{left, 0, w - 4, h - 1};
      drawText(cell_, name, tr, font, opaque(text), dtSingleLine | dtVCenter | dtEndEllipsis | dtNoPrefix);
    }
  } else {
    TRect tr{left + 3, 0, w - 4, h - 1};
    drawText(cell_, name, tr, font(), opaque(text), dtSingleLine | dtVCenter | dtEndEllipsis | dtNoPrefix);
  }
  if (state & kDrawPressed) cell_.frameRect(inner, 1, opaque(colors_.highlight), copyChannel, copyChannel);
  // Cells are clipped to the item area.
  TRect a = list_.itemArea();
  int32_t top = std::max(r.Top, a.Top), bottom = std::min(r.Bottom, a.Bottom);
  if (bottom > top)
    face_.copyPixels(r.Left, top, std::min(w, a.Right - r.Left), bottom - top, cell_.pixels(), 0, top - r.Top,
                     cell_.width(), cell_.height());
}

void TItemListView::drawDropButton() {
  // A small raised button over the item, sunken and lit while its switch is
  // on; its face is a ramp of three steps.
  const TRect r = list_.dropButtonRect();
  if (r.Right - r.Left < 6 || r.Bottom - r.Top < 6) return;
  const bool down = list_.dropDownPressed();
  face_.fillRect(r, opaque(down ? colors_.highlight : colors_.btnFace), copyChannel, copyChannel);
  face_.frameBevel(r, 1, opaque(down ? colors_.btnShadow : colors_.btnHighlight),
                   opaque(down ? colors_.btnHighlight : colors_.btnShadow), copyChannel, copyChannel);
  const TRect in{r.Left + 2, r.Top + 3, r.Right - 2, r.Bottom - 3};
  const int32_t step = std::max(1, (in.Right - in.Left) / 3);
  const std::array<TUiColor, 3> ramp{colors_.windowText, colors_.btnShadow, colors_.window};
  for (int32_t k = 0; k < 3; ++k) {
    const int32_t left = in.Left + k * step, right = k == 2 ? in.Right : left + step;
    face_.fillRect(TRect{left, in.Top, right, in.Bottom}, opaque(ramp[static_cast<size_t>(k)]), copyChannel,
                   copyChannel);
  }
}

void TItemListView::drawArrowColumn() {
  // A separator, then a small triangle pointing down, centred.
  const TRect a = list_.itemArea();
  const TRect col{a.Right, a.Top, width() - 2, a.Bottom};
  if (col.Right <= col.Left) return;
  const TUiColor frame = opaque(colors_.windowFrame);
  face_.fillRect(col, opaque(colors_.btnFace), copyChannel, copyChannel);
  face_.fillRect(TRect{col.Left, col.Top, col.Left + 1, col.Bottom}, frame, copyChannel, copyChannel);
  const int32_t cx = (col.Left + 1 + col.Right) / 2, cy = (col.Top + col.Bottom) / 2 - 1;
  for (int32_t row = 0; row < 3; ++row)
    face_.fillRect(TRect{cx - 2 + row, cy + row, cx + 3 - row, cy + row + 1}, frame, copyChannel, copyChannel);
}

void TItemListView::paintEvent(QPaintEvent*) {
  if (dirty_) compose();
  QPainter p(this);
  blitToPainter(p, 0, 0, width(), height(), face_, 0, 0);
}

void TItemListView::mousePressEvent(QMouseEvent* e) {
  // A widget that was never shown has had no resize event yet.
  list_.setBounds(width(), height());
  QPoint pt = e->position().toPoint();
  lastMouse_ = pt;
  if (e->button() == Qt::RightButton) {
    int32_t i = list_.itemAtPos(pt.x(), pt.y());
    if (OnContextItem && list_.isValidIndex(i))
      OnContextItem(i, e->globalPosition().toPoint());
    else if (OnContextArea && !list_.isValidIndex(i))
      OnContextArea(e->globalPosition().toPoint());
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  if (list_.hitTestPart(pt.x(), pt.y()) == kPartArrows) return openPopup();
  uint32_t m = modifiersOf(e->modifiers());
  if (OnPress)
    OnPress(pt.x(), pt.y(), m);
  else
    list_.mouseDown(pt.x(), pt.y(), m);
}

void TItemListView::mouseMoveEvent(QMouseEvent* e) {
  QPoint pt = e->position().toPoint();
  lastMouse_ = pt;
  if (!(e->buttons() & Qt::LeftButton)) return;
  if (!list_.dragging() && list_.dragStarts(pt.x(), pt.y(), modifiersOf(e->modifiers()),
                                            QApplication::startDragDistance())) {
    list_.setDragging(true);
    scrollTimer_->start(500);
    if (OnDragStart) OnDragStart();
  }
  if (!list_.dragging()) return;
  list_.dragOver(&list_, pt.x(), pt.y());
  // Over another list of the kind the drop marker shows there.
  TItemListView* other = dropTargetAt(e->globalPosition().toPoint());
  if (other != hoveredTarget_) {
    if (hoveredTarget_) hoveredTarget_->list().dragEnd();
    hoveredTarget_ = other;
  }
  if (other) {
    QPoint at = other->mapFromGlobal(e->globalPosition().toPoint());
    other->list().dragOver(&list_, at.x(), at.y());
  }
}

TItemListView* TItemListView::dropTargetAt(QPoint global) const {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (!top->isVisible() || !top->geometry().contains(global)) continue;
    QWidget* w = top->childAt(top->mapFromGlobal(global));
    for (w = w != nullptr ? w : top; w != nullptr; w = w->parentWidget()) {
      auto* view = qobject_cast<TItemListView*>(w);
      if (view == nullptr) continue;
      if (view == this || view->list().listKind() != list_.listKind() || !view->isEnabled()) return nullptr;
      return view;
    }
  }
  return nullptr;
}

void TItemListView::mouseReleaseEvent(QMouseEvent* e) {
  QPoint pt = e->position().toPoint();
  scrollTimer_->stop();
  if (list_.dragging()) {
    const QPoint global = e->globalPosition().toPoint();
    TItemListView* other = rect().contains(pt) ? nullptr : dropTargetAt(global);
    hoveredTarget_ = nullptr;
    if (other) {
      // Dropped on a list of the kind: a copy of the item goes there.
      QPoint at = other->mapFromGlobal(global);
      (void)other->list().dragDrop(&list_, at.x(), at.y());  // a refused drop changes nothing
      list_.dragEnd();
    } else if (!rect().contains(pt) && OnDropOutside) {
      (void)OnDropOutside(global);  // as above
      list_.dragEnd();
    } else {
      list_.dragDrop(&list_, pt.x(), pt.y());
    }
    if (OnDragEnd) OnDragEnd();
    return;
  }
  list_.mouseUp();
}

void TItemListView::mouseDoubleClickEvent(QMouseEvent* e) {
  QPoint pt = e->position().toPoint();
  list_.doubleClick(pt.x(), pt.y(), modifiersOf(e->modifiers()));
}

void TItemListView::wheelEvent(QWheelEvent* e) {
  if (!list_.wheel(e->angleDelta().y())) e->ignore();
}

bool TItemListView::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    std::string hint = list_.hintAt(help->pos().x(), help->pos().y());
    // The part before the bar is the short hint.
    QString text = QString::fromStdString(hint.substr(0, hint.find('|')));
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), text, this);
    return true;
  }
  return QWidget::event(e);
}

void TItemListView::autoScroll() {
  int32_t interval = 0;
  int32_t step = list_.autoScrollStep(lastMouse_.y(), interval);
  if (step == 0) return scrollTimer_->start(500);
  list_.setScrollPos(list_.scrollPos() + step);
  list_.dragOver(&list_, lastMouse_.x(), lastMouse_.y());
  scrollTimer_->start(interval);
}

}  // namespace pg
