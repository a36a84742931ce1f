#pragma once
// Recording of a brush stroke: one event made of an open begin packet, open
// chunks of sixteen points and a final chunk that commits it, so that an
// undo of the stroke removes it whole.
//
//   begin (type 23 or 24 while the document's stroke mode is below 2, 48 or
//   49 in mode 2; the second of each pair when the stroke settings' straight
//   input switch is on), subcode 0, body u16 pen kind, u16 current mask
//   chunk (type 17, subcode n = 16) and last chunk (type 18, subcode n =
//   0..16): n points of f32 x, f32 y, f32 pressure
//
// The begin point is the stroke's first point, so a stroke of p points has
// floor((p - 1) / 16) full chunks and a last chunk with the rest. The full
// state set is recorded before the begin packet. When any packet of the
// stroke cannot be written, the store drops the whole open event; the
// stroke is then closed, its remaining points are not recorded and the end
// answers false, so that the document knows the stroke has no event.
#include <array>
#include <cstdint>

#include "record/record_sources.h"

namespace pg {

class CEventMngr;
class CStateRecorder;

class CStrokeRecorder {
 public:
  CStrokeRecorder(CEventMngr& store, CStateRecorder& state, const IDocStateSource& doc);
  CStrokeRecorder(const CStrokeRecorder&) = delete;
  CStrokeRecorder& operator=(const CStrokeRecorder&) = delete;

  [[nodiscard]] bool recordStrokeBegin(float x, float y, float pressure);
  // False when recording and no stroke is open (or the chunk write failed).
  [[nodiscard]] bool recordStrokePoint(float x, float y, float pressure);
  [[nodiscard]] bool recordStrokeEnd();

  [[nodiscard]] bool isStrokeOpen() const;
  // Points of the open stroke so far, the begin point included.
  uint32_t pointCount() const { return points_; }

 private:
   [[nodiscard]] bool flush(bool last);
   void reset();

   CEventMngr &store_;
   CStateRecorder &state_;
   const IDocStateSource &doc_;
   std::array<uint8_t, 16 * 12> buffer_{};
   uint32_t buffered_ = 0;
   uint32_t points_ = 0;
   uint32_t chunks_ = 0;
};

}  // namespace pg
