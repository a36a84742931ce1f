#pragma once
// The document's recorder over the event store (CEventMngr): the document's
// recording calls become packets of the store, its undo and redo steps the
// store's event undo and redo.
#include <cstdint>

#include "document/doc_services.h"
#include "record/event_owner.h"
#include "record/event_store.h"

namespace pg {

class CDocEventRecorder final : public IDocRecorder, private EventOwner {
 public:
  // A store of 64 KB segments with room for 1 MB to start with.
  CDocEventRecorder();

  CEventMngr& store() { return store_; }
  const CEventMngr& store() const { return store_; }

  bool startRecording(int32_t undoSteps) override;
  void clear() override { store_.clear(); }
  bool hasEvents() const override { return store_.hasEvents(); }
  bool isStrokeOpen() const override { return store_.isStrokeOpen(); }
  void activate(bool active) override;
  int32_t undoDepth() const override { return store_.undoCount(); }
  bool undoEvent() override { return store_.undoEvent(); }
  int32_t redoAvailableCount() const override { return store_.redoCount(); }
  bool redoStep() override { return store_.redoEvent(); }
  void noteState() override { store_.takeStateFlags(); }
  void dropForwardEvents() override { store_.discardRedo(); }
  bool resizeUndoRing(int32_t backSteps, int32_t forwardSteps) override {
    return store_.resizeIndex(backSteps, forwardSteps);
  }
  // Writes the committed document event (2, 1) with the colour as a
  // little-endian u32 in pixel order (bytes blue, green, red, 0).
  bool recordPaperColor(uint32_t pixel) override;

 private:
  // The document has no stroke engine of its own yet.
  CStrokeMngr* eventStrokeManager() override { return nullptr; }
  CPenRender* eventPenRenderer() override { return nullptr; }

  CEventMngr store_;
};

// The factory a document window hands to its document.
DocRecorderFactory eventStoreRecorderFactory();

}  // namespace pg
