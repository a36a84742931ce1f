#pragma once
// A document of one opaque layer with its flow image, as the stroke
// benchmarks paint on.
#include <cstdint>

#include "document/flow_image.h"
#include "document/layer_mngr.h"
#include "document/mask_mngr.h"
#include "document/paper.h"

namespace pg::bench {

struct SStrokeDocument {
  SStrokeDocument(int32_t w, int32_t h) {
    doc.setSizeValue(w, h);
    doc.layers()->setDocumentSize(w, h);
    doc.masks()->setDocumentSize(w, h);
    layer = doc.insertLayer(0, w, h, true, 255, 3);
    doc.layers()->setCurrent(layer);
    doc.setFlowImage(&flow);
    flow.fitDocument(false);
  }
  TPaper doc{nullptr};
  TFlowImage flow{&doc};
  int32_t layer = -1;
};

}  // namespace pg::bench
