// The shared pen-method tools and the hand-over of the working brush.
#include "canvas/pen_tools.h"

#include <algorithm>

#include "brush/paint_param.h"
#include "brush/pen_render.h"
#include "brush/pen_shape_obj.h"
#include "brush/stroke_mngr.h"
#include "brush/stroke_settings.h"

namespace pg {

CPenTools::CPenTools(CPenRender& render) : render_(render), shape_(std::make_unique<CPenShapeObj>()) {
  strokeParam_.init();
}

CPenTools::~CPenTools() {
  // The renderer must not keep pointing at the nib that goes now.
  if (render_.hasNib()) render_.setNib(nullptr, false, false, false);
}

bool sameNib(const CPenShapeObj& a, const CPenShapeObj& b) {
  if (a.kind() != b.kind() || !(a.params() == b.params()) || a.isImageNib() != b.isImageNib()) return false;
  if (!a.isImageNib()) return true;
  if (a.scale() != b.scale() || a.scaleMin() != b.scaleMin() || a.scaleMax() != b.scaleMax()) return false;
  const TChannel& x = *a.image();
  const TChannel& y = *b.image();
  if (x.Width != y.Width || x.Height != y.Height) return false;
  for (int32_t row = 0; row < x.Height; ++row) {
    const uint8_t* p = x.rowAddress(row);
    const uint8_t* q = y.rowAddress(row);
    if (!std::equal(p, p + x.Width, q)) return false;
  }
  return true;
}

void CPenTools::applyStrokeParams(const TPaintParam& param, TStroke& stroke, CStrokeMngr* engine) {
  (void)param.storeToStroke(&stroke);  // a kind without stroke settings leaves them as they are
  SStrokeParam strokeRecord;
  SPenShapeParam shapeRecord;
  SEdgeParam edgeRecord;
  SGradeMapParam gradeRecord;
  SPenRenderParam renderRecord = render_.getRenderParam();
  (void)param.toStrokeParam(strokeRecord);  // always succeeds
  param.toPenShapeParam(shapeRecord);
  param.toEdgeParam(edgeRecord);
  param.toGradeMapParam(gradeRecord);  // a flat falloff still gets its stand-in map
  const bool penMethod = param.toPenRenderParam(renderRecord);
  // The nib object changes (and takes a new id) only when the brush's nib does.
  auto nib = std::make_unique<CPenShapeObj>();
  if (param.storeToPenShape(nib.get()) && !sameNib(*nib, *shape_)) {
    render_.setNib(nullptr, false, false, false);
    shape_ = std::move(nib);
  }
  strokeParam_ = strokeRecord;
  if (engine != nullptr) engine->setParam(strokeRecord);
  render_.setEdgeParam(edgeRecord);
  render_.setShapeParam(shapeRecord);
  if (penMethod) (void)render_.setRenderParam(renderRecord, kRenderValuesAll);  // answers only whether anything changed
  render_.setGradeMapParam(gradeRecord);
  render_.setNib(shape_.get(), false, false, false);
}

bool CPenTools::penState(SPenStateValues& out) const {
  out.falloff = render_.getGradeMapParam();
  render_.getColorPair(out.colorPair[0], out.colorPair[1]);
  out.shape = render_.getShapeParam();
  out.edge = render_.getEdgeParam();
  out.render = render_.getRenderParam();
  out.stroke = strokeParam_;
  out.nib = render_.hasNib() ? shape_.get() : nullptr;
  return true;
}

}  // namespace pg
