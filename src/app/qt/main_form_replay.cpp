// The main window's side of replay: the Event menu's pause, step, stop and
// interval commands, the 50 ms tick that steps every replaying window, and
// opening a recording for replay in a new window.
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <chrono>

#include "app/app_profile.h"
#include "app/event_wait.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "io/file_kinds.h"

namespace pg {

namespace {

uint32_t replayClockMs() {
  using namespace std::chrono;
  return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

TDrawWindow* TMainForm::replayingWindow() const {
  TDrawWindowWidget* w = activeDrawWindow();
  return w && w->window().isReplaying() ? &w->window() : nullptr;
}

void TMainForm::bindReplayCommands() {
  connect(this, &TMainForm::ticked, this, &TMainForm::replayTick);
  TMainActions& a = actions();
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
    (void)window.replayStep(now);
  }
}

TDrawWindowWidget* TMainForm::openEventsForReplay(const QString& path) {
  TDrawWindowWidget* w = newDrawWindow(QFileInfo(path).fileName(), 1, 1, 72);
  if (!w) return nullptr;
  const std::string p = path.toStdString();
  const bool legacy = fileKindFromExt(p) == FileKind::LegacyRecording;
  if (legacy ? w->window().openLegacyEvents(p, replayClockMs()) : w->window().openEventFile(p, replayClockMs())) {
    if (!legacy) w->window().setFileName(p);
    return w;
  }
  // The reason was shown; the window that was made for it goes.
  w->window().exchangeModified(false);
  if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) {
    sub->close();
    delete sub;
  }
  return nullptr;
}

}  // namespace pg
