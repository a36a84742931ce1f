// The stroke session: one place that routes a stroke's begin, points and end
// to the family chosen at its begin.
#include "document/paper_stroke_session.h"

#include "brush/stroke_mngr.h"
#include "document/paper.h"

namespace pg {

bool CStrokeSession::begin(TPaper& doc, TFlowImage& flow, TStroke& stroke, bool record, int32_t level, float x,
                           float y, float pressure, bool fromFlow) {
  // The older-format mode keeps its own walker: no level is chosen there.
  engine_ = false;
  if (doc.isStandardMode()) {
    engine_ = level == 2 && doc.penEngine() != nullptr && doc.selectPenEngine(2);
    if (!engine_) (void)doc.selectPenEngine(1);  // level 1 is always there
  }
  if (engine_) return doc.beginEngineStroke(flow, stroke, record, x, y, pressure);
  return fromFlow ? doc.beginStroke(flow, stroke, record, x, y, pressure)
                  : doc.beginStrokeEx(flow, stroke, record, x, y, pressure);
}

bool CStrokeSession::point(TPaper& doc, TFlowImage& flow, TStroke& stroke, bool record, bool paintWindow, float x,
                           float y, float pressure) {
  if (engine_ && doc.penEngine() != nullptr)
    return doc.continueEngineStroke(flow, stroke, record, paintWindow, x, y, pressure);
  return doc.continueStroke(flow, stroke, record, paintWindow, x, y, pressure);
}

bool CStrokeSession::end(TPaper& doc, TFlowImage& flow, TStroke& stroke, bool record, SRectXYWH& rect) {
  if (engine_ && doc.penEngine() != nullptr) return doc.endEngineStroke(flow, stroke, record, rect, true);
  return doc.endStroke(flow, stroke, record, rect, true);
}

SStrokePoint CStrokeSession::lastPoint(const TPaper& doc, const TStroke& stroke) const {
  if (engine_ && doc.penEngine() != nullptr) return doc.penEngine()->getFirstPoint();
  return stroke.getLastPoint();
}

}  // namespace pg
