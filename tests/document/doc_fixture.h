#pragma once
// A document with fake neighbours, a flow image and helpers to build layers
// and masks, and a snapshot of everything undo may touch.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/block_image.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "doc_fakes.h"

namespace pg::test {

struct DocFixture {
  explicit DocFixture(int32_t undoMax = 8, int32_t w = 40, int32_t h = 30) {
    prefs.undo = undoMax;
    DocServices s;
    s.prefs = &prefs;
    s.makeRecorder = [this](TPaper&) {
      auto r = std::make_unique<FakeRecorder>();
      r->log = &log;
      recorder = r.get();
      return std::unique_ptr<IDocRecorder>(std::move(r));
    };
    doc = std::make_unique<TPaper>(&window, s);
    doc->setSizeValue(w, h);
    doc->layers()->setDocumentSize(w, h);
    doc->masks()->setDocumentSize(w, h);
    flow = std::make_unique<TFlowImage>(doc.get());
    doc->setFlowImage(flow.get());
    log.clear();
  }

  // A layer of the document size (blend mode Normal) whose pixels are a
  // pattern of the seed, inserted at `index`.
  int32_t addLayer(int32_t index, uint32_t seed, int32_t w = -1, int32_t h = -1) {
    const int32_t at = doc->insertLayer(index, w < 0 ? doc->width() : w, h < 0 ? doc->height() : h, true, 255, 3);
    CLayerData* l = doc->layers()->getLayer(at);
    for (int32_t y = 0; y < l->imageHeight(); y += 3)
      for (int32_t x = 0; x < l->imageWidth(); x += 2)
        EXPECT_TRUE(l->image->setPixel(x, y, (seed * 2654435761u + static_cast<uint32_t>(x * 131 + y * 7)) | 0x80000000u));
    doc->layers()->setCurrent(at);
    return at;
  }

  CLayerData* layer(int32_t i) const { return doc->layers()->getLayer(i); }

  FakeWindow window;
  FakePrefs prefs;
  FakeMessages messages;
  std::vector<std::string> log;
  FakeRecorder* recorder = nullptr;
  std::unique_ptr<TPaper> doc;
  std::unique_ptr<TFlowImage> flow;
};

// Everything about a document that undo and redo may change, as text, so
// that two states compare with one EXPECT_EQ and print readably.
inline uint64_t imageHash(const CBlockVMTC& img) {
  uint64_t h = 1469598103934665603ull;
  for (int32_t y = 0; y < img.height(); ++y)
    for (int32_t x = 0; x < img.width(); ++x) h = (h ^ img.getPixel(x, y)) * 1099511628211ull;
  return h ^ (static_cast<uint64_t>(img.width()) << 32) ^ static_cast<uint64_t>(img.height());
}

inline uint64_t channelHash(const CBlockVCH& img) {
  uint64_t h = 1469598103934665603ull;
  for (int32_t y = 0; y < img.height(); ++y)
    for (int32_t x = 0; x < img.width(); ++x) h = (h ^ img.getPixel(x, y)) * 1099511628211ull;
  return h;
}

inline std::string snapshot(const TPaper& doc) {
  std::string s = "doc " + std::to_string(doc.width()) + "x" + std::to_string(doc.height()) + " paper " +
                  std::to_string(doc.paperColor().pixel()) + " sel " + std::to_string(doc.selectionEnabled()) +
                  std::to_string(doc.antsShown()) + "\n";
  const CLayerMngr& layers = *doc.layers();
  for (int32_t i = 0; i < layers.count(); ++i) {
    const CLayerData& l = *layers.getLayer(i);
    s += "L" + std::to_string(i) + " id " + std::to_string(l.id) + " idx " + std::to_string(l.index) + " '" +
         l.name + "' off " + std::to_string(l.offsetX) + "," + std::to_string(l.offsetY) + " vis " +
         std::to_string(l.visible) + " op " + std::to_string(l.opacity) + " mode " + std::to_string(l.blendMode) +
         " diss " + std::to_string(l.dissolve) + "/" + std::to_string(l.dissolveAmount) + " pa " +
         std::to_string(l.protectAlpha) + " link " + std::to_string(l.linkLevel) + " img " +
         (l.image ? std::to_string(imageHash(*l.image)) : std::string("none")) + "\n";
  }
  const CMaskMngr& masks = *doc.masks();
  // The current layer is left out: undo and redo make the layer they touched
  // current, as the document window expects.
  s += "current mask " + std::to_string(masks.current()) + "\n";
  for (int32_t i = 0; i < masks.count(); ++i) {
    const CMaskData& m = *masks.getMask(i);
    s += "M" + std::to_string(i) + " id " + std::to_string(m.id) + " '" + m.name + "' off " +
         std::to_string(m.offsetX) + "," + std::to_string(m.offsetY) + " img " +
         (m.hasImage() ? std::to_string(m.imageWidth()) + "x" + std::to_string(m.imageHeight()) + " " +
                            std::to_string(channelHash(*m.image))
                      : "none") +
         "\n";
  }
  return s;
}

}  // namespace pg::test
