// The main window's side of the tool window: creating it and its panels, the
// binding to the active document window, and the routing of keys to the
// tool window's shortcuts.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QAbstractSpinBox>
#include <QTimer>
#include <utility>

#include "app/app_profile.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/tool_target_adapter.h"
#include "app/qt/widget_dock_view.h"
#include "canvas/canvas_shared.h"
#include "canvas/qt/draw_window_widget.h"
#include "canvas/tablet_input.h"
#include "platform/string_table.h"
#include "toolwin/qt/draw_window_view_commands.h"
#include "toolwin/qt/layer_panel_view.h"
#include "toolwin/qt/navigator_panel_view.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/option_fields.h"
#include "toolwin/tool_options.h"
#include "brush/paint_param.h"
#include "ui/qt/dock_float_manager.h"

namespace pg {

void TMainForm::createToolWindowAndPanels() {
  dock_ = std::make_unique<TDockFloatManager>(this);
  toolForm_ = createToolWindow(this);
  toolForm_->setHost(this);
  toolForm_->model().setModeFilter([this](ToolMode mode) { return canvas_->modeAvailable(mode); });
  // Colours picked in a document window (the eyedropper) show in the tool window.
  canvas_->onColorsChanged = [this] {
    CToolWindowModel& m = toolForm_->model();
    uint32_t fg = canvas_->mainColor() | 0xFF000000u, bg = canvas_->secondColor() | 0xFF000000u;
    if (m.fgColor() != fg) m.setFgColor(fg);
    if (m.bgColor() != bg) m.setBgColor(bg);
  };
  // Drags and shapes show their start point, their size or their offset in
  // the information panel while they run.
  canvas_->onToolInfo = [this](int32_t mode, TPointF value) {
    TDrawWindowWidget* w = activeDrawWindow();
    if (w != nullptr && toolForm_->infoPanel() != nullptr)
      toolForm_->infoPanel()->updateInfo(&w->window(), mode, value.X, value.Y);
  };

  // The brush-size drag of a document window works on the active brush:
  // within its own limits, and the options panel shows the new size.
  canvas_->brushSizeRange = [this](SBrushSizeRange& r) {
    CToolOptions& options = toolForm_->toolOptions();
    if (!options.hasBrush()) return false;
    const TPaintParam& p = options.paintParam();
    r = SBrushSizeRange{p.size, p.minSizeLimit(), p.maxSizeLimit()};
    return true;
  };
  canvas_->setBrushSize = [this](float size) {
    if (toolForm_->toolOptions().paramChange(kFieldSize, size)) return;
    toolForm_->model().setToolSize(size);  // a brush whose size field is not editable
    toolForm_->model().pushStrokeParams();
  };

  toolPanel_ = new TWidgetDockView(QStringLiteral("ToolBox"), plainCaption(actionCaption("actShowToolBox")), toolForm_);
  optionsPanel_ = new TWidgetDockView(QStringLiteral("ToolOptions"), plainCaption(actionCaption("actShowCtrlWindow")),
                                      toolForm_->optionsPanel());
  auto docPanel = [](const char* name, int32_t caption, QWidget* content) {
    return new TWidgetDockView(QString::fromLatin1(name), QString::fromStdString(resString(caption)), content);
  };
  // The tools start at the document area's top-left; the rest are
  // registered in the order of the default arrangement down the right edge:
  // navigator and information, options, colour, swatches and brush set,
  // layers and masks.
  docPanels_ = {docPanel("NavigatorView", 65033, toolForm_->navigatorPanel()),
                docPanel("InfomationView", 65034, toolForm_->infoPanel()),
                docPanel("ColorView", 65281, toolForm_->colourPanel()),
                docPanel("SwatchView", 65035, toolForm_->swatchPanel()),
                docPanel("LayerView", 65037, toolForm_->layerPanel()),
                docPanel("MaskView", 65038, toolForm_->maskPanel()),
                docPanel("BrushListView", 65274, toolForm_->brushSetPanel())};
  // The panels' menus open from the menu button of their strip as well as
  // by a right click inside them.
  docPanels_[3]->setPopupMenu(toolForm_->swatchMenu());
  docPanels_[6]->setPopupMenu(toolForm_->brushSetMenu());
  // Each panel is registered once, here: registration refuses only a second time.
  (void)dock_->registerPanel(toolPanel_, 0, true);
  (void)dock_->registerPanel(docPanels_[0], 2);
  (void)dock_->registerPanel(docPanels_[1], 2);
  (void)dock_->registerPanel(optionsPanel_, 1);
  (void)dock_->registerPanel(docPanels_[2], 3);
  (void)dock_->registerPanel(docPanels_[3], 3);
  (void)dock_->registerPanel(docPanels_[6], 3);
  (void)dock_->registerPanel(docPanels_[4], 4);
  (void)dock_->registerPanel(docPanels_[5], 4);
  connect(this, &TMainForm::minimisedChanged, this, [this](bool minimised) {
    if (minimised)
      dock_->mainWindowMinimised();
    else
      dock_->mainWindowRestored();
  });
  CAppEventRouter::instance().push(this);
  bindPanelCommands();
}

void TMainForm::destroyToolWindowAndPanels() {
  CAppEventRouter::instance().remove(this);
  for (auto& t : toolTargets_) toolForm_->releaseDocWindow(t.get());
  dock_.reset();
  // The panels own the tool window's widgets now: free the panels, then the
  // tool window's own bookkeeping.
  delete optionsPanel_;
  optionsPanel_ = nullptr;
  // The mask panel's list belongs to the layer panel: it goes first.
  for (auto it = docPanels_.rbegin(); it != docPanels_.rend(); ++it) delete *it;
  docPanels_.clear();
  toolPanel_->content()->setParent(nullptr);
  delete toolPanel_;
  toolPanel_ = nullptr;
  destroyToolWindow(toolForm_);
}

void TMainForm::restorePanelLayout(const QByteArray& blob) {
  if (!firstShown_) {
    pendingLayout_ = blob;
    return;
  }
  if (blob.isEmpty() || !dock_->restoreLayout(blob)) dock_->defaultArrangement();
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (firstShown_) return;
  firstShown_ = true;
  // The panels float beside the main window: place them once it is there.
  QTimer::singleShot(0, this, [this] { restorePanelLayout(std::exchange(pendingLayout_, {})); });
}

QByteArray TMainForm::panelLayout() const { return dock_->saveLayout(); }

void TMainForm::bindPanelCommands() {
  TMainActions& a = *actions_;
  auto panelCommand = [this, &a](const char* name, TWidgetDockView* view) {
    a.bind(name, [this, view] {
      view->setShown(!view->shown());
      dock_->sync();
    }, [view] { return SActionState{true, view->showState() == 0}; }, true);
  };
  panelCommand("actShowToolBox", toolPanel_);
  panelCommand("actShowCtrlWindow", optionsPanel_);
  panelCommand("actShowPreviewWindow", docPanels_[0]);
  panelCommand("ActShowInfomationView", docPanels_[1]);
  panelCommand("actShowColorWindow", docPanels_[2]);
  panelCommand("actShowPalWindow", docPanels_[3]);
  panelCommand("actShowLayerWindow", docPanels_[4]);
  panelCommand("actShowSelectWindow", docPanels_[5]);
  panelCommand("actShowPenMtdList", docPanels_[6]);
  a.bind("actWindowInitAllPos", [this] { dock_->defaultArrangement(); });
  // Ctrl+0 .. Ctrl+9 toggle the tool window and the nine panels.
  static constexpr const char* kToggles[] = {"actShowToolBox",    "actShowCtrlWindow",     "actShowPreviewWindow",
                                             "ActShowInfomationView", "ActShowEventView", "actShowColorWindow",
                                             "actShowPalWindow",  "actShowPenMtdList",     "actShowLayerWindow",
                                             "actShowSelectWindow"};
  for (int i = 0; i < 10; ++i)
    if (QAction* action = a.action(kToggles[i])) action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + i)));
  toolForm_->bindPanelMenus([&a](std::string_view name) { return a.action(name); }, [&a] { a.updateAll(); });
  // The layer and mask menus exist once bound to the actions.
  docPanels_[4]->setPopupMenu(toolForm_->layerPanel()->layerMenu());
  docPanels_[5]->setPopupMenu(toolForm_->layerPanel()->maskMenu());
}

