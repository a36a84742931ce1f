// The document window's replay of version 1.1 recordings: the stream is
// loaded and checked whole, its first record sets the image up, and every
// tick plays one record (or one point of an open stroke) through the
// document's player. The document does not record meanwhile: a version 1.1
// stream cannot be continued in the current format. Version 1.1 documents
// open here too.
#include <filesystem>

#include "brush/stroke_settings.h"
#include "canvas/draw_window.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "io/legacy_document.h"
#include "io/thumbnail_document.h"
#include "platform/string_table.h"
#include "record/event_store.h"
#include "record/event_vocabulary.h"
#include "record/legacy_event_packet.h"
#include "replay/replay_types.h"

namespace pg {

namespace {
// "An event replay is in progress. Stop the replay?"
constexpr uint32_t kResReplayStopQuestion = 65152;
// Any pace of 1 ms or more steps a version 1.1 replay every 8 ms.
constexpr uint32_t kLegacyPaceMs = 8;
}  // namespace

SLegacyImportResult TDrawWindow::openLegacyDocument(const std::string& path) {
  SLegacyImportResult result;
  if (replaying_ || isStrokeOpen()) return result;
  auto doc = std::make_unique<TPaper>(this, services_);
  TEventPacket events;
  result = importLegacyDocument(path, *doc, events);
  const bool read = result.status == LegacyImport::Layers || result.status == LegacyImport::NoLayers ||
                    result.status == LegacyImport::Broken;
  if (!read) return result;
  cancelPointer();
  if (!adoptDocument(std::move(doc))) {
    result.status = LegacyImport::Unreadable;
    return result;
  }
  result.eventsIgnored = events.size() > 0;
  events.clear();
  (void)stopEventRecording(false);  // the new document has recorded nothing yet
  modified_ = false;
  applyReplayRefresh(uint8_t(kRefreshLayout | kRefreshCanvasSize | kRefreshTitle));
  return result;
}

bool TDrawWindow::openLegacyEvents(const std::string& path, uint32_t nowMs) {
  if (replaying_ || isStrokeOpen()) return false;
  auto packet = std::make_unique<TEventPacket>();
  SLegacyStreamInfo info;
  if (!packet->loadFromFile(path, info)) return false;
  cancelPointer();
  if (!adoptDocument(std::make_unique<TPaper>(this, services_))) return false;
  if (CEventMngr* store = documentEventStore(*paper_)) store->setMode(EventMode::Idle);
  paper_->enterOlderFormatMode();
  auto stroke = std::make_unique<TStroke>();
  uint16_t code = 0;
  bool refresh = false;
  if (!paper_->playPenPacket(*flow_, *packet, code, refresh, *stroke)) {
    (void)paper_->leaveOlderFormatMode();  // already failing; short of memory the document stays without undo
    handlers_ = &nullToolHandlers();
    return false;
  }
  legacy_ = std::move(packet);
  legacyStroke_ = std::move(stroke);
  legacyPaused_ = false;
  replaySource_ = path;
  replaying_ = true;
  endPending_ = false;
  stepGuard_ = false;
  replayedEvents_ = 1;
  replayCounters_.fill(0);
  ++replayCounters_[legacyCodeKind(code)];
  replayStartMs_ = nowMs;
  lastStepMs_ = nowMs;
  paper_->setName(std::filesystem::path(path).filename().string());
  modified_ = false;
  imageReady_ = true;
  applyReplayRefresh(uint8_t(kRefreshLayout | kRefreshCanvasSize | kRefreshTitle));
  return true;
}

ReplayTick TDrawWindow::legacyReplayStep(uint32_t nowMs) {
  if (legacyPaused_) return kReplayNothing;
  if (replayWaitMs_ >= 1 && nowMs - lastStepMs_ < kLegacyPaceMs) return kReplayNothing;
  lastStepMs_ = nowMs;
  stepGuard_ = true;
  struct Guard {
    bool& flag;
    ~Guard() { flag = false; }
  } guard{stepGuard_};

  const bool inStroke = legacy_->insideStroke();
  uint16_t code = 0;
  bool refresh = false;
  if (!paper_->playPenPacket(*flow_, *legacy_, code, refresh, *legacyStroke_)) {
    if (code == kLegacyEndCode && legacy_->atEnd()) {
      legacy_->dropLastCode();
      return endLegacyReplay(ReplayEndKind::Normal, nowMs);
    }
    (void)endLegacyReplay(ReplayEndKind::OnError, nowMs);  // the tick this answers is decided here
    return endOnError_ ? kReplayEnd : kReplayError;
  }
  if (!inStroke) {
    ++replayedEvents_;
    ++replayCounters_[legacyCodeKind(code)];
  }
  applyReplayRefresh(refresh ? uint8_t(kRefreshLayout | kRefreshCanvasSize) : uint8_t(0));
  if (!refresh) invalidateView();
  if (endPending_ && !legacy_->insideStroke()) {
    endPending_ = false;
    if (host_ != nullptr && host_->askYesNo(resString(kResReplayStopQuestion)) == kAnswerYes) {
      legacy_->truncateAtReadPosition();
      return endLegacyReplay(ReplayEndKind::ByUser, nowMs);
    }
  }
  return kReplayEventDone;
}

ReplayTick TDrawWindow::endLegacyReplay(ReplayEndKind kind, uint32_t nowMs) {
  SReplaySummary summary;
  summary.kind = kind;
  summary.documentName = paper_->name();
  summary.elapsedMs = nowMs - replayStartMs_;
  summary.events = replayedEvents_;
  replaying_ = false;
  endPending_ = false;
  legacyPaused_ = false;
  (void)paper_->leaveOlderFormatMode();  // short of memory the document stays without undo
  paper_->updateThumbnails(false, -1);
  selectToolHandlers(false);
  applyReplayRefresh(uint8_t(kRefreshLayout | kRefreshCanvasSize | kRefreshTitle));
  if (host_) host_->replayEnded(summary);
  return kReplayEnd;
}

}  // namespace pg
