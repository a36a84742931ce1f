#pragma once
// A document window over a host that only records what the window asks of
// it, with a new document in a client area of a given size.
#include <memory>
#include <string>
#include <cstdlib>
#include <vector>

#include "canvas/draw_window.h"
#include "document/paper.h"

namespace pg::test {

class FakeHost final : public IDrawWindowHost {
 public:
  int32_t beeps = 0;
  int32_t fullUpdates = 0;
  std::vector<TRect> updated;
  SCursorChoice cursor{};
  SScrollBars bars{};
  bool autoScrollOn = false;
  std::string caption;
  int32_t answer = kAnswerNo;
  int32_t questions = 0;

  void updateRect(const TRect& r) override { updated.push_back(r); }
  void updateAll() override { ++fullUpdates; }
  void beep() override { ++beeps; }
  void setCursor(const SCursorChoice& c) override { cursor = c; }
  void applyScrollBars(const SScrollBars& b) override { bars = b; }
  void setAutoScrollTimer(bool on) override { autoScrollOn = on; }
  void setCaption(const std::string& c) override { caption = c; }
  void screenToClient(float& x, float& y) const override {
    x -= 1000.0f;
    y -= 500.0f;
  }
  int32_t askSaveChanges(const std::string&) override {
    ++questions;
    return answer;
  }
  int32_t askYesNo(const std::string& text) override {
    ++questions;
    lastQuestion = text;
    return answer;
  }
  void showReplayMessage(const std::string& text) override { messages.push_back(text); }
  void replayEnded(const SReplaySummary& s) override { summaries.push_back(s); }
  int32_t askOkCancel(const std::string& text) override {
    ++questions;
    lastQuestion = text;
    return okAnswer;
  }
  std::string askEventFileName(const std::string& proposed) override {
    proposedNames.push_back(proposed);
    return eventFileAnswer;
  }
  int32_t okAnswer = kAnswerCancel;
  std::string eventFileAnswer;
  std::vector<std::string> proposedNames;
  std::string lastQuestion;
  std::vector<std::string> messages;
  std::vector<SReplaySummary> summaries;
};

struct CanvasFixture {
  explicit CanvasFixture(int32_t w = 400, int32_t h = 300, SSize client = {500, 400}) {
    window = std::make_unique<TDrawWindow>(shared, &host);
    window->resize(client);
    if (!window->newDocument("test", w, h, 72)) std::abort();  // every test needs the document
    window->paintPending();
  }
  TPaper& doc() { return window->paper(); }
  // The window point where an image point is shown.
  TPointF shown(TPointF image) const { return window->imageToClient(image); }
  // A left-button drag along points (window coordinates).
  void drag(std::initializer_list<TPoint> path, uint32_t shift = 0) {
    auto it = path.begin();
    window->mouseDown(PointerButton::Left, shift | kLeftBit, *it, false);
    for (++it; it != path.end(); ++it) window->mouseMove(shift | kLeftBit, *it);
    window->mouseUp(PointerButton::Left, shift, *(path.end() - 1));
  }

  CCanvasShared shared;
  FakeHost host;
  std::unique_ptr<TDrawWindow> window;
};

}  // namespace pg::test
