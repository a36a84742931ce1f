#include "app/qt/main_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QMdiArea>
#include <QLayout>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QWindowStateChangeEvent>
#include <cmath>

#include "app/action_table.h"
#include "app/app_profile.h"
#include "platform/debug_output.h"
#include "app/mru_file_list.h"
#include "app/profile_text_settings.h"
#include "app/profile_preset_prefs.h"
#include "app/profile_view_prefs.h"
#include "app/preference_model.h"
#include "document/paper_view.h"
#include "canvas/draw_window.h"
#include "app/qt/mru_menu.h"
#include "app/qt/new_document_dialog.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/qt/tool_options_panel.h"
#include "platform/settings_store.h"
#include "app/qt/main_actions.h"
#include "app/qt/status_panels.h"
#include "app/qt/tool_target_adapter.h"
#include "brush/pen_render.h"
#include "app/qt/widget_dock_view.h"
#include "ui/qt/dock_float_manager.h"
#include "ui/qt/res_text.h"
#include "canvas/canvas_shared.h"
#include "canvas/qt/draw_window_widget.h"
#include "canvas/qt/qt_tablet.h"
#include "document/paper.h"
#include "canvas/tablet_input.h"
#include "platform/message_service.h"
#include "platform/qt/qt_window_placement.h"
#include "platform/string_table.h"

namespace pg {

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainForm"));
  mdi_ = new QMdiArea(this);
  mdi_->setObjectName(QStringLiteral("DocumentArea"));
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  // A double click on the empty document area opens a file.
  mdi_->viewport()->installEventFilter(this);

  penRender_ = std::make_unique<CPenRender>();
  canvas_ = std::make_unique<CCanvasShared>();
  canvas_->usePenRender(*penRender_);
  canvas_->useDocumentSeedFill();
  actions_ = new TMainActions(this);
  actions_->buildMenus(*menuBar());
  status_ = new TStatusPanels(this);
  setStatusBar(status_);
  connect(status_, &TStatusPanels::panelClicked, this, &TMainForm::onStatusPanelClicked);

  setTitle(QString::fromUtf8(kProductName.data(), qsizetype(kProductName.size())));
  bindWindowCommands();

  tabletService_ = std::make_unique<TQtTabletService>();
  tablet_ = std::make_unique<TWinTab32>(tabletService_.get(), true, true);
  tabletFilter_ = new TTabletEventFilter(*tablet_, [this](bool isPacket) { tabletReport(isPacket); }, this);
  qApp->installEventFilter(tabletFilter_);
  canvas_->tablet = tablet_.get();
  reopenTablet();
  connect(mdi_, &QMdiArea::subWindowActivated, this, &TMainForm::documentActivated);
  bindDocumentCommands();
  bindDocumentCommandsMore();
  bindMenuCommands();
  createToolWindowAndPanels();

  buildStatusPopups();
  applyPreferences();
  bindFileCommands();
  bindReplayCommands();
  bindFilterCommands();
  updateTabletPanels();

  timer_.setInterval(50);
  connect(&timer_, &QTimer::timeout, this, &TMainForm::onTick);
  timer_.start();
}

TMainForm::~TMainForm() {
  timer_.stop();
  if (appProfile().saveWindowHook) appProfile().saveWindowHook = nullptr;
  if (!fileMru_->save(appSettingsStore())) debugOutput("recent files: the list could not be saved");
  // The menu adapter holds the list: it goes first.
  delete fileMruMenu_;
  fileMruMenu_ = nullptr;
  // Document windows (closed ones waiting for deletion too) go before the
  // shared state they point into; deleting one must not activate another.
  disconnect(mdi_, nullptr, this, nullptr);
  // The tool window lets go of them first: it asks its target for the window.
  if (toolForm_) {
    bindViewCommands(nullptr);
    toolForm_->setGrabberHost(nullptr);
    for (auto& t : toolTargets_) toolForm_->releaseDocWindow(t.get());
  }
  toolTargets_.clear();
  for (QMdiSubWindow* w : mdi_->findChildren<QMdiSubWindow*>()) {
    disconnect(w, nullptr, this, nullptr);
    delete w;
  }
  destroyToolWindowAndPanels();
  if (tabletFilter_) qApp->removeEventFilter(tabletFilter_);
  tablet_->close();
  if (&viewPrefs() == docPrefs_.get()) (void)setViewPrefs(nullptr);  // back to the built-in defaults
}

