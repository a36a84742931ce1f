#pragma once
// Fakes of the document's neighbours: a recorder that logs every call, a
// window, the preferences and the message boxes.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/doc_services.h"
#include "platform/message_service.h"

namespace pg::test {

class FakeRecorder final : public IDocRecorder {
 public:
  // Every call, in order, e.g. "startRecording 42", "paperColor 00112233".
  std::vector<std::string>* log = nullptr;
  bool recording = true;
  bool failWrites = false;
  bool failUndoEvent = false;
  bool failRedoStep = false;
  int32_t depth = 0;
  int32_t forward = 0;
  // Runs inside each recording call, before it answers (to look at the
  // document at that moment).
  std::function<void()> onRecord;

  bool startRecording(int32_t n) override { return note("startRecording " + std::to_string(n)); }
  void clear() override { note("clear"); }
  bool hasEvents() const override { return recording; }
  bool isStrokeOpen() const override { return false; }
  void activate(bool a) override { note(a ? "activate" : "deactivate"); }
  int32_t undoDepth() const override { return depth; }
  bool undoEvent() override {
    note("undoEvent");
    if (failUndoEvent || depth == 0) return false;
    --depth;
    ++forward;
    return true;
  }
  int32_t redoAvailableCount() const override { return forward; }
  bool redoStep() override {
    note("redoStep");
    if (failRedoStep || forward == 0) return false;
    --forward;
    ++depth;
    return true;
  }
  void noteState() override { note("noteState"); }
  void dropForwardEvents() override {
    note("dropForwardEvents");
    forward = 0;
  }
  bool resizeUndoRing(int32_t a, int32_t b) override {
    return note("resizeUndoRing " + std::to_string(a) + " " + std::to_string(b));
  }
  bool recordPaperColor(uint32_t pixel) override {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", pixel);
    return event(std::string("paperColor ") + buf);
  }

  // A recording call of a test's own operation.
  bool event(const std::string& what) {
    if (onRecord) onRecord();
    note(what);
    if (failWrites) return false;
    if (recording) {
      ++depth;
      forward = 0;
    }
    return true;
  }

 private:
  bool note(const std::string& s) const {
    if (log != nullptr) log->push_back(s);
    return true;
  }
};

class FakeWindow final : public IDocWindow {
 public:
  bool allowEdit = true;
  bool replaying = false;
  bool modified = false;
  int32_t gateCalls = 0;
  int32_t invalidations = 0;
  int32_t layouts = 0;
  bool lastRelayout = false;
  int32_t waitCursorDepth = 0;
  std::vector<TRect> repainted;

  bool canEdit(const EditGateFlags&) override {
    ++gateCalls;
    return allowEdit;
  }
  void setModified(bool m) override { modified = m; }
  bool isReplaying() const override { return replaying; }
  void repaintDocRect(const TRect& r) override { repainted.push_back(r); }
  void invalidateView() override { ++invalidations; }
  void documentLayoutChanged(bool relayout) override {
    ++layouts;
    lastRelayout = relayout;
  }
  void setWaitCursor(bool on) override { waitCursorDepth += on ? 1 : -1; }
};

class FakePrefs final : public IDocPrefs {
 public:
  int32_t undo = kDefaultUndoMax;
  int32_t undoMax() const override { return undo; }
};

// Keeps the message boxes shown while it lives.
class FakeMessages {
 public:
  std::vector<std::string> warnings() const {
    std::vector<std::string> w;
    for (const auto& m : service_.shown())
      if (m.kind == MessageKind::Warning) w.push_back(m.text);
    return w;
  }
  void clear() { service_.clear(); }

 private:
  RecordingMessageService service_;
  ScopedMessageService scope_{service_};
};

}  // namespace pg::test
