#include "brush/pen_shape_obj.h"

#include <algorithm>

namespace pg {

namespace {

uint32_t gNextPenShapeId = 1;

}  // namespace

uint32_t nextPenShapeId() {
  const uint32_t id = gNextPenShapeId++;
  if (gNextPenShapeId == 0) gNextPenShapeId = 1;  // 0 never names a nib
  return id;
}

void resetPenShapeIds() { gNextPenShapeId = 1; }

CPenShapeObj::CPenShapeObj() { reset(); }

CPenShapeObj::~CPenShapeObj() = default;

void CPenShapeObj::reset() {
  paramsSet_ = 1;
  kind_ = kParametric;
  params_.grade.init();
  params_.shape.init(10.0f);
  params_.edge.clear();
  scale_ = scaleMin_ = scaleMax_ = 100;
  image_.reset();
  longerSide_ = 0;
  imageRef_ = -1;
  renew();
}

void CPenShapeObj::setParams(const SGradeMapParam* grade, const SPenShapeParam* shape, const SEdgeParam* edge) {
  if (grade != nullptr) params_.grade = *grade;
  if (shape != nullptr) params_.shape = *shape;
  if (edge != nullptr) params_.edge = *edge;
  paramsSet_ = 1;
  renew();
}

void CPenShapeObj::setParametric(const SGradeMapParam* grade, const SPenShapeParam* shape, const SEdgeParam* edge) {
  kind_ = kParametric;
  image_.reset();
  longerSide_ = 0;
  scale_ = scaleMin_ = scaleMax_ = 100;
  setParams(grade, shape, edge);
}

bool CPenShapeObj::setImage(const TChannel& plane, bool resetShape) {
  if (!isPlaneReady(&plane) || plane.Width <= 0 || plane.Height <= 0) return false;
  std::unique_ptr<TChannel> copy = TChannel::CreateCopy(plane);
  if (!isPlaneReady(copy.get())) return false;
  const int32_t shorter = std::min(plane.Width, plane.Height);
  const int32_t longer = std::max(plane.Width, plane.Height);
  int32_t lo = std::max(400 / shorter, 1);
  const int32_t hi = std::max(std::min(51200 / longer, 500), 1);
  // A long thin image cannot keep both bounds: the size limit wins.
  if (lo > hi) lo = hi;
  image_ = std::move(copy);
  kind_ = kImageNib;
  longerSide_ = longer;
  scaleMin_ = lo;
  scaleMax_ = hi;
  scale_ = std::clamp(100, lo, hi);
  if (resetShape) {
    params_.shape.aspect = 1000;
    params_.shape.angle = 0;
    params_.shape.minSize = 1000;
  }
  params_.shape.size = scale_ * 100;
  paramsSet_ = 1;
  renew();
  return true;
}

bool CPenShapeObj::setScale(int32_t percent) {
  if (!isImageNib() || percent < scaleMin_ || percent > scaleMax_ || percent == scale_) return false;
  scale_ = percent;
  params_.shape.size = percent * 100;
  renew();
  return true;
}

bool CPenShapeObj::assign(const CPenShapeObj& other) {
  if (&other == this) return true;
  std::unique_ptr<TChannel> copy;
  if (other.isImageNib()) {
    copy = TChannel::CreateCopy(*other.image_);
    if (!isPlaneReady(copy.get())) return false;
  }
  paramsSet_ = other.paramsSet_;
  kind_ = other.isImageNib() ? kImageNib : kParametric;
  params_ = other.params_;
  image_ = std::move(copy);
  longerSide_ = other.isImageNib() ? other.longerSide_ : 0;
  scale_ = other.scale_;
  scaleMin_ = other.scaleMin_;
  scaleMax_ = other.scaleMax_;
  imageRef_ = other.imageRef_;
  renew();
  return true;
}

float CPenShapeObj::radius() const {
  if (isImageNib()) return static_cast<float>(longerSide_) * static_cast<float>(scale_) / 100.0f / 2.0f;
  return params_.shape.getSize();
}

}  // namespace pg
