#pragma once
// A document window with a new document over the canvas tests' recording
// host: what the panels' logic works on.
#include <cstdlib>
#include <memory>
#include <string>

#include "canvas/canvas_fixture.h"
#include "canvas/canvas_shared.h"
#include "core/blend_modes.h"
#include "canvas/draw_window.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "document/undo_mngr_ex.h"
#include "platform/clock.h"

namespace pg::test {

// Installs a clock for the life of the scope.
class ClockScope {
 public:
  explicit ClockScope(Clock* c) : old_(setClock(c)) {}
  ~ClockScope() { setClock(old_); }
  ClockScope(const ClockScope&) = delete;
  ClockScope& operator=(const ClockScope&) = delete;

 private:
  Clock* old_;
};

struct DocWindowFixture {
  // With a renderer the window's documents get their pen engine, as under
  // the main window; without one every kind paints through the walker.
  explicit DocWindowFixture(int32_t w = 64, int32_t h = 48, SSize client = {300, 200}, CPenRender* render = nullptr) {
    if (render != nullptr) shared.usePenRender(*render);
    window = std::make_unique<TDrawWindow>(shared, &host);
    window->resize(client);
    if (!window->newDocument("doc", w, h, 72)) std::abort();  // every test needs the document
    window->paintPending();
  }
  TPaper& doc() { return window->paper(); }
  // Adds layers above the current one until there are n.
  void addLayers(int32_t n) {
    // Shared with benchmarks (no gtest): a layer that cannot be made stops
    // here rather than looping for ever.
    while (doc().layerCount() < n)
      if (!doc().newLayerCmd(&window->flow(), lbmNormal, true)) std::abort();
  }
  int32_t undoCount() { return doc().undoMngr()->undoCount(); }
  // Paints with the left button across the document and answers the middle
  // pixel of the bottom layer; the stroke is undone after.
  struct SStrokeMiddle {
    uint32_t middle = 0;
    bool undone = false;
  };
  SStrokeMiddle strokeMiddle() {
    window->selectToolHandlers(false);
    const int32_t y = doc().height() / 2;
    auto at = [&](float x) {
      TPointF p = window->imageToClient({x, float(y)});
      return TPoint{int32_t(p.X), int32_t(p.Y)};
    };
    window->mouseDown(PointerButton::Left, kLeftBit, at(8.0f), false);
    for (int k = 1; k <= 8; ++k) window->mouseMove(kLeftBit, at(8.0f + k * (doc().width() - 16) / 8.0f));
    window->mouseUp(PointerButton::Left, 0, at(float(doc().width() - 8)));
    SStrokeMiddle r;
    r.middle = doc().getLayer(0)->image->getPixelClamped(doc().width() / 2, y);
    r.undone = window->undo();
    return r;
  }

  CCanvasShared shared;
  FakeHost host;
  std::unique_ptr<TDrawWindow> window;
};

}  // namespace pg::test
