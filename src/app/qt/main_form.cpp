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
#include "canvas/qt/qt_tablet.h"
#include "canvas/tablet_input.h"
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

  tabletService_ = std::make_unique<TQtTabletService>();
  tablet_ = std::make_unique<TWinTab32>(tabletService_.get(), true, true);
  tabletFilter_ = new TTabletEventFilter(*tablet_, [](bool) {}, this);
  qApp->installEventFilter(tabletFilter_);
  reopenTablet();

  buildStatusPopups();
  updateTabletPanels();

  timer_.setInterval(50);
  connect(&timer_, &QTimer::timeout, this, &TMainForm::onTick);
  timer_.start();
}

TMainForm::~TMainForm() {
  timer_.stop();
  if (tabletFilter_) qApp->removeEventFilter(tabletFilter_);
  tablet_->close();
}

void TMainForm::reopenTablet() {
  tablet_->close();
  if (!tabletDisabled_ && tablet_->isLoaded()) (void)tablet_->open(this);
  updateTabletPanels();
}

void TMainForm::updateTabletPanels() {
  setStatusText(4, res(tablet_->isOpen() ? kResStatusOn : kResStatusOff));
  setStatusText(5, QString::fromStdString(formatRes(kResStatusTablet, {int64_t(tabletType_) + 1})));
  setStatusText(6, res(drawToolMode_ ? kResStatusTabletCoords : kResStatusOsCoords));
}

QMenu* TMainForm::statusPopup(int panel) const {
  switch (panel) {
    case 0: return popZoom_;
    case 1: return popRotate_;
    case 2: return popReso_;
    case 5: return popTabletType_;
    case 6: return popTabletMode_;
    default: return nullptr;
  }
}

void TMainForm::buildStatusPopups() {
  popZoom_ = new QMenu(this);
  for (double ratio : kZoomMenuRatios) {
    QAction* a = popZoom_->addAction(QString::fromStdString(formatZoomStatus(float(ratio * 100.0))));
    a->setCheckable(true);
    a->setEnabled(false);  // zooming comes with the document windows
  }
  popRotate_ = new QMenu(this);
  for (float angle : kRotateMenuAngles) {
    QAction* a = popRotate_->addAction(QString::fromStdString(formatText("%d°", {int64_t(-angle)})));
    a->setCheckable(true);
    a->setEnabled(false);
  }
  popReso_ = new QMenu(this);
  auto* resoGroup = new QActionGroup(popReso_);
  for (uint32_t id : {kResPopResoSize, kResPopResoTotal, kResPopResoLayer, kResPopResoUndo}) {
    QAction* a = popReso_->addAction(res(id));
    a->setCheckable(true);
    resoGroup->addAction(a);
    auto choice = SizePanelChoice(id - kResPopResoSize);
    a->setChecked(choice == sizeChoice_);
    connect(a, &QAction::triggered, this, [this, choice] { setSizePanelChoice(choice); });
  }
  popTabletType_ = new QMenu(this);
  for (int type : {0, 1}) {
    QAction* a = popTabletType_->addAction(res(type == 0 ? kResPopTabletType1 : kResPopTabletType2));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, type] {
      if (!tablet_->isOpen()) return;
      tabletType_ = type;
      reopenTablet();
    });
  }
  popTabletMode_ = new QMenu(this);
  for (bool mode : {false, true}) {
    QAction* a = popTabletMode_->addAction(res(mode ? kResPopTabletModeTablet : kResPopTabletModeOs));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, mode] {
      if (!tablet_->isOpen()) return;
      drawToolMode_ = mode;
      reopenTablet();
    });
  }
  // Checks and enabled states follow the current settings each time one opens.
  connect(popTabletType_, &QMenu::aboutToShow, this, [this] {
    auto list = popTabletType_->actions();
    for (int i = 0; i < list.size(); ++i) {
      list[i]->setEnabled(tablet_->isLoaded());
      list[i]->setChecked(i == tabletType_);
    }
  });
  connect(popTabletMode_, &QMenu::aboutToShow, this, [this] {
    auto list = popTabletMode_->actions();
    for (int i = 0; i < list.size(); ++i) {
      list[i]->setEnabled(tablet_->isLoaded());
      list[i]->setChecked((i == 1) == drawToolMode_);
    }
  });
}

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
  setStatusText(4, res(tablet_->isOpen() ? kResStatusOn : kResStatusOff));
  emit ticked();
}

void TMainForm::onStatusPanelClicked(int panel, QPoint at) {
  if (panel == 4) {
    reopenTablet();
    return;
  }
  // The zoom, rotation and size pop-ups need a document window.
  bool needsDocument = panel <= 2;
  bool haveDocument = mdi_->activeSubWindow() != nullptr;
  QMenu* menu = statusPopup(panel);
  if (!menu || (needsDocument && !haveDocument)) return;
  menu->popup(at);
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
