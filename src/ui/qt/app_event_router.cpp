#include "ui/qt/app_event_router.h"

#include <QGuiApplication>

#include <algorithm>

namespace pg {

namespace {
CAppEventRouter* gRouter = nullptr;
}

CAppEventRouter& CAppEventRouter::instance() {
  if (!gRouter) gRouter = new CAppEventRouter(QCoreApplication::instance());
  return *gRouter;
}

CAppEventRouter::CAppEventRouter(QObject* parent) : QObject(parent) {
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
      if (state != Qt::ApplicationActive) applicationDeactivated();
    });
  }
}

CAppEventRouter::~CAppEventRouter() {
  if (gRouter == this) gRouter = nullptr;
}

void CAppEventRouter::push(IAppEventHandler* handler) {
  if (!handler) return;
  remove(handler);
  stack_.push_back(handler);
  if (!filtering_ && QCoreApplication::instance()) {
    QCoreApplication::instance()->installEventFilter(this);
    filtering_ = true;
  }
}

void CAppEventRouter::remove(IAppEventHandler* handler) {
  std::erase(stack_, handler);
  if (stack_.empty() && filtering_ && QCoreApplication::instance()) {
    QCoreApplication::instance()->removeEventFilter(this);
    filtering_ = false;
  }
}

bool CAppEventRouter::contains(const IAppEventHandler* handler) const {
  return std::find(stack_.begin(), stack_.end(), handler) != stack_.end();
}

void CAppEventRouter::applicationDeactivated() {
  // Handlers may leave the stack while they hear it; walk a copy and skip
  // those gone meanwhile.
  const std::vector<IAppEventHandler*> snapshot = stack_;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    if (!contains(*it)) continue;
    if (!(*it)->appDeactivated()) return;
  }
}

bool CAppEventRouter::eventFilter(QObject* watched, QEvent* event) {
  IAppEventHandler* h = top();
  return h ? h->appEvent(watched, event) : false;
}

}  // namespace pg
