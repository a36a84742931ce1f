#include "ui/qt/dock_view.h"

#include <QMenu>
#include <QPainter>

#include "core/assign_changed.h"
#include "ui/dock_model.h"
#include "ui/qt/dock_drawing.h"
#include "ui/qt/dock_float_form.h"
#include "ui/qt/dock_float_manager.h"

namespace pg {

TCustomDockView::TCustomDockView(const QString& name, QWidget* parent)
    : QWidget(parent), name_(name) {
  setObjectName(name);
  resize(kDockViewWidth, kDockViewHeight);
  setMinimumSize(kDockViewWidth, kDockViewHeight);
  setCaption(QStringLiteral("CustomDockView"));
}

TCustomDockView::~TCustomDockView() {
  if (manager_) manager_->viewDestroyed(this);
}

void TCustomDockView::attach(TDockFloatManager* manager, int32_t id) {
  manager_ = manager;
  id_ = id;
}

void TCustomDockView::renderCaptions() {
  // Without pixels the tab is simply not drawn.
  (void)renderCaptionTabs(caption_, inactiveCaption_, activeCaption_);
}

void TCustomDockView::setCaption(const QString& text) {
  if (!assignIfChanged(caption_, text)) return;
  renderCaptions();
  if (manager_) manager_->viewChanged(this);
}

void TCustomDockView::setPopupMenu(QMenu* menu) {
  if (!assignIfChanged(menu_, menu)) return;
  if (manager_) manager_->viewChanged(this);
}

bool TCustomDockView::shown() const { return manager_ && id_ >= 0 ? manager_->model().view(id_).shown : true; }

void TCustomDockView::setShown(bool shown) {
  if (!manager_ || id_ < 0) return;
  manager_->model().setShown(id_, shown);
  manager_->sync();
}

bool TCustomDockView::collapsed() const { return manager_ && id_ >= 0 ? manager_->model().view(id_).collapsed : false; }

void TCustomDockView::setHidden(bool collapsed) {
  if (!manager_ || id_ < 0) return;
  const SDockPlace at = manager_->model().placeOf(id_);
  if (at.form < 0 || collapsed == this->collapsed()) return;
  manager_->model().setAllHidden(at.form, at.pane, collapsed);
  manager_->sync();
}

int TCustomDockView::showState() const {
  return manager_ && id_ >= 0 ? manager_->model().showState(id_) : kDockStateNoForm;
}

TDockFloatManager* TCustomDockView::floatViewManager() const { return manager_; }

TDockFloatForm* TCustomDockView::floatForm() const { return qobject_cast<TDockFloatForm*>(parentWidget()); }

void TCustomDockView::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  p.end();
  doPaint();
}

void TCustomDockView::doPaint() {
  if (OnPaint) OnPaint(this);
}

}  // namespace pg
