#include "toolwin/value_labels.h"

#include <algorithm>
#include <cmath>

#include "toolwin/nib_radius_mapping.h"

namespace pg {

SValueLabelBinding nibRadiusBinding(TNumMngr& model) {
  SValueLabelBinding b;
  b.model = &model;
  b.inFilter = nibRadiusInFilter;
  b.outFilter = nibRadiusOutFilter;
  return b;
}

float CValueLabels::beginDrag(const SValueLabelBinding& b) const {
  active_ = dragEnabled && b.model != nullptr;
  if (!active_) return 0.0f;
  if (b.onBegin) b.onBegin();
  double r = b.model->getRatio();
  if (b.inFilter) r = b.inFilter(r);
  return static_cast<float>(r);
}

void CValueLabels::drag(const SValueLabelBinding& b, float position) const {
  if (!active_ || b.model == nullptr || !std::isfinite(position)) return;
  double r = std::clamp(static_cast<double>(position), 0.0, 1.0);
  if (b.outFilter) r = b.outFilter(r);
  b.model->setRatio(static_cast<float>(r));
}

void CValueLabels::endDrag(const SValueLabelBinding& b) const {
  if (!active_) return;
  active_ = false;
  if (b.onEnd) b.onEnd();
}

void CValueLabels::doubleClick(const SValueLabelBinding& b) const {
  if (resetEnabled && b.model != nullptr) b.model->resetToDefault();
}

}  // namespace pg
