#pragma once
// The document's freehand strokes: what a stroke records, and the table of
// stroke kinds the dab-table walker steps by. The stroke calls themselves
// are members of TPaper (paper.h).
#include <cstdint>

#include "brush/dab_walker.h"

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

// The walker's table of stroke kinds (strokeKindRow) lives with the dab
// routines in brush/dab_walker.h.

}  // namespace pg