void TMainForm::applyPreferences() {
  CAppProfile& prefs = appProfile();
  prefs.migrate();
  applyBounds({prefs.mainWinMax, prefs.mainWinX, prefs.mainWinY, prefs.mainWinW, prefs.mainWinH});
  childWinMax_ = prefs.childWinMax;
  tabletDisabled_ = prefs.ignoreTablet;
  tabletType_ = prefs.tabletType;
  drawToolMode_ = prefs.DrawToolMode;
  reopenTablet();

  // The text tool keeps its settings in the preferences; the canvas reports
  // hints to the status bar and failures in a message box.
  textSettings_ = std::make_unique<CProfileTextSettings>(prefs);
  canvas_->textSettings = textSettings_.get();
  canvas_->onStatus = [this](uint32_t id) { setStatusText(3, resText(id)); };
  canvas_->onMessage = [](uint32_t id) { showWarning(resString(id)); };
  canvas_->onGrabberDoubleClick = [this] { return toolForm_ && toolForm_->resetGrabberScale(); };
  // The tool options' button that ends the cursor-key move follows the mode.
  canvas_->onKeyMoveMode = [this](TDrawWindow&) {
    if (toolForm_ && toolForm_->optionsPanel()) toolForm_->optionsPanel()->refresh();
  };

  // The documents read the grid, the caption and the undo limit from the
  // preferences; the windows' mouse and scroll settings are copied.
  docPrefs_ = std::make_unique<CProfileDocPrefs>(prefs);
  canvas_->docPrefs = docPrefs_.get();
  (void)setViewPrefs(docPrefs_.get());  // the defaults it replaces are built in
  SCanvasPrefs& c = canvas_->prefs;
  canvasPrefsFromProfile(prefs, c);
  // The fill tools' range settings: the options panel edits them in place.
  c.fillSeed = {prefs.fillLimit, prefs.fillTarget != 0, prefs.fillAntiAlias};
  c.wandSeed = {prefs.wandLimit, prefs.wandTarget != 0, prefs.wandAntiAlias};
  toolForm_->toolOptions().bindSeeds(&c.fillSeed, &c.wandSeed);
  toolForm_->model().setPreferences({prefs.ToolFindNext, prefs.AutoFreeHand, prefs.CellExchange});
  applyToolPreferences();
  // Stored colours are 0x00BBGGRR; the tool window keeps pixels.
  auto pixelOf = [](uint32_t ref) {
    return 0xFF000000u | ((ref & 0xFFu) << 16) | (ref & 0xFF00u) | ((ref >> 16) & 0xFFu);
  };
  toolForm_->model().setFgColor(pixelOf(prefs.fgCol));
  toolForm_->model().setBgColor(pixelOf(prefs.bgCol));
  toolForm_->colourPanel()->applySamplerPreferences(static_cast<uint32_t>(prefs.ColorSampler), prefs.rgbPalBarFixed);
  toolForm_->navigatorPanel()->setCounterRotation(prefs.PreviewCounterRotate);
  // A record that is missing or cannot be read keeps its defaults.
  (void)toolForm_->penSettings().readPenSettings(appSettingsStore(), kProfileRoot);
  presetPrefs_ = std::make_unique<CProfilePresetPrefs>(prefs);
  toolForm_->setPresetPreferences(presetPrefs_.get(), {&prefs.EdtBrushListType, &prefs.EdtPenNibListType,
                                                       &prefs.EdtGradListType, &prefs.OptionListDblClick});
  toolForm_->setPresetPopupPreferences(
      {{&prefs.PopBrushListType, &prefs.PopBrushListWidth, &prefs.PopBrushListHeight, nullptr},
       {&prefs.PopPenNibListType, &prefs.PopPenNibListWidth, &prefs.PopPenNibListHeight, nullptr},
       {&prefs.PopGradListType, &prefs.PopGradListWidth, &prefs.PopGradListHeight, &prefs.PopGradPrevType}});
  toolForm_->loadPresetSets();
  // The variants chosen before the last exit and the lists' display styles.
  toolForm_->model().applyToolSubMode(prefs.ToolSubMode);
  toolForm_->setListStyles({prefs.SwathListType, prefs.BrushListType, prefs.LayerListType, prefs.MaskListType});
  restorePanelLayout(QByteArray::fromStdString(prefs.DockLayout));

  fileMru_ = std::make_unique<TMRUFileList>(makeFileMRUList());
  (void)fileMru_->load(appSettingsStore());  // false only for an unnamed list; a missing section leaves it empty
  fileMruMenu_ = new TMRUMenu(*fileMru_, this);
  fileMruMenu_->setFileMenu(actions_->recentFilesParent(), actions_->recentFilesMarker());
  connect(fileMruMenu_, &TMRUMenu::mruItemClicked, this, &TMainForm::handOverFile);

  prefs.saveWindowHook = [this](CAppProfile&) { storePreferences(); };
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick && watched == mdi_->viewport() &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    actions_->updateAll();
    QAction* open = actions_->action("ActFileOpen");
    if (open != nullptr && open->isEnabled()) open->trigger();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::applyPreferenceEffects(uint32_t effects) {
  canvasPrefsFromProfile(appProfile(), canvas_->prefs);
  if ((effects & kEffectTools) != 0) applyToolPreferences();
  for (TDrawWindowWidget* w : drawWindows()) {
    TDrawWindow& window = w->window();
    TPaper& p = window.paper();
    if ((effects & kEffectGrid) != 0 && p.view().showGrid()) p.setGridSize(true, viewPrefs().gridW(), viewPrefs().gridH(), true);
    if ((effects & kEffectUndo) != 0) (void)p.setUndoCount();  // a failure is reported by the document
    if ((effects & kEffectTitle) != 0) window.updateTitle();
    if ((effects & kEffectLayout) != 0) window.documentLayoutChanged(true);
    window.invalidateView();
    w->viewport()->update();
  }
}

void TMainForm::storePreferences() {
  CAppProfile& prefs = appProfile();
  SMainWindowBounds b = currentBounds();
  prefs.mainWinMax = b.maximised;
  if (!b.maximised) {
    prefs.mainWinX = b.x;
    prefs.mainWinY = b.y;
    prefs.mainWinW = b.width;
    prefs.mainWinH = b.height;
  }
  prefs.tabletType = tabletType_;
  prefs.DrawToolMode = drawToolMode_;
  auto refOf = [](uint32_t pixel) { return ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16); };
  prefs.fgCol = refOf(toolForm_->model().fgColor());
  prefs.bgCol = refOf(toolForm_->model().bgColor());
  prefs.ToolSubMode = toolForm_->model().toolSubMode();
  const TToolForm::SListStyles styles = toolForm_->listStyles();
  prefs.SwathListType = styles.swatches;
  prefs.BrushListType = styles.brushSet;
  prefs.LayerListType = styles.layers;
  prefs.MaskListType = styles.masks;
  prefs.ColorSampler = static_cast<int32_t>(toolForm_->colourPanel()->colorSamplerPreference());
  prefs.rgbPalBarFixed = toolForm_->colourPanel()->barsFixedPreference();
  prefs.PreviewCounterRotate = toolForm_->navigatorPanel()->counterRotation();
  const SCanvasPrefs& c = canvas_->prefs;
  prefs.fillLimit = c.fillSeed.limit;
  prefs.fillTarget = c.fillSeed.visible ? 1 : 0;
  prefs.fillAntiAlias = c.fillSeed.antiAlias;
  prefs.wandLimit = c.wandSeed.limit;
  prefs.wandTarget = c.wandSeed.visible ? 1 : 0;
  prefs.wandAntiAlias = c.wandSeed.antiAlias;
  if (!toolForm_->penSettings().writePenSettings(appSettingsStore(), kProfileRoot))
    debugOutput("the pen settings could not all be stored");
  toolForm_->storePresetFiles();
  QByteArray layout = panelLayout();
  prefs.DockLayout = layout.size() <= qsizetype(kMaxProfileText) ? layout.toStdString() : std::string();
}

