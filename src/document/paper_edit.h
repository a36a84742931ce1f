#pragma once
// The edit protocol: the one road every edit of a document takes.
//
//   1. gate      the window's edit gate (when the caller asks for it) and the
//                operation's own preconditions; a refused edit changes nothing;
//   2. event     when recording, the operation's event packet;
//   3. undo      when recording: the pixels or the old attribute value BEFORE
//                the change (undoBefore), or the object the change replaced
//                AFTER it (undoAfter), which passes to the undo manager only
//                when the manager accepts it;
//   4. change    the operation changes the data and calls changed();
//   5. repaint   the operation's own refresh.
//
// Replay runs the same operations with `record` false: no event, no undo.
//
// Two rules keep the recorder and the undo lists in step: an edit that wrote
// its event but ends without changed() (a failure, an early return, an
// exception) takes its event back out of the recording (its redo is gone
// with it, and when the recorder cannot take it back, or an undo record was
// already taken, the whole undo history is cleared); and a recorded change
// whose undo record the manager could not take (memory) clears the history
// too, because the next undo would otherwise pair the wrong record with the
// last event.
// Shape selections take their undo record before their event
// (EditOrder::UndoFirst).
#include <functional>
#include <memory>

#include "document/doc_services.h"
#include "document/undo_data.h"

namespace pg {

class TPaper;

enum class EditOrder { EventFirst, UndoFirst };

class CDocEdit {
 public:
  CDocEdit(TPaper& doc, bool record, EditOrder order = EditOrder::EventFirst);
  ~CDocEdit();
  CDocEdit(const CDocEdit&) = delete;
  CDocEdit& operator=(const CDocEdit&) = delete;

  bool recording() const { return record_; }

  // Step 1. The operation's preconditions; false ends the edit.
  [[nodiscard]] bool gate(bool preconditionsHold);
  // Step 1 with the window's edit gate asked first (user commands that did
  // not ask it themselves).
  [[nodiscard]] bool gate(const EditGateFlags& flags, bool preconditionsHold);

  // Step 2. Writes the event when recording (always true otherwise). A write
  // that fails ends the edit before anything changed.
  [[nodiscard]] bool event(const std::function<bool(IDocRecorder&)>& write);

  // Step 3, before the change: the store routine (one of the document's
  // store entry points) runs only when recording and the document keeps
  // undo. Answers whether a record was stored. A store that fails is acted
  // on here (the history is cleared), so a caller may leave the answer.
  bool undoBefore(const std::function<bool(TPaper&)>& store);
  // Step 3, after the change: hands the record (holding the replaced object)
  // to the undo manager when recording. On true the manager owns it; on
  // false the record, and the object it keeps, stays with `record` and is
  // freed with it unless the caller takes it back. As with undoBefore, a
  // failure is acted on here.
  bool undoAfter(std::unique_ptr<CUndoData>& record);

  // Step 4 done: the document changed as the event says.
  void changed();

 private:
  void storeFailed();

  TPaper& doc_;
  bool record_;
  EditOrder order_;
  bool open_ = false;        // gate passed, edit under way
  bool eventWritten_ = false;
  uint64_t eventMark_ = 0;  // the recorder's mark before the event
  bool undoTaken_ = false;
  bool changed_ = false;
  // The name counters when the edit began (-1: no list).
  int32_t layerNames_ = -1;
  int32_t maskNames_ = -1;
};

}  // namespace pg
