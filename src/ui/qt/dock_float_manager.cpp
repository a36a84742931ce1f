#include "ui/qt/dock_float_manager.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <set>

#include "ui/qt/dock_drawing.h"
#include "ui/qt/dock_float_form.h"
#include "ui/qt/dock_strip.h"
#include "ui/qt/dock_view.h"
#include "ui/qt/graphic_image.h"
#include "ui/snap_rect.h"

namespace pg {

namespace {

TRect toTRect(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
QRect toQRect(const TRect& r) { return {r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top}; }

// Where a dragged panel would land, drawn over everything.
class CDropIndicator final : public QWidget {
 public:
  CDropIndicator() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    TMemoryGraphic g(width(), height(), uiClear);
    if (!g.isValid()) return;
    paintDropIndicator(g);
    QPainter p(this);
    blendToPainter(p, 0, 0, g.width(), g.height(), g, 0, 0);
  }
};

// A copy of a wheel turn aimed at another widget.
[[nodiscard]] bool sendWheel(QWidget* target, const QWheelEvent& e) {
  const QPointF global = e.globalPosition();
  QWheelEvent copy(target->mapFromGlobal(global), global, e.pixelDelta(), e.angleDelta(), e.buttons(), e.modifiers(),
                   e.phase(), e.inverted());
  copy.setAccepted(false);
  QCoreApplication::sendEvent(target, &copy);
  return copy.isAccepted();
}

}  // namespace

TDockFloatManager::TDockFloatManager(QWidget* mainWindow) : QObject(nullptr), main_(mainWindow) {
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::screenRemoved, this, [this] { keepFormsOnScreen(); });
    for (QScreen* s : QGuiApplication::screens())
      connect(s, &QScreen::geometryChanged, this, [this] { keepFormsOnScreen(); });
  }
}

TDockFloatManager::~TDockFloatManager() {
  destroying_ = true;
  if (QCoreApplication::instance()) CAppEventRouter::instance().remove(this);
  for (auto& v : views_) {
    if (!v) continue;
    v->hide();
    v->setParent(nullptr);
    v->attach(nullptr, -1);
  }
  for (auto& [id, f] : forms_)
    if (f && f != pinned_) delete f.data();
}

// ---- panels and forms -----------------------------------------------------------

bool TDockFloatManager::registerPanel(TCustomDockView* view, int32_t defaultGroup, bool defaultAtCorner) {
  if (!view || view->floatViewManager()) return false;
  SDockView d;
  d.name = view->dockName().toStdString();
  // A panel's layout may need more than the size it was given: the default
  // arrangement places forms by these sizes, so take the larger.
  const QSize least = view->minimumSizeHint();
  d.minWidth = std::max(view->minimumWidth(), least.width());
  d.minHeight = view->minimumHeight();
  d.maxHeight = view->maximumHeight() < QWIDGETSIZE_MAX ? view->maximumHeight() : 0;
  d.width = d.defaultWidth = std::max(view->width(), d.minWidth);
  d.height = d.defaultHeight = std::max(view->height(), least.height());
  d.defaultGroup = defaultGroup;
  d.defaultAtCorner = defaultAtCorner;
  d.tabWidth = view->captionImage(false).width();
  const int32_t id = model_.registerView(d);
  if (id < 0) return false;
  views_.resize(static_cast<size_t>(id) + 1);
  views_[id] = view;
  view->attach(this, id);
  view->hide();
  return true;
}

TCustomDockView* TDockFloatManager::panel(const QString& name) const {
  return viewWidget(model_.viewByName(name.toStdString()));
}

TCustomDockView* TDockFloatManager::viewWidget(int32_t id) const {
  return id >= 0 && id < static_cast<int32_t>(views_.size()) ? views_[id].data() : nullptr;
}

bool TDockFloatManager::addFloatForm(TDockFloatForm* form) {
  if (!form || pinned_ || !model_.addPinnedForm(toTRect(form->geometry()))) return false;
  pinned_ = form;
  form->setFormId(model_.form(0).id);
  forms_[model_.form(0).id] = form;
  sync();
  return true;
}

TDockFloatForm* TDockFloatManager::floatForm(int index) const {
  if (index < 0 || index >= model_.formCount()) return nullptr;
  const auto it = forms_.find(model_.form(index).id);
  return it == forms_.end() ? nullptr : it->second.data();
}

int32_t TDockFloatManager::formIndexOf(const TDockFloatForm* form) const {
  return form ? model_.formIndexOfId(form->formId()) : -1;
}

int TDockFloatManager::indexOf(const TDockFloatForm* form) const { return formIndexOf(form); }

