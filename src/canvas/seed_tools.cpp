// The seed tools' document operations: bucket fill, magic eraser and the
// automatic selection, each with the range settings of the options.
#include "brush/stroke_settings.h"
#include "canvas/canvas_shared.h"
#include "canvas/tool_numbering.h"
#include "document/paper.h"
#include "document/paper_ops.h"

namespace pg {

bool documentSeedFill(TPaper& doc, TFlowImage& flow, const SSeedFillRequest& request, const TStroke& stroke) {
  SRegionFillSettings settings;
  settings.limit = request.settings.limit < 0 ? 0 : request.settings.limit > 255 ? 255 : request.settings.limit;
  settings.target = request.settings.visible ? 1 : 0;
  const bool antiAlias = request.settings.antiAlias;
  const int32_t layer = doc.currentLayerIndex();
  switch (request.kind) {
    case kSeedBucketFill:
    case kSeedMagicEraser:
      return doc.bucketFillLayer(flow, layer, request.at, antiAlias, request.kind == kSeedMagicEraser, stroke, settings,
                                 true);
    case kSeedAutoSelect: {
      const SModifierKeys keys{(request.shift & kShiftBit) != 0, (request.shift & kCtrlBit) != 0,
                               (request.shift & kAltBit) != 0};
      const int32_t mode = doc.selectModeFromKeys(keys, request.shortcutMode);
      return doc.magicWandSelect(flow, layer, request.at, mode, antiAlias, settings, true);
    }
    default:
      return false;
  }
}

void CCanvasShared::useDocumentSeedFill() {
  seedFill = [this](TPaper& doc, TFlowImage& flow, const SSeedFillRequest& request) {
    return documentSeedFill(doc, flow, request, toolStroke());
  };
}

}  // namespace pg