void TMainForm::reopenTablet() {
  tablet_->close();
  // Without a tablet context the pointer's own events paint, without pressure.
  if (!tabletDisabled_ && tablet_->isLoaded()) (void)tablet_->open(this);
  updateTabletPanels();
}

void TMainForm::updateTabletPanels() {
  setStatusText(4, resText(tablet_->isOpen() ? kResStatusOn : kResStatusOff));
  setStatusText(5, QString::fromStdString(formatRes(kResStatusTablet, {int64_t(tabletType_) + 1})));
  setStatusText(6, resText(drawToolMode_ ? kResStatusTabletCoords : kResStatusOsCoords));
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
  for (const SZoomStep& step : kZoomMenuSteps) {
    QAction* a = popZoom_->addAction(QString::fromStdString(formatZoomStatus(float(step.ratio() * 100.0))));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, step] {
      TDrawWindowWidget* w = activeDrawWindow();
      if (!w || !w->window().isIdle()) return;
      if (step.num == step.den) {
        w->window().setZoomCentred(1, 1);
      } else {
        const TPaper& paper = w->window().paper();
        w->window().setZoomRatio(step.num, step.den, TPointF{paper.width() / 2.0f, paper.height() / 2.0f});
      }
    });
  }
  connect(popZoom_, &QMenu::aboutToShow, this, [this] {
    TDrawWindowWidget* w = activeDrawWindow();
    auto checked = w ? zoomMenuEntryFor(w->window().paper().zoomValue()) : std::nullopt;
    auto list = popZoom_->actions();
    for (int i = 0; i < list.size(); ++i) {
      list[i]->setEnabled(w && w->window().isIdle());
      list[i]->setChecked(checked && *checked == i);
    }
  });
  popRotate_ = new QMenu(this);
  for (float angle : kRotateMenuAngles) {
    QAction* a = popRotate_->addAction(QString::fromStdString(formatText("%d°", {int64_t(-angle)})));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, angle] {
      if (TDrawWindowWidget* w = activeDrawWindow()) w->window().setViewRotation(false, angle);
    });
  }
  connect(popRotate_, &QMenu::aboutToShow, this, [this] {
    TDrawWindowWidget* w = activeDrawWindow();
    auto list = popRotate_->actions();
    for (int i = 0; i < list.size(); ++i) {
      list[i]->setEnabled(w != nullptr);
      list[i]->setChecked(w && w->window().paper().view().angleDeg() == kRotateMenuAngles[size_t(i)]);
    }
  });
  popReso_ = new QMenu(this);
  auto* resoGroup = new QActionGroup(popReso_);
  for (uint32_t id : {kResPopResoSize, kResPopResoTotal, kResPopResoLayer, kResPopResoUndo}) {
    QAction* a = popReso_->addAction(resText(id));
    a->setCheckable(true);
    resoGroup->addAction(a);
    auto choice = SizePanelChoice(id - kResPopResoSize);
    a->setChecked(choice == sizeChoice_);
    connect(a, &QAction::triggered, this, [this, choice] { setSizePanelChoice(choice); });
  }
  popTabletType_ = new QMenu(this);
  for (int type : {0, 1}) {
    QAction* a = popTabletType_->addAction(resText(type == 0 ? kResPopTabletType1 : kResPopTabletType2));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, type] {
      if (!tablet_->isOpen()) return;
      tabletType_ = type;
      reopenTablet();
    });
  }
  popTabletMode_ = new QMenu(this);
  for (bool mode : {false, true}) {
    QAction* a = popTabletMode_->addAction(resText(mode ? kResPopTabletModeTablet : kResPopTabletModeOs));
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

void TMainForm::handOverFile(const QString& absolutePath) {
  // Opened once the hand-over is answered: a message about the file must not
  // hold up the instance that handed it over.
  QTimer::singleShot(0, this, [this, absolutePath] {
    if (openFile(absolutePath) == nullptr) return;
    raise();
    activateWindow();
  });
}

int TMainForm::showModalDialog(QDialog& dialog) {
  int result = QDialog::Rejected;
  if (!runModal([&] { result = dialog.exec(); })) return kMrCancel;
  // Qt answers Accepted (1) and Rejected (0); callers test for OK.
  return result == QDialog::Accepted ? kMrOk : kMrCancel;
}

bool TMainForm::runModal(const std::function<void()>& show) {
  if (modalDialogOpen_ || textLoopRunning_) return false;
  modalDialogOpen_ = true;
  canvas_->modalRunning = true;
  show();
  canvas_->modalRunning = false;
  modalDialogOpen_ = false;
  return true;
}

void TMainForm::newDocumentCommand() {
  SNewDocumentSettings settings;
  settings.fileName = canvas_->untitledName();
  // The dialog keeps five user presets; the preferences store them from the
  // second slot on.
  CAppProfile& prefs = appProfile();
  std::array<SPaperPreset, kUserPaperPresetCount> presets{};
  for (size_t i = 0; i < presets.size(); ++i) presets[i] = prefs.paper[i + 1];
  bool ok = false;
  if (!runModal([&] { ok = showNewDocumentDialog(this, settings, presets); })) return;
  for (size_t i = 0; i < presets.size(); ++i) prefs.paper[i + 1] = presets[i];
  if (!ok) return;
  if (!newDrawWindow(QString::fromStdString(settings.fileName), settings.width, settings.height, settings.resolution,
                     settings.transparent))
    showWarning(resString(66542));
}

void TMainForm::setStatusText(int panel, const QString& text) { status_->setPanelText(panel, text); }

void TMainForm::showZoomStatus(float percent) { setStatusText(0, QString::fromStdString(formatZoomStatus(percent))); }

void TMainForm::showAngleStatus(float degrees) {
  setStatusText(1, QString::fromStdString(formatAngleStatus(degrees)));
}

void TMainForm::showSizeStatus() {
  TDrawWindowWidget* w = activeDrawWindow();
  if (!w) return setStatusText(2, QString());
  const TPaper& paper = w->window().paper();
  if (sizeChoice_ == SizePanelChoice::ImageSize)
    return setStatusText(2, QString::fromStdString(formatImageSizeStatus(paper.width(), paper.height())));
  uint64_t layerBytes = 0, undoBytes = 0;
  uint64_t total = paper.memoryUsage(layerBytes, undoBytes);
  static constexpr uint32_t kLabels[] = {0, kResStatusMemory, kResStatusLayerMemory, kResStatusUndoMemory};
  uint64_t bytes = sizeChoice_ == SizePanelChoice::TotalMemory   ? total
                   : sizeChoice_ == SizePanelChoice::LayerMemory ? layerBytes
                                                                  : undoBytes;
  setStatusText(2, QString::fromStdString(formatMemoryStatus(resString(kLabels[size_t(sizeChoice_)]), bytes)));
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
  // Without a stored size the window opens at three quarters of its screen.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect avail = screen->availableGeometry();
    if (b.width < 0) g.setWidth(avail.width() * 3 / 4);
    if (b.height < 0) g.setHeight(avail.height() * 3 / 4);
    if (b.x < 0 && b.y < 0) g.moveCenter(avail.center());
  }
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

void TMainForm::setBatchMode(bool on) {
  // A batch run edits nothing by hand: every gated command stays shut.
  batchMode_ = on;
  canvas_->renderMode = on;
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!batchMode_) {
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
      mdi_->setActiveSubWindow(sub);
      if (!sub->close()) {
        event->ignore();
        return;
      }
    }
    // Then the modified preset sets, in order; Cancel keeps the program open.
    if (toolForm_ && !toolForm_->querySavePresets(appProfile().PresetSaveAsQuit)) {
      event->ignore();
      return;
    }
  }
  timer_.stop();
  event->accept();
}

