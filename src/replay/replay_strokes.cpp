// Stroke replay: a begin packet and its point chunks become the same stroke
// on the document, a chunk at a time or one point per replay step.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "brush/stroke_mngr.h"
#include "brush/stroke_settings.h"
#include "core/limits.h"
#include "core/rect.h"
#include "document/paper.h"
#include "record/packet_catalogue.h"
#include "record/state_packets.h"
#include "replay/replay_engine.h"

namespace pg {

namespace {
constexpr uint8_t kInternalBegin = 16;  // the begin the driver runs for points without one
constexpr uint8_t kEngineMode = 4;      // drawing mode of the pen-method engine
constexpr float kPointReach = 3.0f * float(kMaxImageWidth);
}  // namespace

void CReplayEngine::switchSmoothingOff() {
  store_.setReplayFlags(uint8_t(store_.replayFlags() | kRfResetStrokeMngr));
  stroke_->exactPoints = 1;
  stroke_->straightInput = 1;
  if (CStrokeMngr* engine = doc_.penEngine()) engine->setInterpolateMode(0);
}

bool CReplayEngine::replayStrokeBegin(uint8_t subcode, uint8_t drawMode) {
  pointsInChunk_ = 0;
  pointsDone_ = 0;
  strokeStarted_ = false;
  stroke_->drawMode = drawMode;
  if (subcode == 0) {
    // The body holds the pen kind and the current mask as the recorder wrote
    // them; the stroke paints on the current layer, which the layer item
    // written before every stroke has set.
    uint8_t body[4];
    if (!read(body, 4)) return false;
  } else if (subcode != kInternalBegin) {
    return fail(ReplayError::UnknownPacket);
  }
  stroke_->setLayerIndex(doc_.currentLayerIndex());
  store_.setStateBits(kEvReplayStrokeOpen, true);
  const bool stepPoints = (store_.stateByte() & kEvStepPoints) != 0;
  uint8_t flags = uint8_t(store_.replayFlags() & ~(kRfStopAtPoints | kRfLastChunk));
  if (stepPoints) flags |= kRfStopAtPoints;
  store_.setReplayFlags(flags);
  return true;
}

bool CReplayEngine::replayStrokePoints(uint8_t count, bool last) {
  if (count < 1 || count > kStrokeChunkPoints) return fail(ReplayError::BadField);
  uint8_t raw[kStrokeChunkPoints * kStrokePointBytes];
  if (!read(raw, count * kStrokePointBytes)) return false;
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* p = raw + i * kStrokePointBytes;
    const float x = readF32(p);
    const float y = readF32(p + 4);
    const float pressure = readF32(p + 8);
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(pressure)) return fail(ReplayError::BadField);
    // Points the pointer could give lie within a few canvas widths of the
    // largest image; pressure is 0..1.
    points_[size_t(i)] = {std::clamp(x, -kPointReach, kPointReach), std::clamp(y, -kPointReach, kPointReach),
                          std::clamp(pressure, 0.0f, 1.0f)};
  }
  pointsInChunk_ = count;
  pointsDone_ = 0;
  if ((store_.replayFlags() & kRfStopAtPoints) != 0) {
    drawStrokePoints(0, 1);
    pointsDone_ = 1;
    if (last) {
      if (count == 1) return finishReplayStroke();
      store_.setReplayFlags(uint8_t(store_.replayFlags() | kRfLastChunk));
    }
    return true;
  }
  drawStrokePoints(0, count);
  pointsDone_ = count;
  return !last || finishReplayStroke();
}

int32_t CReplayEngine::drawStrokePoints(int32_t first, int32_t count) {
  int32_t drawn = 0;
  const bool engine = stroke_->drawMode >= kEngineMode;
  for (int32_t i = first; i < first + count && i < pointsInChunk_; ++i) {
    const auto& p = points_[size_t(i)];
    bool ok;
    if (!strokeStarted_) {
      if (engine) ensurePenEngine();
      ok = session_.begin(doc_, flow_, *stroke_, false, engine ? 2 : 1, p[0], p[1], p[2]);
      strokeStarted_ = true;
    } else {
      ok = session_.point(doc_, flow_, *stroke_, false, true, p[0], p[1], p[2]);
    }
    if (ok) ++drawn;
  }
  return drawn;
}

bool CReplayEngine::finishReplayStroke() {
  pointsInChunk_ = 0;
  pointsDone_ = 0;
  if ((store_.replayFlags() & kRfResetStrokeMngr) != 0) {
    stroke_->exactPoints = 0;
    stroke_->straightInput = 0;
    if (CStrokeMngr* engine = doc_.penEngine()) engine->setInterpolateMode(1);
  }
  store_.setReplayFlags(uint8_t(store_.replayFlags() & ~(kRfResetStrokeMngr | kRfStopAtPoints | kRfLastChunk)));
  store_.setStateBits(kEvReplayStrokeOpen, false);
  const bool started = strokeStarted_;
  strokeStarted_ = false;
  if (!started) return true;
  SRectXYWH rect{};
  // An open stroke that does not end could not be stored in the layer
  // (memory): the replay cannot go on as recorded.
  const bool open = doc_.strokeState().isOpen();
  const bool ended = session_.end(doc_, flow_, *stroke_, false, rect);
  if (open && !ended) return fail(ReplayError::OperationFailed);
  if (rect.Width > 0 && rect.Height > 0) doc_.updateLayerPreview(false, stroke_->layerIndex, xywhToRect(rect));
  return true;
}

}  // namespace pg