bool TDockFloatManager::ownsWindow(const QWidget* window) const {
  if (!window) return false;
  for (const auto& [id, f] : forms_)
    if (f && f == window) return true;
  return false;
}

bool TDockFloatManager::locatePane(uint32_t paneId, int32_t& form, int32_t& pane) const {
  for (int32_t f = 0; f < model_.formCount(); ++f)
    for (int32_t p = 0; p < model_.paneCount(f); ++p)
      if (model_.form(f).panes[p].id == paneId) {
        form = f;
        pane = p;
        return true;
      }
  return false;
}

// ---- showing the model -----------------------------------------------------------

void TDockFloatManager::sync() {
  if (destroying_ || syncing_) return;
  syncing_ = true;
  std::set<uint32_t> liveForms;
  std::set<uint32_t> livePanes;
  std::set<int32_t> placed;
  for (int32_t f = 0; f < model_.formCount(); ++f) {
    const SDockForm& mf = model_.form(f);
    liveForms.insert(mf.id);
    QPointer<TDockFloatForm>& w = forms_[mf.id];
    // The tool window belongs to its owner; once gone it is not made again.
    if (!w && mf.pinned) continue;
    if (!w) {
      w = new TDockFloatForm(this, main_.data());
      w->setFormId(mf.id);
    }
    int32_t minW = 0, minH = 0, maxH = 0;
    model_.trackLimits(f, minW, minH, maxH);
    w->setMinimumSize(minW, minH);
    w->setMaximumHeight(maxH > 0 ? maxH : QWIDGETSIZE_MAX);
    w->setGeometry(toQRect(mf.bounds));
    const QRect client = w->clientArea();
    const auto layout = model_.layout(f, client.height());
    QString title;
    for (int32_t p = 0; p < model_.paneCount(f); ++p) {
      const SDockPane& pane = mf.panes[p];
      const SDockPaneLayout& l = layout[p];
      livePanes.insert(pane.id);
      QPointer<TDockViewManager>& strip = strips_[pane.id];
      if (!strip) strip = new TDockViewManager(this, pane.id, w);
      if (strip->parentWidget() != w) strip->setParent(w);
      strip->setGeometry(client.x(), client.y() + l.top, client.width(), l.stripHeight);
      strip->render();
      strip->show();
      for (int32_t vid : pane.views) {
        placed.insert(vid);
        TCustomDockView* v = viewWidget(vid);
        if (!v) continue;
        if (v->parentWidget() != w) v->setParent(w);
        if (model_.viewVisible(vid)) {
          v->setGeometry(client.x(), client.y() + l.viewTop, client.width(), l.viewHeight);
          v->show();
        } else {
          v->hide();
        }
      }
      if (p == 0 && pane.activeIndex >= 0)
        if (TCustomDockView* v = viewWidget(pane.views[pane.activeIndex])) title = v->caption();
    }
    w->setWindowTitle(title);
    if (mf.visible && !w->isVisible())
      w->show();
    else if (!mf.visible && w->isVisible())
      w->hide();
    w->update();
  }
  for (int32_t id = 0; id < static_cast<int32_t>(views_.size()); ++id) {
    TCustomDockView* v = viewWidget(id);
    if (!v || placed.count(id)) continue;
    v->hide();
    if (ownsWindow(v->parentWidget())) v->setParent(nullptr);
  }
  for (auto it = strips_.begin(); it != strips_.end();) {
    if (livePanes.count(it->first)) {
      ++it;
      continue;
    }
    // A strip may be in the middle of its own mouse handler: free it later.
    if (it->second) {
      it->second->hide();
      it->second->deleteLater();
    }
    it = strips_.erase(it);
  }
  for (auto it = forms_.begin(); it != forms_.end();) {
    if (liveForms.count(it->first)) {
      ++it;
      continue;
    }
    if (TDockFloatForm* f = it->second) {
      for (auto& v : views_)
        if (v && v->parentWidget() == f) v->setParent(nullptr);
      f->hide();
      f->deleteLater();
    }
    it = forms_.erase(it);
  }
  syncing_ = false;
}

// ---- arrangement -------------------------------------------------------------------

QRect TDockFloatManager::screenRect() const {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->virtualGeometry() : QRect(0, 0, 1024, 768);
}

QRect TDockFloatManager::documentArea() const {
  if (main_) {
    if (auto* mdi = main_->findChild<QMdiArea*>()) {
      QWidget* vp = mdi->viewport();
      return {vp->mapToGlobal(QPoint(0, 0)), vp->size()};
    }
    return {main_->mapToGlobal(QPoint(0, 0)), main_->size()};
  }
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->availableGeometry() : screenRect();
}