void TMainForm::onTick() {
  setStatusText(4, resText(tablet_->isOpen() ? kResStatusOn : kResStatusOff));
  showSizeStatus();
  emit ticked();
}

TDrawWindowWidget* TMainForm::activeDrawWindow() const {
  QMdiSubWindow* sub = mdi_->activeSubWindow();
  return sub ? dynamic_cast<TDrawWindowWidget*>(sub->widget()) : nullptr;
}

QList<TDrawWindowWidget*> TMainForm::drawWindows() const {
  QList<TDrawWindowWidget*> list;
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (auto* w = dynamic_cast<TDrawWindowWidget*>(sub->widget())) list.push_back(w);
  return list;
}

TDrawWindowWidget* TMainForm::newDrawWindow(const QString& name, int width, int height, int dpi, bool transparent) {
  TDrawWindowWidget* w = TDrawWindowWidget::createNew(*canvas_, name, width, height, dpi, transparent);
  if (!w) return nullptr;
  w->saveDocument = [this](TDrawWindowWidget& window) { return saveDrawWindowInPlace(window); };
  bindReplayHost(*w);
  w->onZoomAndAngle = [this, w](float zoom, float degrees) {
    if (w != activeDrawWindow()) return;
    showZoomStatus(zoom);
    showAngleStatus(degrees);
  };
  QMdiSubWindow* sub = w->addToArea(*mdi_);
  connect(sub, &QObject::destroyed, this, [this, w] { forgetToolTarget(w); });
  // The window opens around its picture at 100 %, as far as the area allows.
  static const QIcon noIcon = [] {
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
  }();
  sub->setWindowIcon(noIcon);
  sub->show();
  fitDrawWindow(*w, width, height);
  if (childWinMax_ && mdi_->subWindowList().size() == 1) sub->showMaximized();
  documentActivated();
  return w;
}

