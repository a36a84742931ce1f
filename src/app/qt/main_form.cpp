#include "app/qt/main_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QWindowStateChangeEvent>

#include "app/action_table.h"
#include "app/qt/main_actions.h"
#include "app/qt/status_panels.h"
#include "platform/message_service.h"
#include "platform/qt/qt_window_placement.h"
#include "platform/string_table.h"

namespace pg {

namespace {

QString res(uint32_t id) { return QString::fromStdString(resString(id)); }

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainForm"));
  mdi_ = new QMdiArea(this);
  mdi_->setObjectName(QStringLiteral("DocumentArea"));
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);

  actions_ = new TMainActions(this);
  actions_->buildMenus(*menuBar());
  status_ = new TStatusPanels(this);
  setStatusBar(status_);
  connect(status_, &TStatusPanels::panelClicked, this, &TMainForm::onStatusPanelClicked);

  setTitle(QString::fromUtf8(kProductName.data(), qsizetype(kProductName.size())));
  bindWindowCommands();

  setStatusText(5, QString::fromStdString(formatRes(kResStatusTablet, {1})));
  setStatusText(6, res(kResStatusOsCoords));
  setStatusText(4, res(kResStatusOff));

  timer_.setInterval(50);
  connect(&timer_, &QTimer::timeout, this, &TMainForm::onTick);
  timer_.start();
}

TMainForm::~TMainForm() { timer_.stop(); }

void TMainForm::handOverFile(const QString& absolutePath) { (void)absolutePath; }

int TMainForm::showModalDialog(QDialog& dialog) {
  if (modalDialogOpen_ || textLoopRunning_) return kMrCancel;
  modalDialogOpen_ = true;
  int result = dialog.exec();
  modalDialogOpen_ = false;
  // Qt answers Accepted (1) and Rejected (0); callers test for OK.
  return result == QDialog::Accepted ? kMrOk : kMrCancel;
}

void TMainForm::setStatusText(int panel, const QString& text) { status_->setPanelText(panel, text); }

void TMainForm::showZoomStatus(float percent) { setStatusText(0, QString::fromStdString(formatZoomStatus(percent))); }

void TMainForm::showAngleStatus(float degrees) {
  setStatusText(1, QString::fromStdString(formatAngleStatus(degrees)));
}

void TMainForm::showSizeStatus() {
  // Without a document window the panel stays empty.
  setStatusText(2, QString());
}

void TMainForm::setSizePanelChoice(SizePanelChoice choice) {
  sizeChoice_ = choice;
  showSizeStatus();
}

void TMainForm::setTitle(const QString& title) {
  setWindowTitle(title);
  QGuiApplication::setApplicationDisplayName(QString());
}

void TMainForm::applyBounds(const SMainWindowBounds& b) {
  QRect g = geometry();
  if (b.x >= 0) g.moveLeft(b.x);
  if (b.y >= 0) g.moveTop(b.y);
  if (b.width >= 0) g.setWidth(std::max(b.width, 200));
  if (b.height >= 0) g.setHeight(std::max(b.height, 150));
  setGeometry(g);
  keepControlOnScreen(*this);
  if (b.maximised) setWindowState(windowState() | Qt::WindowMaximized);
}

SMainWindowBounds TMainForm::currentBounds() const {
  SMainWindowBounds b;
  b.maximised = isMaximized();
  QRect g = isMaximized() || isMinimized() ? normalGeometry() : geometry();
  b.x = g.x();
  b.y = g.y();
  b.width = g.width();
  b.height = g.height();
  return b;
}

void TMainForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    auto* e = static_cast<QWindowStateChangeEvent*>(event);
    bool was = e->oldState() & Qt::WindowMinimized;
    bool now = windowState() & Qt::WindowMinimized;
    if (was != now) emit minimisedChanged(now);
  }
  QMainWindow::changeEvent(event);
}

void TMainForm::onTick() {
  emit ticked();
}

void TMainForm::onStatusPanelClicked(int panel, QPoint at) {
  (void)panel;
  (void)at;
}

void TMainForm::bindWindowCommands() {
  TMainActions& a = *actions_;
  a.bind("ActFileExit", [this] { close(); });
  auto twoOrMore = [this] { return SActionState{mdi_->subWindowList().size() >= 2}; };
  a.bind("WindowCascade1", [this] { mdi_->cascadeSubWindows(); }, twoOrMore);
  a.bind("WindowTileHorizontal1", [this] { mdi_->tileSubWindows(); }, twoOrMore);
  a.bind("WindowMinimizeAll1", [this] {
    for (QMdiSubWindow* w : mdi_->subWindowList()) w->showMinimized();
  }, [this] { return SActionState{!mdi_->subWindowList().isEmpty()}; });
  if (QMenu* docs = a.documentListMenu()) connect(docs, &QMenu::aboutToShow, this, &TMainForm::rebuildDocumentList);
}

void TMainForm::rebuildDocumentList() {
  QMenu* menu = actions_->documentListMenu();
  if (!menu) return;
  menu->clear();
  auto* group = new QActionGroup(menu);
  int n = 0;
  for (QMdiSubWindow* w : mdi_->subWindowList()) {
    QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(w->windowTitle()));
    a->setCheckable(true);
    a->setChecked(w == mdi_->activeSubWindow());
    group->addAction(a);
    connect(a, &QAction::triggered, this, [this, w] {
      if (w->isMinimized()) w->showNormal();
      mdi_->setActiveSubWindow(w);
    });
  }
  if (n == 0) menu->addAction(QStringLiteral("-"))->setEnabled(false);
}

}  // namespace pg
