// Replay of a placed text (region fills 16 and 17): the recording carries
// the glyph coverage the text window rendered, already in the flow image's
// coverage when this runs, so replay needs neither the font nor the text and
// gives the pixels of the original on any machine.
#include "brush/stroke_settings.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "replay/replay_engine.h"

namespace pg {

bool CReplayEngine::replayTextPlacement(int32_t layer, bool asSelection, uint8_t combine) {
  // The text goes where the recorded stroke now points: the current layer.
  stroke_->setLayerIndex(layer);
  if (asSelection) return doc_.lassoSelect(flow_, layer, combine, false);
  return doc_.placeTextOnLayer(flow_, layer, TPaper::STextPlacement{}, *stroke_, false);
}

}  // namespace pg
