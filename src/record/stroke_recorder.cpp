#include "record/stroke_recorder.h"

#include "brush/stroke_settings.h"
#include "record/event_store.h"
#include "record/packet_catalogue.h"
#include "record/state_packets.h"
#include "record/state_recorder.h"

namespace pg {

CStrokeRecorder::CStrokeRecorder(CEventMngr& store, CStateRecorder& state, const IDocStateSource& doc)
    : store_(store), state_(state), doc_(doc) {}

bool CStrokeRecorder::isStrokeOpen() const { return store_.isStrokeOpen(); }

void CStrokeRecorder::reset() {
  buffered_ = 0;
  points_ = 0;
  chunks_ = 0;
}

bool CStrokeRecorder::recordStrokeBegin(float x, float y, float pressure) {
  if (!store_.isRecording()) return true;
  // A stroke still open here lost its end; its packets must not join this one.
  if (store_.isStrokeOpen()) store_.rollbackOpenEvent();
  reset();
  if (!state_.recordFullState()) return false;
  const SDocStateValues doc = doc_.documentState();
  const TStroke* stroke = store_.strokeSettings();
  uint8_t body[4];
  writeLE16(body, stroke != nullptr ? stroke->kind : 0);
  writeLE16(body + 2, uint16_t(doc.currentMask));
  const bool straight = stroke != nullptr && stroke->straightInput != 0;
  uint8_t type;
  if (doc.strokeMode < 2)
    type = straight ? kPktStrokeBeginSimpleRaw : kPktStrokeBeginSimple;
  else
    type = straight ? kPktStrokeBeginPenRaw : kPktStrokeBeginPen;
  if (!store_.writePacketOpen(type, 0, 0, nullptr, sizeof body, body)) return false;
  store_.setStateBits(kEvStrokeOpen, true);
  return recordStrokePoint(x, y, pressure);
}

bool CStrokeRecorder::recordStrokePoint(float x, float y, float pressure) {
  if (!store_.isRecording()) return true;
  if (!store_.isStrokeOpen()) {
    reset();
    return false;
  }
  if (buffered_ == kStrokeChunkPoints && !flush(false)) return false;
  uint8_t* slot = buffer_.data() + buffered_ * kStrokePointBytes;
  writeF32(slot, x);
  writeF32(slot + 4, y);
  writeF32(slot + 8, pressure);
  ++buffered_;
  ++points_;
  return true;
}

bool CStrokeRecorder::recordStrokeEnd() {
  if (!store_.isRecording()) return true;
  if (!store_.isStrokeOpen()) {
    reset();
    return false;
  }
  const bool ok = flush(true);
  store_.setStateBits(kEvStrokeOpen, false);
  reset();
  return ok;
}

bool CStrokeRecorder::flush(bool last) {
  const uint8_t type = last ? kPktStrokeLast : kPktStrokePoints;
  const uint32_t bytes = buffered_ * kStrokePointBytes;
  if (!store_.writePacketOpen(type, uint8_t(buffered_), 0, nullptr, bytes, buffer_.data())) {
    // The store dropped the whole stroke and closed it.
    reset();
    return false;
  }
  if (last && !store_.commit()) {
    store_.rollbackOpenEvent();
    reset();
    return false;
  }
  buffered_ = 0;
  ++chunks_;
  return true;
}

}  // namespace pg