void TDockFloatManager::defaultArrangement() {
  cancelDrag();
  // The document area may stick out past the screens; the panels may not.
  QRect area = documentArea().intersected(screenRect());
  if (area.isEmpty()) area = screenRect();
  model_.defaultArrangement(toTRect(area));
  sync();
}

QByteArray TDockFloatManager::saveLayout() const {
  return QByteArray::fromStdString(model_.saveLayout(toTRect(screenRect())));
}

bool TDockFloatManager::restoreLayout(const QByteArray& blob) {
  cancelDrag();
  if (!model_.restoreLayout(std::string_view(blob.constData(), static_cast<size_t>(blob.size())),
                            toTRect(screenRect()))) {
    defaultArrangement();
    return false;
  }
  model_.floatUnplaced(toTRect(documentArea()));
  sync();
  keepFormsOnScreen();
  return true;
}

void TDockFloatManager::keepFormsOnScreen() {
  const QRect screen = screenRect();
  const SRectXYWH bounds{screen.x(), screen.y(), screen.width(), screen.height()};
  for (const auto& [id, f] : forms_) {
    if (!f) continue;
    const QRect g = f->geometry();
    SRectXYWH r{g.x(), g.y(), g.width(), g.height()};
    // A form larger than the screens stays where it is.
    if (!keepRectInside(r, bounds) || (r.X == g.x() && r.Y == g.y())) continue;
    f->move(r.X, r.Y);
    formMoved(f);  // a hidden form hears of its move only when shown
  }
}

// ---- hiding and showing together ---------------------------------------------------

void TDockFloatManager::hideAll() {
  model_.hideAll();
  sync();
}

void TDockFloatManager::showAll() {
  model_.showAll();
  sync();
  if (main_) main_->activateWindow();
}

void TDockFloatManager::setHidden(bool hidden) {
  if (hidden)
    hideAll();
  else
    showAll();
}

void TDockFloatManager::mainWindowRestored() {
  showAll();
  if (main_) main_->raise();
}

// ---- wheel ---------------------------------------------------------------------------

QWidget* TDockFloatManager::mainActiveChild() const {
  if (!main_) return nullptr;
  auto* mdi = main_->findChild<QMdiArea*>();
  QMdiSubWindow* sub = mdi ? mdi->activeSubWindow() : nullptr;
  return sub ? sub->widget() : nullptr;
}

bool TDockFloatManager::dispatchWheel(QWheelEvent* event) {
  // A panel that does not take the copy passes it up to its form, which
  // would offer it round again.
  if (dispatching_ || !event) return false;
  dispatching_ = true;
  bool taken = false;
  for (int32_t f = 0; f < model_.formCount() && !taken; ++f)
    for (const SDockPane& pane : model_.form(f).panes) {
      for (int32_t vid : pane.views) {
        TCustomDockView* v = viewWidget(vid);
        if (v && v->isVisible() && sendWheel(v, *event)) {
          taken = true;
          break;
        }
      }
      if (taken) break;
    }
  if (!taken)
    if (QWidget* doc = mainActiveChild()) taken = sendWheel(doc, *event);
  dispatching_ = false;
  if (taken) event->accept();
  return taken;
}

bool TDockFloatManager::forwardWheel(QWheelEvent* event) {
  if (dispatching_ || !event) return false;
  const QPoint global = event->globalPosition().toPoint();
  for (auto& v : views_) {
    if (!v || !v->isVisible() || !v->window()->isVisible()) continue;
    if (!QRect(v->mapToGlobal(QPoint(0, 0)), v->size()).contains(global)) continue;
    QWidget* target = v->childAt(v->mapFromGlobal(global));
    dispatching_ = true;
    const bool taken = sendWheel(target ? target : v.data(), *event);
    dispatching_ = false;
    if (taken) event->accept();
    return taken;
  }
  return false;
}

// ---- snapping, moving and sizing ---------------------------------------------------

bool TDockFloatManager::snapRect(TRect& r, const TDockFloatForm* form, bool skipSelf) const {
  SSnapTargets t;
  for (QScreen* s : QGuiApplication::screens()) t.monitors.push_back(toTRect(s->geometry()));
  if (main_) {
    t.hasOwnerArea = true;
    t.ownerArea = toTRect(documentArea());
  }
  for (const auto& [id, f] : forms_) {
    if (!f || !f->isVisible() || (skipSelf && f == form)) continue;
    t.others.push_back(toTRect(f->geometry()));
  }
  return pg::snapRect(r, t);
}

void TDockFloatManager::formMoved(TDockFloatForm* form) {
  if (syncing_ || destroying_) return;
  const int32_t f = formIndexOf(form);
  if (f >= 0) model_.setFormBounds(f, toTRect(form->geometry()));
}

