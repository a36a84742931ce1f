#pragma once
// The replay of a recording into a document, as the document window and the
// batch modes drive it: open a recording (an event file or a native file
// that carries one) for replay into a fresh document, step a number of
// events or until a time budget is spent, pause, stop, and read the result
// and what must be redrawn.
#include <cstdint>
#include <memory>
#include <string>

#include "core/chunk_head.h"
#include "replay/replay_engine.h"

namespace pg {

class TPaper;
class TFlowImage;
class CEventMngr;

// The event store of a document whose recorder is the event-store recorder;
// null otherwise.
CEventMngr* documentEventStore(TPaper& doc);

// Replaces the stream of `to` with the committed stream of `from` (stream
// version and reserved word included). False when it cannot be copied; `to`
// is then as it was.
[[nodiscard]] bool copyRecording(const CEventMngr& from, CEventMngr& to);

// After a replay: keeps the first `length` bytes (`events` events) of the
// store's stream, what the document now shows, and makes the store record
// after them. False, the store as it was, when that cannot be done.
[[nodiscard]] bool recordAfterReplay(CEventMngr& store, uint32_t length, uint32_t events);

// Reads the recording a file carries into the store: event files by their
// reader, native files (".kci") through a scratch document. Answers the
// reader's code (0 success, 12 a newer stream version).
[[nodiscard]] FileResult readRecording(const std::string& path, CEventMngr& store);

class CReplaySession {
 public:
  // The document (fresh, with the event-store recorder) and its window's
  // flow image.
  CReplaySession(TPaper& doc, TFlowImage& flow);
  ~CReplaySession();
  CReplaySession(const CReplaySession&) = delete;
  CReplaySession& operator=(const CReplaySession&) = delete;

  // Loads the recording of the file and starts the replay.
  [[nodiscard]] ReplayStart open(const std::string& path);
  // Starts the replay of a recording held by another store.
  [[nodiscard]] ReplayStart openStore(const CEventMngr& source);

  // Steps until maxEvents events were replayed, budgetMs milliseconds went
  // by (0: no limit), or a step answered anything but EventDone; answers
  // the last step's result. The refresh bits of all steps add up until
  // takeRefresh.
  ReplayStep step(uint32_t maxEvents, uint32_t budgetMs = 0);
  void setPaused(bool on) { engine_->setPaused(on); }
  void setStepPoints(bool on) { engine_->setStepPoints(on); }
  // Ends the replay: an open stroke is completed, the store leaves replay.
  void stop();

  bool isRunning() const { return running_; }
  ReplayStep lastResult() const { return last_; }
  uint32_t stepsDone() const { return steps_; }
  uint8_t takeRefresh() {
    const uint8_t r = refresh_;
    refresh_ = 0;
    return r;
  }
  CReplayEngine& engine() { return *engine_; }

 private:
  TPaper& doc_;
  // The document's own store; a private one when it has none.
  std::unique_ptr<CEventMngr> ownStore_;
  CEventMngr* store_;
  std::unique_ptr<CReplayEngine> engine_;
  bool running_ = false;
  ReplayStep last_ = ReplayStep::EventDone;
  uint32_t steps_ = 0;
  uint8_t refresh_ = 0;
};

}  // namespace pg