void TMainForm::fitDrawWindow(TDrawWindowWidget& w, int width, int height) {
  auto* sub = qobject_cast<QMdiSubWindow*>(w.parentWidget());
  if (sub == nullptr || sub->isMaximized()) return;
  // A replay fits its zoom to the window it starts in, which was made before
  // the picture's size was known: the window is sized for the picture at
  // 100 % first, and the zoom fitted again to what the window then is.
  const bool replay = w.window().isReplaying();
  if (replay) (void)w.window().setZoomCentred(1, 1);  // the view's zoom, nothing recorded
  // The picture at the view's zoom with a 40-pixel strip of the view
  // background around it, so that its edges can be seen and reached.
  constexpr int kViewMargin = 80;
  const double zoom = w.window().paper().zoomValue();
  const QSize shown(int(std::lround(width * zoom)) + kViewMargin, int(std::lround(height * zoom)) + kViewMargin);
  const QSize frame = sub->size() - w.viewport()->size();
  const QSize room = mdi_->viewport()->size() - QSize(sub->x(), sub->y());
  sub->resize(shown.grownBy(QMargins(0, 0, frame.width(), frame.height())).boundedTo(room));
  if (!replay || !w.window().autoFitEnabled()) return;
  if (QLayout* layout = sub->layout()) layout->activate();  // the view takes its new size now
  w.window().zoomToFit(w.window().autoFitMayEnlarge());
}

