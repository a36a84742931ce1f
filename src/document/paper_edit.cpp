#include "document/paper_edit.h"

#include "document/layer_mngr.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "platform/debug_output.h"

namespace pg {

CDocEdit::CDocEdit(TPaper& doc, bool record, EditOrder order) : doc_(doc), record_(record), order_(order) {
  if (doc_.layers() != nullptr) layerNames_ = doc_.layers()->nameCounter();
  if (doc_.masks() != nullptr) maskNames_ = doc_.masks()->nameCounter();
}

CDocEdit::~CDocEdit() {
  if (changed_ || !(eventWritten_ || undoTaken_)) return;
  // Recorded but never carried out: the recording takes the event back, so
  // that a replay does not perform an edit that never happened. Its commit
  // gave up the recorder's redo side: the document's goes too.
  IDocRecorder* rec = eventWritten_ ? doc_.events() : nullptr;
  if (rec != nullptr && rec->retractEventsSince(eventMark_) && !undoTaken_) {
    doc_.clearRedo();
    return;
  }
  // The recorder holds an event (or the undo list a record) that the
  // document does not reflect.
  doc_.clearUndo();
}

bool CDocEdit::gate(bool preconditionsHold) {
  open_ = preconditionsHold;
  return open_;
}

bool CDocEdit::gate(const EditGateFlags& flags, bool preconditionsHold) {
  open_ = doc_.canEdit(flags) && preconditionsHold;
  return open_;
}

bool CDocEdit::event(const std::function<bool(IDocRecorder&)>& write) {
  if (!open_) return false;
  if (!record_) return true;
  IDocRecorder* rec = doc_.events();
  if (rec == nullptr) return true;  // a document without recorder records nothing
  eventMark_ = rec->eventMark();
  if (!write(*rec)) {
    open_ = false;
    return false;
  }
  eventWritten_ = true;
  return true;
}

bool CDocEdit::undoBefore(const std::function<bool(TPaper&)>& store) {
  if (!open_ || !record_) return false;
  if (order_ == EditOrder::EventFirst && !eventWritten_ && doc_.events() != nullptr) {
    debugOutput("CDocEdit: undo taken before the event\n");
  }
  // Without a document undo manager (older-format mode) pixel snapshots go
  // to the layers' own undo; nothing there has to match the recorder.
  if (!doc_.hasUndo()) return store(doc_);
  if (!doc_.undoAvailable()) return false;
  if (store(doc_)) {
    undoTaken_ = true;
    return true;
  }
  storeFailed();
  return false;
}

bool CDocEdit::undoAfter(std::unique_ptr<CUndoData>& record) {
  if (!open_ || !record_ || !record) return false;
  if (!doc_.undoAvailable()) return false;
  // A record taken after the change knows whether the edit took a default name.
  const int32_t layerNames = doc_.layers() != nullptr ? doc_.layers()->nameCounter() : -1;
  const int32_t maskNames = doc_.masks() != nullptr ? doc_.masks()->nameCounter() : -1;
  if (layerNames_ >= 0 && layerNames >= 0 && layerNames != layerNames_) {
    record->layerNamesBefore = layerNames_;
    record->layerNamesAfter = layerNames;
  }
  if (maskNames_ >= 0 && maskNames >= 0 && maskNames != maskNames_) {
    record->maskNamesBefore = maskNames_;
    record->maskNamesAfter = maskNames;
  }
  if (doc_.pushUndo(record)) {
    undoTaken_ = true;
    return true;
  }
  storeFailed();
  return false;
}

void CDocEdit::changed() { changed_ = true; }

void CDocEdit::storeFailed() {
  // The event is (or will be) in the recorder without its undo record.
  doc_.clearUndo();
}

}  // namespace pg
