#include "ui/qt/dock_strip.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "core/assign_changed.h"
#include "ui/appearance_manager.h"
#include "ui/dock_model.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/dock_drawing.h"
#include "ui/qt/dock_float_manager.h"
#include "ui/qt/dock_view.h"

namespace pg {

TDockViewManager::TDockViewManager(TDockFloatManager* manager, uint32_t paneId, QWidget* parent)
    : QWidget(parent), manager_(manager), paneId_(paneId) {
  setMouseTracking(true);
  setMinimumWidth(200);
}

bool TDockViewManager::locate(int32_t& form, int32_t& pane) const { return manager_->locatePane(paneId_, form, pane); }

QRect TDockViewManager::menuButtonRect() const {
  int32_t f = 0, p = 0;
  const bool top = !locate(f, p) || p == 0;
  return {width() - 19, (height() - 15) / 2 + (top ? 0 : 2), 17, 15};
}

void TDockViewManager::render() {
  int32_t f = 0, p = 0;
  if (!locate(f, p) || width() <= 0 || height() <= 0) return;
  const CDockModel& m = manager_->model();
  const SDockPane& pane = m.form(f).panes[p];
  if (!face_.setSize(width(), height()) || !tabMap_.setSize(width(), height())) return;
  paintStripFace(face_, p == 0);
  tabMap_.clear();
  const int faceTop = p == 0 ? 0 : kDockGripHeight;
  TCustomDockView* active = nullptr;
  if (pane.activeIndex >= 0) {
    const int n = static_cast<int>(pane.views.size());
    std::vector<int32_t> widths(n);
    std::vector<bool> shown(n);
    for (int i = 0; i < n; ++i) {
      TCustomDockView* v = manager_->viewWidget(pane.views[i]);
      widths[i] = v ? v->captionImage(false).width() : 0;
      shown[i] = m.view(pane.views[i]).shown;
    }
    const std::vector<int32_t> xs = layoutDockTabs(widths, shown, width());
    // Left of the active tab from the first towards it, right of it from the
    // last back towards it, the active one last: it lies on top.
    std::vector<int> order;
    for (int i = 0; i < pane.activeIndex; ++i) order.push_back(i);
    for (int i = n - 1; i > pane.activeIndex; --i) order.push_back(i);
    order.push_back(pane.activeIndex);
    for (int i : order) {
      TCustomDockView* v = manager_->viewWidget(pane.views[i]);
      if (!v || xs[i] < 0) continue;
      const bool isActive = i == pane.activeIndex;
      placeTab(face_, tabMap_, v->captionImage(isActive), xs[i], faceTop + 1, i);
      if (isActive) active = v;
    }
  }
  const uint8_t state = !active || !active->popupMenu() ? gsDisabled : (menuHover_ ? gsActive : gsNone);
  const QRect mb = menuButtonRect();
  paintMenuButton(face_, {mb.left(), mb.top(), mb.right() + 1, mb.bottom() + 1}, state);
  update();
}

int TDockViewManager::tabAt(const QPoint& p) const {
  if (!tabMap_.contains(p.x(), p.y())) return -1;
  const uint32_t px = *tabMap_.pixelAddr(p.x(), p.y());
  if ((px >> 24) == 0) return -1;
  return static_cast<int>(px & 0xFFFFFF);
}

void TDockViewManager::paintEvent(QPaintEvent* /*event*/) {
  if (!face_.isValid()) return;
  QPainter p(this);
  blitToPainter(p, 0, 0, face_.width(), face_.height(), face_, 0, 0);
}

void TDockViewManager::resizeEvent(QResizeEvent* /*event*/) { render(); }

void TDockViewManager::setHover(bool hover) {
  if (assignIfChanged(menuHover_, hover)) render();
}

void TDockViewManager::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isVisible() || !isEnabled()) return;
  int32_t f = 0, p = 0;
  if (!locate(f, p)) return;
  pressPoint_ = event->position().toPoint();
  pressGlobal_ = event->globalPosition().toPoint();
  const SDockPane& pane = manager_->model().form(f).panes[p];
  TCustomDockView* active = pane.activeIndex >= 0 ? manager_->viewWidget(pane.views[pane.activeIndex]) : nullptr;
  if (menuButtonRect().contains(pressPoint_) && active && active->popupMenu()) {
    setHover(true);
    const QRect r = menuButtonRect();
    active->popupMenu()->exec(mapToGlobal(QPoint(r.left(), height())));
    setHover(menuButtonRect().contains(mapFromGlobal(QCursor::pos())));
    return;
  }
  if (p > 0 && pressPoint_.y() < kDockGripHeight) {
    pressState_ = 2;
    return;
  }
  const int tab = tabAt(pressPoint_);
  if (tab < 0) return;
  pressState_ = 1;
  if (tab != pane.activeIndex) {
    manager_->model().setActiveIndex(f, p, tab);
    manager_->sync();
  }
}

void TDockViewManager::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const QPoint global = event->globalPosition().toPoint();
  if (pressState_ == 1) {
    const QPoint d = pos - pressPoint_;
    const int threshold = QApplication::startDragDistance();
    if (std::abs(d.x()) > threshold || std::abs(d.y()) > threshold) {
      int32_t f = 0, p = 0;
      if (locate(f, p)) {
        const SDockPane& pane = manager_->model().form(f).panes[p];
        if (pane.activeIndex >= 0) {
          pressState_ = 3;
          manager_->beginDrag(pane.views[pane.activeIndex], pressGlobal_, mapToGlobal(QPoint(0, 0)));
        }
      }
    }
  }
  if (pressState_ == 3) {
    manager_->dragMove(global);
    return;
  }
  if (pressState_ == 2) {
    int32_t f = 0, p = 0;
    const int dy = pos.y() - pressPoint_.y();
    if (dy != 0 && locate(f, p) && manager_->model().dragGrip(f, p, dy)) {
      // The strip itself moves by dy with the layout.
      manager_->sync();
    }
    return;
  }
  // The grip band of a lower pane shows that it resizes the pane above.
  int32_t f = 0, p = 0;
  if (locate(f, p) && p > 0 && pos.y() < kDockGripHeight)
    setCursor(Qt::SizeVerCursor);
  else
    unsetCursor();
  setHover(menuButtonRect().contains(pos));
}

void TDockViewManager::mouseReleaseEvent(QMouseEvent* event) {
  const uint8_t state = pressState_;
  pressState_ = 0;
  // The drop may free this very strip: the manager deletes strips later.
  if (state == 3 && event->button() == Qt::LeftButton) manager_->endDrag(event->globalPosition().toPoint());
}

void TDockViewManager::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  int32_t f = 0, p = 0;
  if (!locate(f, p) || tabAt(event->position().toPoint()) < 0) return;
  manager_->model().setAllHidden(f, p, !manager_->model().activeHidden(f, p));
  manager_->sync();
}

void TDockViewManager::enterEvent(QEnterEvent* event) { setHover(menuButtonRect().contains(event->position().toPoint())); }

void TDockViewManager::leaveEvent(QEvent* /*event*/) { setHover(false); }

}  // namespace pg