void TMainForm::documentActivated() {
  TDrawWindowWidget* w = activeDrawWindow();
  bindToolTarget(w);
  if (w) {
    showZoomStatus(w->window().paper().zoomValue() * 100.0f);
    showAngleStatus(w->window().paper().view().angleDeg());
  } else {
    setStatusText(0, QString());
    setStatusText(1, QString());
  }
  showSizeStatus();
  actions_->updateAll();
}

void TMainForm::bindDocumentCommands() {
  TMainActions& a = *actions_;
  auto withWindow = [this](auto f) {
    return [this, f] {
      if (TDrawWindowWidget* w = activeDrawWindow()) f(*w);
    };
  };
  auto when = [this](auto pred) {
    return [this, pred] {
      TDrawWindowWidget* w = activeDrawWindow();
      return SActionState{w != nullptr && pred(*w)};
    };
  };
  auto idle = when([](TDrawWindowWidget& w) { return w.window().isIdle(); });
  a.bind("ActFileNew", [this] { newDocumentCommand(); }, [this] {
    TDrawWindowWidget* w = activeDrawWindow();
    return SActionState{!w || w->window().isIdle()};
  });
  // Undo and redo are enabled only when a step exists; a step that cannot
  // be taken leaves the picture as it was, and the document warns of a
  // recording that cannot follow. Clearing asks first and may be declined.
  a.bind("ActEditUndo", withWindow([](TDrawWindowWidget& w) { (void)w.undo(); }),
         when([](TDrawWindowWidget& w) { return w.canUndo(); }));
  a.bind("ActEditRedo", withWindow([](TDrawWindowWidget& w) { (void)w.redo(); }),
         when([](TDrawWindowWidget& w) { return w.canRedo(); }));
  a.bind("ActEditUndoClear", withWindow([](TDrawWindowWidget& w) {
           if (w.window().isIdle()) (void)w.clearUndo();
         }),
         when([](TDrawWindowWidget& w) { return w.canUndo() || w.canRedo(); }));
  a.bind("ActFileClose", [this] {
    if (QMdiSubWindow* sub = mdi_->activeSubWindow()) sub->close();
  }, idle);
  a.bind("ActViewZoomI", withWindow([](TDrawWindowWidget& w) { w.window().zoomAtClientCentre(true); }), idle);
  a.bind("ActViewZoomO", withWindow([](TDrawWindowWidget& w) { w.window().zoomAtClientCentre(false); }), idle);
  a.bind("ActViewZoomCancel", withWindow([](TDrawWindowWidget& w) {
           if (w.window().isIdle() && w.window().paper().zoomValue() != 1.0f) w.window().setZoomCentred(1, 1);
         }),
         when([](TDrawWindowWidget& w) { return w.window().isIdle() && w.window().paper().zoomValue() != 1.0f; }));
  a.bind("ActViewAtcualPixel", withWindow([](TDrawWindowWidget& w) {
           if (w.window().isIdle()) w.window().zoomToFit(true);
         }),
         idle);
  const std::pair<const char*, float> rotations[] = {
      {"ActViewRot0", 0.0f}, {"ActViewRot90", -90.0f}, {"ActViewRot180", -180.0f}, {"ActViewRot270", -270.0f}};
  for (auto [name, angle] : rotations)
    a.bind(name, withWindow([angle](TDrawWindowWidget& w) { w.window().setViewRotation(false, angle); }),
           when([](TDrawWindowWidget&) { return true; }));
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
