#pragma once
// One freehand stroke from its first point to its end. The session decides
// once, at the stroke's begin, which family paints it (the document's
// per-kind dab walker or its pen-method engine) and keeps to that choice for
// every point and the end, whatever happens to the document's stroke mode in
// between. The document window and replay both paint through a session.
#include <cstdint>

#include "brush/stroke_settings.h"
#include "core/rect.h"

namespace pg {

class TFlowImage;
class TPaper;

class CStrokeSession {
 public:
  // The family a stroke is asked to paint with: 1 the dab walker, 2 the
  // pen-method engine. The engine paints only when the document has one;
  // otherwise the walker does. fromFlow: the stroke settings start from the
  // flow plane (the ordinary start); false for the start of the legacy pen
  // packets. False when the stroke could not begin (no layer, no memory).
  [[nodiscard]] bool begin(TPaper& doc, TFlowImage& flow, TStroke& stroke, bool record, int32_t level, float x,
                           float y, float pressure, bool fromFlow = true);
  [[nodiscard]] bool point(TPaper& doc, TFlowImage& flow, TStroke& stroke, bool record, bool paintWindow, float x,
                           float y, float pressure);
  // The whole stroke's rectangle (document coordinates) into rect.
  [[nodiscard]] bool end(TPaper& doc, TFlowImage& flow, TStroke& stroke, bool record, SRectXYWH& rect);
  // Whether the open (or last) stroke paints through the pen-method engine.
  bool engine() const { return engine_; }
  // The point the next input point's distance is measured from.
  [[nodiscard]] SStrokePoint lastPoint(const TPaper& doc, const TStroke& stroke) const;

 private:
  bool engine_ = false;
};

}  // namespace pg
