// The main window's side of replay: the Event menu's pause, step, stop,
// interval, save and stop-recording commands, the 50 ms tick that steps
// every replaying window, opening a recording for replay in a new window,
// the event view that shows the replay of the active window, and the report
// at the end of a replay.
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <chrono>

#include "app/app_profile.h"
#include "app/event_wait.h"
#include "app/qt/event_report_dialog.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/widget_dock_view.h"
#include "brush/stroke_settings.h"
#include "canvas/canvas_shared.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "canvas/replay_display.h"
#include "io/qt/file_dialog.h"
#include "replay/replay_types.h"
#include "toolwin/qt/event_view.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/tool_options.h"
#include "document/paper.h"
#include "ui/qt/dock_float_manager.h"
#include "io/file_kinds.h"

namespace pg {

namespace {

uint32_t replayClockMs() {
  using namespace std::chrono;
  return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The event log's rows while the preferences hold no length.
constexpr int32_t kDefaultEventLogRows = 5;
// The dialog kind of saving a recording (".ke4").
constexpr int32_t kEventSaveDialogKind = 10;

}  // namespace

// What replaying windows report, handed to the tool window and the event
// view when it concerns the active window.
class TReplayDisplayBridge final : public QObject, public IReplayDisplay, public IReplayToolWindow {
 public:
  TReplayDisplayBridge(TMainForm& form, TEventView* view, TWidgetDockView* panel)
      : QObject(&form), form_(form), view_(view), panel_(panel) {
    // While a replay runs, idle time steps it as well as the tick.
    idle_.setInterval(0);
    connect(&idle_, &QTimer::timeout, this, &TReplayDisplayBridge::idleSteps);
  }
  // The bridge goes with the main window's children, after the window's
  // own members (the shared canvas state that points here among them): it
  // touches the window no more. The panel outlives the floating forms that
  // showed it.
  ~TReplayDisplayBridge() override { delete panel_.data(); }
  TEventView* view() const { return view_; }
  TWidgetDockView* panel() const { return panel_; }

  // The active window changed: the view shows its replay, or none.
  void follow() {
    TDrawWindow* w = active();
    if (!view_) return;
    view_->setReplaying(w != nullptr && w->isReplaying(), w != nullptr && w->isNewEventFormat());
    tick();
  }
  // After every tick: the pause shown follows the window's, and the log
  // takes the events the window recorded since.
  void tick() {
    TDrawWindow* w = active();
    if (!view_ || !w) return;
    view_->setPaused(w->isReplayPaused());
    if (w->isReplaying()) return;
    names_.clear();
    w->takeRecordedEventNames(names_);
    for (uint8_t n : names_) view_->addEvent(n);
  }

  void replayDisplay(TDrawWindow& window, bool on) override {
    if (on) idle_.start();
    if (!isActive(window)) return;
    if (TToolForm* tools = form_.toolWindow()) {
      tools->model().updateEventPanel(on);
      if (!on) {
        // The user's own brush shows again and paints the next stroke.
        tools->toolOptions().clearReplayBrush();
        tools->model().pushStrokeParams();
      }
    }
    if (view_) view_->setReplaying(on, window.isNewEventFormat());
  }
  void eventReplayed(TDrawWindow& window, uint8_t nameIndex) override {
    if (view_ && isActive(window)) view_->addEvent(nameIndex);
  }
  void replayProgress(TDrawWindow& window, uint32_t done, uint32_t total) override {
    if (view_ && isActive(window)) view_->setProgress(done, total);
  }
  void replayStrokeChanged(TDrawWindow& window, const TStroke& stroke) override {
    if (!isActive(window)) return;
    // A stroke of the dab walker: the options show its settings.
    if (TToolForm* tools = form_.toolWindow())
      (void)tools->toolOptions().loadReplayStroke(stroke, window.paper().strokeState().engineMode());
    if (!view_) return;
    SReplayedBrush b = view_->model().brush();
    b.strokeKind = uint8_t(stroke.kind);
    b.tone = stroke.useTone != 0;
    b.gradation = stroke.useGradation != 0;
    view_->setBrush(b);
  }
  void replayColors(TDrawWindow& window, uint32_t foreground, uint32_t background) override {
    if (!view_ || !isActive(window)) return;
    SReplayedBrush b = view_->model().brush();
    b.foreground = foreground;
    b.background = background;
    view_->setBrush(b);
  }
  // IReplayToolWindow: the replayed pen-method brush, shown by the options
  // while the active window replays.
  void loadPaintParamFields(const SReplayPenState& state) override {
    TDrawWindow* w = active();
    TToolForm* tools = form_.toolWindow();
    if (w == nullptr || !w->isReplaying() || tools == nullptr) return;
    (void)tools->toolOptions().loadReplayParts(state);  // a brush it cannot build leaves the shown one
  }
  void replayPenState(TDrawWindow& window, const SReplayPenState& state) override {
    if (!view_ || !isActive(window)) return;
    SReplayedBrush b = view_->model().brush();
    b.tone = state.useTone;
    b.gradation = state.useGradation;
    view_->setBrush(b);
  }

