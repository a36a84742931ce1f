// The document window's replay: a recording opened into the window's
// document and stepped by the main window's timer, paced by the
// preference interval, with pause, single step, a stop request that asks
// first, and the return to an editable, recording document at the end.
#include <filesystem>
#include <vector>

#include "canvas/draw_window.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "platform/string_table.h"
#include "record/event_store.h"
#include "replay/replay_session.h"

namespace pg {

namespace {
// "An event replay is in progress. Stop the replay?"
constexpr uint32_t kResReplayStopQuestion = 65152;

}  // namespace

bool TDrawWindow::openEventFile(const std::string& path, uint32_t nowMs) {
  if (replaying_ || isStrokeOpen()) return false;
  cancelPointer();
  // A fresh document: the recording sets its image up itself.
  if (!adoptDocument(std::make_unique<TPaper>(this, services_))) return false;
  replay_ = std::make_unique<CReplaySession>(*paper_, *flow_);
  const ReplayStart r = replay_->open(path);
  if (r != ReplayStart::Started) {
    replay_.reset();
    // The window is left with no tool until another document comes.
    handlers_ = &nullToolHandlers();
    if (host_) host_->showReplayMessage(replayMessage(r));
    return false;
  }
  replaySource_ = path;
  replaying_ = true;
  endPending_ = false;
  stepGuard_ = false;
  replayedEvents_ = 0;
  replayCounters_.fill(0);
  replayStartMs_ = nowMs;
  lastStepMs_ = nowMs;
  paper_->name = std::filesystem::path(path).filename().string();
  modified_ = false;
  imageReady_ = true;
  applyReplayRefresh(uint8_t(replay_->takeRefresh() | kRefreshLayout | kRefreshCanvasSize | kRefreshTitle));
  return true;
}

bool TDrawWindow::replayWait(uint32_t nowMs) {
  if (replayWaitMs_ >= 1 && nowMs - lastStepMs_ < uint32_t(replayWaitMs_)) return true;
  lastStepMs_ = nowMs;
  return false;
}

bool TDrawWindow::isReplayPaused() const { return replaying_ && replay_ && replay_->engine().isPaused(); }

void TDrawWindow::setReplayPause(bool pause) {
  if (replaying_ && replay_) replay_->setPaused(pause);
}

ReplayTick TDrawWindow::replaySingleStep(uint32_t nowMs) {
  if (!replaying_ || !isReplayPaused()) return kReplayNothing;
  setReplayPause(false);
  const int32_t wait = replayWaitMs_;
  replayWaitMs_ = 0;  // a step asked for is never held back by the pace
  const ReplayTick r = replayStep(nowMs);
  replayWaitMs_ = wait;
  if (replaying_) setReplayPause(true);
  return r;
}

ReplayTick TDrawWindow::replayStep(uint32_t nowMs) {
  if (!replaying_ || !replay_ || stepGuard_) return kReplayNothing;
  stepGuard_ = true;
  struct Guard {
    bool& flag;
    ~Guard() { flag = false; }
  } guard{stepGuard_};

  ReplayStep r = ReplayStep::Paused;
  if (!replayWait(nowMs)) {
    replay_->setStepPoints(replayWaitMs_ >= 1);
    r = replay_->step(1);
  }
  if (r == ReplayStep::EventDone) {
    ++replayedEvents_;
    ++replayCounters_[replay_->engine().lastHeader().type];
  }
  applyReplayRefresh(replay_->takeRefresh());
  if (r == ReplayStep::Error) {
    // The stream cannot go on past a packet that failed: the replay ends
    // here, with the document as far as it came.
    (void)endReplay(ReplayEndKind::OnError, nowMs);
    return endOnError_ ? kReplayEnd : kReplayError;
  }
  if (r == ReplayStep::End) return endReplay(ReplayEndKind::Normal, nowMs);
  if (endPending_) {
    endPending_ = false;
    const bool yes = host_ != nullptr && host_->askYesNo(resString(kResReplayStopQuestion)) == kAnswerYes;
    if (yes) return endReplay(ReplayEndKind::ByUser, nowMs);
  }
  return r == ReplayStep::EventDone ? kReplayEventDone : kReplayNothing;
}

void TDrawWindow::applyReplayRefresh(uint8_t bits) {
  if (bits == 0) return;
  if (bits & kRefreshLayout) {
    if (bits & kRefreshCanvasSize) {
      flow_->fitDocument(false);
      if (paper_->composite.size() != SSize{paper_->width, paper_->height})
        paper_->composite.Resize(paper_->width, paper_->height);
      paper_->composeRect(SRectXYWH{0, 0, paper_->width, paper_->height}, paper_->showGrid);
    }
    documentLayoutChanged((bits & kRefreshCanvasSize) != 0);
  } else {
    invalidateView();
  }
  if (bits & kRefreshTitle) updateTitle();
}

ReplayTick TDrawWindow::endReplay(ReplayEndKind kind, uint32_t nowMs) {
  replay_->stop();
  // Where the recording is cut: before the seal at a normal end, after the
  // last replayed event otherwise.
  const std::vector<uint32_t>& ends = replay_->engine().eventEnds();
  uint32_t keepEvents = uint32_t(ends.size());
  if (kind == ReplayEndKind::Normal && keepEvents > 0) --keepEvents;
  const uint32_t keepLength = keepEvents > 0 ? ends[keepEvents - 1] : 0;
  SReplaySummary summary;
  summary.kind = kind;
  summary.documentName = paper_->name;
  summary.elapsedMs = nowMs - replayStartMs_;
  summary.events = replayedEvents_;
  replay_.reset();
  replaying_ = false;
  endPending_ = false;
  // The document records again from here: the replayed work is its
  // history, and a reset point marks where the new work begins.
  if (CEventMngr* store = documentEventStore(*paper_);
      store != nullptr && recordAfterReplay(*store, keepLength, keepEvents) && paper_->events() != nullptr)
    (void)paper_->events()->recordResetPoint();
  selectToolHandlers(false);
  invalidateView();
  if (host_) host_->replayEnded(summary);
  return kReplayEnd;
}

}  // namespace pg