void TDockFloatManager::resizeForm(TDockFloatForm* form, QRect b, bool movingLeft, bool movingTop) {
  const int32_t f = formIndexOf(form);
  if (f < 0) return;
  int32_t minW = 0, minH = 0, maxH = 0;
  model_.trackLimits(f, minW, minH, maxH);
  if (b.width() < minW) movingLeft ? b.setLeft(b.right() + 1 - minW) : b.setWidth(minW);
  int32_t h = std::max(b.height(), minH);
  if (maxH > 0) h = std::min(h, maxH);
  if (h != b.height()) movingTop ? b.setTop(b.bottom() + 1 - h) : b.setHeight(h);
  model_.resizeForm(f, toTRect(b));
  model_.fitHeight(f);
  sync();
}

void TDockFloatManager::toggleCollapsed(TDockFloatForm* form) {
  const int32_t f = formIndexOf(form);
  if (f < 0) return;
  model_.setAllCollapsed(f, !model_.allCollapsed(f));
  sync();
}

void TDockFloatManager::viewChanged(TCustomDockView* /*view*/) {
  if (syncing_ || destroying_) return;
  for (auto& [id, s] : strips_)
    if (s) s->render();
}

void TDockFloatManager::viewDestroyed(TCustomDockView* view) {
  if (!view) return;
  const int32_t id = view->dockId();
  if (id < 0 || id >= static_cast<int32_t>(views_.size())) return;
  views_[id] = nullptr;
  if (dragView_ == id) cancelDrag();
  if (destroying_) return;
  (void)model_.removeView(id);  // a view that was never placed has no place to leave
  sync();
}

// ---- dragging a panel -------------------------------------------------------------

bool TDockFloatManager::dropAt(const QPoint& global, int32_t& form, int32_t& position, QRect& indicator,
                               TRect& floatBounds) const {
  for (int32_t f = 0; f < model_.formCount(); ++f) {
    TDockFloatForm* w = floatForm(f);
    if (!w || !w->isVisible() || !w->frameGeometry().contains(global)) continue;
    const QRect client = w->clientArea();
    const QPoint local = w->mapFromGlobal(global) - client.topLeft();
    form = f;
    position = model_.findDropPosition(f, local.y());
    const TRect ind = model_.dropIndicator(f, position);
    indicator = QRect(w->mapToGlobal(client.topLeft() + QPoint(ind.Left, ind.Top)),
                      QSize(ind.Right - ind.Left, ind.Bottom - ind.Top));
    return true;
  }
  const QPoint tl = global - dragOffset_;
  floatBounds = model_.floatBoundsFor(dragView_, {tl.x(), tl.y()});
  (void)snapRect(floatBounds, nullptr, false);  // snapped or not, these are the bounds
  indicator = toQRect(floatBounds);
  return false;
}

void TDockFloatManager::beginDrag(int32_t view, const QPoint& pressGlobal, const QPoint& stripTopLeftGlobal) {
  if (dragging() || !model_.validView(view)) return;
  dragView_ = view;
  // The new form's strip lies under the pointer as the old one did.
  dragOffset_ = pressGlobal - stripTopLeftGlobal + QPoint(kDockBorder, kDockBorder + kDockCaptionHeight);
  if (!indicator_) indicator_ = std::make_unique<CDropIndicator>();
  CAppEventRouter::instance().push(this);
  dragMove(pressGlobal);
}

void TDockFloatManager::dragMove(const QPoint& global) {
  if (!dragging()) return;
  int32_t form = -1, position = -1;
  QRect indicator;
  TRect floatBounds;
  // Docking or floating, the indicator shows where the panel would go.
  (void)dropAt(global, form, position, indicator, floatBounds);
  indicator_->setGeometry(indicator);
  indicator_->show();
}

void TDockFloatManager::endDrag(const QPoint& global) {
  if (!dragging()) return;
  int32_t form = -1, position = -1;
  QRect indicator;
  TRect floatBounds;
  const int32_t view = dragView_;
  const bool onForm = dropAt(global, form, position, indicator, floatBounds);
  cancelDrag();
  if (onForm)
    // Whatever the drop did, sync() below shows what the model now holds.
    (void)model_.endDock(view, form, position);
  else
    (void)model_.floatView(view, floatBounds);  // at the cap the panel stays where it was
  sync();
}

void TDockFloatManager::cancelDrag() {
  dragView_ = -1;
  if (indicator_) indicator_->hide();
  CAppEventRouter::instance().remove(this);
}

bool TDockFloatManager::appEvent(QObject* /*watched*/, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    cancelDrag();
    return true;
  }
  return false;
}

}  // namespace pg
