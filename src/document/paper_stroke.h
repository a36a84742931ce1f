#pragma once
// The document's freehand strokes: what a stroke records, and the table of
// stroke kinds the dab-table walker steps by. The stroke calls themselves
// are members of TPaper (paper.h).
#include <cstdint>

namespace pg {


// What a stroke writes to the recording: an open begin, the points in
// order, and the end that commits them as one event. A false answer means
// the stroke's event could not be written.
class IStrokeEvents {
 public:
  virtual ~IStrokeEvents() = default;
  [[nodiscard]] virtual bool recordStrokeBegin(float x, float y, float pressure) = 0;
  [[nodiscard]] virtual bool recordStrokePoint(float x, float y, float pressure) = 0;
  [[nodiscard]] virtual bool recordStrokeEnd() = 0;
};

// The document's recorder writes strokes when it implements this interface
// or the event store's recording calls; any other recorder records none.

// One row of the dab-table walker's table.
struct SStrokeKindRow {
  float minSizeRatio;     // fixed smallest-dab ratio with pressure size, or -1
  int32_t singleStepBelow;  // dab sizes below this paint at every step
  int32_t halfStepBelow;    // dab sizes below this take half steps
  bool usesWorkChannel;     // dabs paint coverage into the flow's working channel
};

// The row of a kind 0..8; nullptr for any other value.
[[nodiscard]] const SStrokeKindRow* strokeKindRow(uint32_t kind);

}  // namespace pg
