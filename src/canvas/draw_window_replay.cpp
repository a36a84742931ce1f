// The document window's replay: a recording opened into the window's
// document and stepped by the main window's timer, paced by the
// preference interval, with pause, single step, a stop request that asks
// first, the tool window kept informed, progress thumbnails and counters,
// and the return to an editable, recording document at the end. Also the
// window's side of the recording itself: saving it and ending it.
#include <algorithm>
#include <filesystem>
#include <vector>

#include "canvas/draw_window.h"
#include "canvas/replay_display.h"
#include "brush/stroke_settings.h"
#include "core/resample.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "io/thumbnail_document.h"
#include "platform/debug_output.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "record/event_file.h"
#include "record/packet_catalogue.h"
#include "record/packet_walker.h"
#include "record/event_store.h"
#include "record/event_vocabulary.h"
#include "replay/replay_session.h"

namespace pg {

namespace {
// "An event replay is in progress. Stop the replay?"
constexpr uint32_t kResReplayStopQuestion = 65152;
// "Event recording will end. Once it has ended, recording cannot be resumed!"
constexpr uint32_t kResStopRecordingQuestion = 65176;
// "Save the events so far?"
constexpr uint32_t kResSaveEventsQuestion = 65177;
// "%s\rの保存に失敗しました!" (failed to save %s)
constexpr uint32_t kResSaveFailed = 65209;
// The tool window hears of the progress at most this often.
constexpr uint32_t kProgressIntervalMs = 1000;

// Whether the last command of the stream is the seal of a saved recording
// (the start has walked the whole stream already: it walks whole).
bool endsWithSeal(const CEventMngr& store) {
  SPacketHeader last{};
  // A stream that stops early ends with what was walked: no seal.
  (void)walkPackets(store.source(), 0, store.committedEnd(), [&](const SPacketInfo& p) {
    if (p.type != kPktState && p.type != kPktData) last = {p.type, p.subcode};
    return true;
  });
  return last == SPacketHeader{kPktDocument, kDocSeal};
}

}  // namespace

int32_t replayThumbSlot(uint64_t done, uint64_t total) {
  if (total == 0) return -1;
  const int64_t slot = int64_t(((done + 1) * 100) / (total * 10)) - 1;
  return int32_t(std::min<int64_t>(slot, kReplayThumbSlots - 1));
}

SSize replayThumbSize(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return {0, 0};
  const int64_t edge = kReplayThumbEdge;
  if (width >= height) return {int32_t(edge), int32_t(std::max<int64_t>(1, edge * height / width))};
  return {int32_t(std::max<int64_t>(1, edge * width / height)), int32_t(edge)};
}

IReplayDisplay* TDrawWindow::replayDisplay() const { return shared_.replayDisplay; }

bool TDrawWindow::openEventFile(const std::string& path, uint32_t nowMs) {
  if (replaying_ || isStrokeOpen()) return false;
  cancelPointer();
  // A fresh document: the recording sets its image up itself.
  if (!adoptDocument(std::make_unique<TPaper>(this, services_))) return false;
  replay_ = std::make_unique<CReplaySession>(*paper_, *flow_);
  // The tool window the main window installed shows the replayed brush.
  replay_->engine().setToolWindow(shared_.replayToolWindow);
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
  thumbs_.fill(nullptr);
  colorsShown_ = false;
  replayStartMs_ = nowMs;
  lastStepMs_ = nowMs;
  lastProgressMs_ = nowMs;
  // The events a replay steps through: all but the image set-up, which the
  // start has replayed, and the seal that ends a saved recording.
  if (const CEventMngr* store = documentEventStore(*paper_)) {
    const uint32_t count = store->committedCount();
    const bool sealed = endsWithSeal(*store);
    replayTotal_ = count > 1 ? count - 1 - (sealed ? 1 : 0) : 0;
  }
  paper_->setName(std::filesystem::path(path).filename().string());
  modified_ = false;
  imageReady_ = true;
  applyReplayRefresh(uint8_t(replay_->takeRefresh() | kRefreshLayout | kRefreshCanvasSize | kRefreshTitle));
  if (IReplayDisplay* d = replayDisplay()) d->replayDisplay(*this, true);
  return true;
}

bool TDrawWindow::replayWait(uint32_t nowMs) {
  if (replayWaitMs_ >= 1 && nowMs - lastStepMs_ < uint32_t(replayWaitMs_)) return true;
  lastStepMs_ = nowMs;
  return false;
}

bool TDrawWindow::isReplayPaused() const {
  return replaying_ && (legacy_ ? legacyPaused_ : replay_ && replay_->engine().isPaused());
}

void TDrawWindow::setReplayPause(bool pause) {
  if (replaying_ && legacy_) legacyPaused_ = pause;
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
  if (replaying_ && legacy_ && !stepGuard_) return legacyReplayStep(nowMs);
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
  if (r == ReplayStep::EventDone) ++replayedEvents_;
  const uint8_t refresh = replay_->takeRefresh();
  reportReplayStep(int32_t(r), refresh, nowMs);
  applyReplayRefresh(refresh);
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

void TDrawWindow::reportReplayStep(int32_t result, uint8_t refresh, uint32_t nowMs) {
  if (result == int32_t(ReplayStep::Paused)) return;
  CReplayEngine& engine = replay_->engine();
  const SPacketHeader h = engine.lastHeader();
  const uint8_t name = eventNameIndex(h.type, h.subcode);
  ++replayCounters_[name];
  IReplayDisplay* d = replayDisplay();
  if (d) d->eventReplayed(*this, name);
  if (result == int32_t(ReplayStep::EventDone)) {
    if (d && nowMs - lastProgressMs_ >= kProgressIntervalMs) {
      lastProgressMs_ = nowMs;
      d->replayProgress(*this, replayProgressDone(), replayTotal_);
    }
    // completedEvents counts the image set-up and this event.
    const uint32_t completed = engine.completedEvents();
    if (completed >= 2) {
      const int32_t slot = replayThumbSlot(completed - 2, replayTotal_);
      if (slot >= 0 && !thumbs_[size_t(slot)]) takeReplayThumbnail(slot);
    }
  }
  if (!d) return;
  if (refresh & (kRefreshPenMethod | kRefreshPenShape)) {
    SReplayPenState state;
    engine.applyPenStateToToolWindow(state);
    d->replayPenState(*this, state);
  }
  if (engine.takeReplayStrokeChanged(false)) d->replayStrokeChanged(*this, engine.replayStroke());
  const TStroke& s = engine.replayStroke();
  if (!colorsShown_ || s.color != shownFg_ || s.subColor != shownBg_) {
    colorsShown_ = true;
    shownFg_ = s.color;
    shownBg_ = s.subColor;
    d->replayColors(*this, s.color, s.subColor);
  }
}

uint32_t TDrawWindow::replayProgressDone() const {
  const uint32_t completed = replay_ ? replay_->engine().completedEvents() : 0;
  return std::min(completed > 0 ? completed - 1 : 0, replayTotal_);
}

void TDrawWindow::takeReplayThumbnail(int32_t slot) {
  const SSize size = replayThumbSize(paper_->width(), paper_->height());
  if (size.W <= 0 || size.H <= 0) return;
  const SRectXYWH all{0, 0, paper_->width(), paper_->height()};
  // The picture as it is now, without the grid (ten times a replay).
  if (paper_->composite().size() != SSize{paper_->width(), paper_->height()} &&
      !paper_->composite().Resize(paper_->width(), paper_->height()))
    return;
  const bool grid = paper_->view().showGrid();
  paper_->composeRect(all, false);
  auto thumb = std::make_shared<TMTC>();
  if (thumb->Resize(size.W, size.H) && downsample4x4(paper_->composite(), *thumb)) thumbs_[size_t(slot)] = thumb;
  if (grid) paper_->composeRect(all, true);
}

void TDrawWindow::applyReplayRefresh(uint8_t bits) {
  if (bits == 0) return;
  if (bits & kRefreshLayout) {
    if (bits & kRefreshCanvasSize) {
      flow_->fitDocument(false);
      if (paper_->composite().size() != SSize{paper_->width(), paper_->height()} &&
          !paper_->composite().Resize(paper_->width(), paper_->height()))
        debugOutput("document window: the composite could not take the document size");
      paper_->composeRect(SRectXYWH{0, 0, paper_->width(), paper_->height()}, paper_->view().showGrid());
    }
    documentLayoutChanged((bits & kRefreshCanvasSize) != 0);
    // A picture whose size changed is fitted to the window when the preference asks.
    if ((bits & kRefreshCanvasSize) != 0) (void)autoFitAfterResize();
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
  IReplayDisplay* d = replayDisplay();
  if (d) d->replayProgress(*this, replayProgressDone(), replayTotal_);
  SReplaySummary summary;
  summary.kind = kind;
  summary.documentName = paper_->name();
  summary.elapsedMs = nowMs - replayStartMs_;
  summary.events = replayedEvents_;
  summary.counters = replayCounters_;
  summary.thumbnails = thumbs_;
  replay_.reset();
  replaying_ = false;
  endPending_ = false;
  logMarkSet_ = false;
  // The document records again from here: the replayed work is its
  // history, and a reset point marks where the new work begins.
  if (CEventMngr* store = documentEventStore(*paper_);
      store != nullptr && recordAfterReplay(*store, keepLength, keepEvents) && paper_->events() != nullptr)
    (void)paper_->events()->recordResetPoint();  // a mark that cannot be written leaves the events as they are
  paper_->updateAllThumbnails();
  selectToolHandlers(false);
  invalidateView();
  if (d) d->replayDisplay(*this, false);
  if (host_) host_->replayEnded(summary);
  return kReplayEnd;
}

// ---- the recording -------------------------------------------------------------

bool TDrawWindow::isRecording() const {
  const CEventMngr* store = documentEventStore(*paper_);
  return store != nullptr && store->isRecording();
}

bool TDrawWindow::canSaveEvents() const {
  const CEventMngr* store = documentEventStore(*paper_);
  return store != nullptr && store->isRecording() && store->committedCount() > 0 && !replaying_ && isIdle() &&
         !isStrokeOpen();
}

std::string TDrawWindow::proposedEventFileName() const {
  std::filesystem::path name(paper_->name());
  if (name.has_extension()) name.replace_extension(".ke4");
  return name.string();
}

bool TDrawWindow::saveEvents() {
  if (!canSaveEvents() || host_ == nullptr) return false;
  const std::string path = host_->askEventFileName(proposedEventFileName());
  if (path.empty()) return false;
  return saveEventsTo(path);
}

bool TDrawWindow::saveEventsTo(const std::string& path) {
  if (!canSaveEvents()) return false;
  CPaperEventDocument events(*paper_);
  if (saveEventFile(path, events, true).saved()) return true;
  if (host_) host_->showReplayMessage(formatRes(kResSaveFailed, {path}));
  return false;
}

void TDrawWindow::takeRecordedEventNames(std::vector<uint8_t>& out) {
  const CEventMngr* store = documentEventStore(*paper_);
  if (store == nullptr || !store->isRecording() || replaying_) {
    logMarkSet_ = false;
    return;
  }
  const uint32_t end = store->committedEnd();
  // An undo moved the end of the recording back: the log goes on from there.
  if (!logMarkSet_ || logMark_ > end) {
    logMark_ = end;
    logMarkSet_ = true;
    return;
  }
  // The log lists what could be walked.
  (void)walkPackets(store->source(), logMark_, end, [&](const SPacketInfo& p) {
    if (p.type == kPktState || p.type == kPktData) return true;
    switch (p.type) {
      case 17:
      case 18:
        return true;  // the points of the stroke counted at its begin
      case 16: case 20: case 21: case 22: case 23: case 24: case 48: case 49:
        out.push_back(eventNameIndex(17, 0));  // a stroke
        return true;
      default:
        out.push_back(eventNameIndex(p.type, p.subcode));
        return true;
    }
  });
  logMark_ = end;
}

bool TDrawWindow::stopEventRecording(bool ask) {
  CEventMngr* store = documentEventStore(*paper_);
  if (store == nullptr || !store->isRecording()) return true;
  if (isStrokeOpen() || replaying_) return false;
  if (ask) {
    if (host_ == nullptr || host_->askOkCancel(resString(kResStopRecordingQuestion)) != kAnswerOk) return false;
    // A cancel keeps nothing; a failed save shows the path.
    if (host_->askYesNo(resString(kResSaveEventsQuestion)) == kAnswerYes) (void)saveEvents();
  }
  store->clear();
  return true;
}

}  // namespace pg
