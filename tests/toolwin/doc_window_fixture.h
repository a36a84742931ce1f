#pragma once
// A document window with a new document over a host that ignores what the
// window asks of it: what the panels' logic works on.
#include <memory>
#include <string>

#include "canvas/canvas_shared.h"
#include "canvas/draw_window.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "document/undo_mngr_ex.h"

namespace pg::test {

class QuietHost final : public IDrawWindowHost {
 public:
  void updateRect(const TRect&) override {}
  void updateAll() override {}
  void beep() override {}
  void setCursor(const SCursorChoice&) override {}
  void applyScrollBars(const SScrollBars&) override {}
  void setAutoScrollTimer(bool) override {}
  void setCaption(const std::string&) override {}
  void screenToClient(float&, float&) const override {}
  int32_t askSaveChanges(const std::string&) override { return kAnswerNo; }
};

struct DocWindowFixture {
  explicit DocWindowFixture(int32_t w = 64, int32_t h = 48, SSize client = {300, 200}) {
    window = std::make_unique<TDrawWindow>(shared, &host);
    window->resize(client);
    window->newDocument("doc", w, h, 72);
    window->paintPending();
  }
  TPaper& doc() { return window->paper(); }
  // Adds layers above the current one until there are n.
  void addLayers(int32_t n) {
    while (doc().layerCount() < n) doc().newLayerCmd(&window->flow(), 0, true);
  }
  int32_t undoCount() { return doc().undoMngr()->undoCount(); }

  CCanvasShared shared;
  QuietHost host;
  std::unique_ptr<TDrawWindow> window;
};

}  // namespace pg::test