void TMainForm::applyToolPreferences() {
  if (!toolForm_) return;
  const CAppProfile& p = appProfile();
  toolForm_->applyPreferences({p.DrawToolCursor, p.OtherToolCursor, p.CursorFile});
  toolForm_->setButtonPreferences({p.RotGrabDblClk, p.RotZoomDblClk});
  toolForm_->setViewPreferences(p.UseGrabCtrl, p.ForceDispParam);
  // The tool preferences take effect at once, not only at the next start.
  SToolPreferences tools = toolForm_->model().preferences();
  tools.toolFindNext = p.ToolFindNext;
  tools.autoFreeHand = p.AutoFreeHand;
  tools.cellExchange = p.CellExchange;
  tools.toolFindNext = p.ToolFindNext;
  tools.autoFreeHand = p.AutoFreeHand;
  toolForm_->model().setPreferences(tools);
  toolForm_->toolOptions().setAutoSave(p.DrawToolAutoSave);
  if (toolForm_->optionsPanel()) toolForm_->optionsPanel()->refresh();
}

void TMainForm::bindViewCommands(TDrawWindowWidget* window) {
  // The tool buttons' double-clicks act on the active window's view.
  toolForm_->setViewCommands(nullptr);
  viewCommands_.reset();
  if (!window) return;
  viewCommands_ = std::make_unique<TDrawWindowViewCommands>(*window);
  viewCommandsWindow_ = window;
  toolForm_->setViewCommands(viewCommands_.get());
}