 private:
  TDrawWindow* active() const {
    TDrawWindowWidget* w = form_.activeDrawWindow();
    return w ? &w->window() : nullptr;
  }
  bool isActive(const TDrawWindow& window) const { return active() == &window; }
  // Steps the replaying windows for a slice of idle time; the pace of the
  // preferences still holds, so a paced replay takes only its due steps.
  void idleSteps() {
    QElapsedTimer slice;
    slice.start();
    bool any = false;
    for (TDrawWindowWidget* w : form_.drawWindows()) {
      TDrawWindow& window = w->window();
      if (!window.isReplaying()) continue;
      any = true;
      window.setReplayWaitMs(appProfile().eventWait);
      while (window.isReplaying() && slice.elapsed() < kIdleSliceMs)
        if (window.replayStep(replayClockMs()) != kReplayEventDone) break;
    }
    if (!any) idle_.stop();
  }

  static constexpr qint64 kIdleSliceMs = 15;
  TMainForm& form_;
  QTimer idle_;
  std::vector<uint8_t> names_;
  QPointer<TEventView> view_;
  QPointer<TWidgetDockView> panel_;
};

TDrawWindow* TMainForm::replayingWindow() const {
  TDrawWindowWidget* w = activeDrawWindow();
  return w && w->window().isReplaying() ? &w->window() : nullptr;
}

void TMainForm::bindReplayCommands() {
  connect(this, &TMainForm::ticked, this, &TMainForm::replayTick);
  TMainActions& a = actions();
  // The event view: a panel of the tool window that shows the replay of the
  // active window.
  auto* view = new TEventView();
  auto* panel = new TWidgetDockView(QStringLiteral("EventView"), plainCaption(actionCaption("ActShowEventView")), view);
  panel->resize(230, 260);
  panel->setPopupMenu(view->contextMenu());
  if (!dock_->registerPanel(panel, 2)) {
    delete panel;
    panel = nullptr;
    view = nullptr;
  }
  replayBridge_ = new TReplayDisplayBridge(*this, view, panel);
  canvas().replayDisplay = replayBridge_;
  canvas().replayToolWindow = replayBridge_;
  connect(documentArea(), &QMdiArea::subWindowActivated, replayBridge_, [this] { replayBridge_->follow(); });
  if (panel) {
    a.bind("ActShowEventView", [this, panel] {
      panel->setShown(!panel->shown());
      dock_->sync();
    }, [panel] { return SActionState{true, panel->showState() == 0}; }, true);
    QList<QAction*> menu{a.action("ActEventPause"), a.action("ActEventStep"), a.action("ActEventStop"), nullptr};
    for (const SEventWaitCommand& c : kEventWaitCommands) menu.push_back(a.action(c.action));
    view->setCommands(a.action("ActEventPause"), a.action("ActEventStep"), a.action("ActEventStop"), menu);
    connect(view->contextMenu(), &QMenu::aboutToShow, &a, &TMainActions::updateAll);
    // The log's length from the preferences; never stored, five rows.
    const int32_t capacity = appProfile().EventCapacity;
    view->setLogCapacity(capacity < 0 ? kDefaultEventLogRows : capacity);
    view->OnLogCapacity = [](int32_t rows) { appProfile().EventCapacity = rows; };
  }
  // The recording of the active window: saved as an event file, or ended.
  auto activeWindow = [this]() -> TDrawWindow* {
    TDrawWindowWidget* w = activeDrawWindow();
    return w ? &w->window() : nullptr;
  };
  a.bind(
      "ActEventSaveAs",
      [activeWindow] {
        if (TDrawWindow* w = activeWindow()) (void)w->saveEvents();  // failures are reported by the window
      },
      [activeWindow] {
        TDrawWindow* w = activeWindow();
        return SActionState{w != nullptr && w->canSaveEvents(), false};
      });
  a.bind(
      "ActEventRecStop",
      [activeWindow] {
        // False only when the person chose to keep recording.
        if (TDrawWindow* w = activeWindow()) (void)w->stopEventRecording(true);
      },
      [activeWindow] {
        TDrawWindow* w = activeWindow();
        return SActionState{w != nullptr && w->isRecording() && w->isIdle(), false};
      });
  auto whileReplaying = [this] { return SActionState{replayingWindow() != nullptr, false}; };
  a.bind(
      "ActEventPause",
      [this] {
        if (TDrawWindow* w = replayingWindow()) w->setReplayPause(!w->isReplayPaused());
      },
      [this] {
        TDrawWindow* w = replayingWindow();
        return SActionState{w != nullptr, w != nullptr && w->isReplayPaused()};
      },
      true);
  a.bind(
      "ActEventStep",
      [this] {
        TDrawWindow* w = replayingWindow();
        if (!w) return;
        // A running replay pauses first, so that the step is one step.
        if (!w->isReplayPaused()) w->setReplayPause(true);
        (void)w->replaySingleStep(replayClockMs());
      },
      whileReplaying);
  a.bind(
      "ActEventStop",
      [this] {
        if (TDrawWindow* w = replayingWindow()) w->requestReplayStop();
      },
      whileReplaying);
  for (const SEventWaitCommand& c : kEventWaitCommands)
    a.bind(
        c.action, [this, wait = c.wait] { setEventWait(wait); },
        [&c] { return SActionState{true, eventWaitChecked(c, appProfile().eventWait)}; }, true);
}

void TMainForm::replayTick() {
  const uint32_t now = replayClockMs();
  for (TDrawWindowWidget* w : drawWindows()) {
    TDrawWindow& window = w->window();
    if (!window.isReplaying()) continue;
    window.setReplayWaitMs(appProfile().eventWait);
    (void)window.replayStep(now);  // the window ends its replay itself on the end or an error
  }
  if (replayBridge_) replayBridge_->tick();
}

void TMainForm::bindReplayHost(TDrawWindowWidget& window) {
  window.eventFileDialog = [](TDrawWindowWidget& w, const std::string& proposed) -> std::string {
    CAppProfile& prefs = appProfile();
    // The document's folder when the preferences ask for it, else the
    // remembered folder of the two that the preferences choose.
    const bool second = (prefs.FileIODir & 2) != 0;
    SFileDialogRequest request;
    request.kind = kEventSaveDialogKind;
    request.initialName = proposed;
    request.folder = second ? prefs.eventPath : prefs.savePath;
    if ((prefs.FileIODir & 1) != 0 && w.window().hasFileName()) {
      const QFileInfo info(QString::fromStdString(w.window().fileName()));
      if (info.dir().exists()) request.folder = info.absolutePath().toStdString();
    }
    request.showPreview = prefs.useFilePreview;
    if (!executeFileDialog(&w, request)) return {};
    (second ? prefs.eventPath : prefs.savePath) = request.folder;
    prefs.useFilePreview = request.showPreview;
    return request.fileName;
  };
  window.onReplayEnded = [this](TDrawWindowWidget&, const SReplaySummary& summary) {
    // Never in a batch run; and not inside the replay step that ended.
    if (batchMode_) return;
    QTimer::singleShot(0, this, [this, summary] {
      TEventReportParam param;
      param.outcome = reportOutcomeOfEndKind(uint8_t(summary.kind));
      param.name = summary.documentName;
      param.elapsed = summary.elapsedMs;
      param.steps = summary.events;
      for (int i = 0; i < kReportImages; ++i) param.images[size_t(i)] = summary.thumbnails[size_t(i)].get();
      (void)showEventReport(param, this);  // the report only informs: how it closed changes nothing
    });
  };
}

TDrawWindowWidget* TMainForm::openEventsForReplay(const QString& path) {
  TDrawWindowWidget* w = newDrawWindow(QFileInfo(path).fileName(), 1, 1, 72);
  if (!w) return nullptr;
  const std::string p = path.toStdString();
  const FileKind kind = fileKindFromExt(p);
  const bool legacy = kind == FileKind::LegacyRecording;
  if (legacy ? w->window().openLegacyEvents(p, replayClockMs()) : w->window().openEventFile(p, replayClockMs())) {
    // A native file keeps its name off the replaying window: no save goes
    // over the file that is being replayed.
    if (!legacy && kind != FileKind::Native) w->window().setFileName(p);
    return w;
  }
  // The reason was shown; the window that was made for it goes.
  discardNewWindow(*w);
  return nullptr;
}

}  // namespace pg