void TMainForm::bindToolTarget(TDrawWindowWidget* window) {
  if (!toolForm_) return;
  bindViewCommands(window);
  // The tool window takes the new target before the grabber moves: the
  // grabber asks the target for its window.
  TToolTargetAdapter* target = nullptr;
  for (auto& t : toolTargets_)
    if (window && &t->window() == window) target = t.get();
  if (window && !target) {
    toolTargets_.push_back(std::make_unique<TToolTargetAdapter>(
        *canvas_, *window, [this] { return toolForm_->model().toolMode(); }));
    target = toolTargets_.back().get();
  }
  toolForm_->setDocWindow(target);
  toolForm_->setGrabberHost(window);
}

void TMainForm::forgetToolTarget(TDrawWindowWidget* window) {
  if (toolForm_ && viewCommands_ && viewCommandsWindow_ == window) bindViewCommands(nullptr);
  for (auto it = toolTargets_.begin(); it != toolTargets_.end(); ++it) {
    if (&(*it)->window() != window) continue;
    if (toolForm_) {
      if (toolForm_->grabber() && toolForm_->grabber()->parentWidget() == window) toolForm_->setGrabberHost(nullptr);
      toolForm_->releaseDocWindow(it->get());
    }
    toolTargets_.erase(it);
    return;
  }
}

void TMainForm::storeToolSetting(uint8_t kind, float value) { appProfile().storeToolSetting(kind, value); }

void TMainForm::selectStrokeEngine(int32_t level) {
  if ((level != 1 && level != 2) || canvas_->penEngineLevel == level) return;
  canvas_->penEngineLevel = level;
  // The active window switches now; every stroke asks for the level anew.
  if (TDrawWindowWidget* w = activeDrawWindow()) (void)w->window().selectPenEngine(level);
}

void TMainForm::setEventWait(int32_t wait) { appProfile().eventWait = wait; }

void TMainForm::tabletReport(bool isPacket) {
  if (!toolForm_) return;
  TDrawWindowWidget* doc = activeDrawWindow();
  SPenReading r{isPacket, tablet_->pressureFraction(), tablet_->altitudeFraction(), tablet_->inProximity()};
  bool strokeOpen = doc && doc->window().isStrokeOpen();
  switch (penSwitch_.update(r, strokeOpen, doc && !doc->window().isReplaying())) {
    case CPenToolSwitch::Action::SelectSecond: toolForm_->selectToolButton(1); break;
    case CPenToolSwitch::Action::SelectFirst: toolForm_->selectToolButton(0); break;
    case CPenToolSwitch::Action::None: break;
  }
}

void TMainForm::toggleFloatingPanels() { dock_->setHidden(!dock_->hidden()); }

bool TMainForm::appEvent(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  return routeKey(watched, static_cast<QKeyEvent&>(*event));
}

bool TMainForm::routeKey(QObject* watched, QKeyEvent& key) {
  // Keys reach the tool window's shortcuts only when they are aimed at the
  // main window or a floating panel, never at a dialog or while a stroke is
  // open, and never from a text field.
  auto* target = qobject_cast<QWidget*>(watched);
  if (!target || !toolForm_ || QApplication::activeModalWidget()) return false;
  QWidget* top = target->window();
  if (top != this && !dock_->ownsWindow(top)) return false;
  TDrawWindowWidget* doc = activeDrawWindow();
  if (doc && doc->window().isStrokeOpen()) return false;
  QWidget* focus = QApplication::focusWidget();
  if (!key.isAutoRepeat() && (qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) ||
                              qobject_cast<QPlainTextEdit*>(focus) || qobject_cast<QAbstractSpinBox*>(focus)))
    return false;
  // Each key reaches the filter once per widget it passes; take it at the
  // widget it was sent to.
  if (focus && target != focus) return false;
  return toolForm_->handleShortcutKey(key);
}

}  // namespace pg
