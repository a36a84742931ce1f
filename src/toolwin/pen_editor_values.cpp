#include "toolwin/pen_editor_values.h"

#include <algorithm>
#include <cmath>

#include "brush/paint_param.h"
#include "brush/paint_param_kinds.h"

namespace pg {

namespace {

void initModel(TNumMngr& m, float lo, float hi, float value, float step = 1.0f) {
  m.setValueMax(hi);
  m.setValueMin(lo);
  m.setValueDefault(value);
  m.setValue(value);
  m.Amount = step;
  m.AmountLow = step;
  m.AmountHigh = step;
}

}  // namespace

// ---- pen method -------------------------------------------------------------------

CPenMtdEditorValues::CPenMtdEditorValues() {
  initModel(NumDensity, 1.0f, 100.0f, 100.0f);
  initModel(NumSpace, 1.0f, 200.0f, 10.0f);
  for (TNumMngr& m : NumEffect) initModel(m, 0.0f, 100.0f, 50.0f);
  initModel(NumGamma, 0.05f, 6.0f, 1.0f, 0.1f);
  NumGamma.AmountLow = 0.01f;
  NumGamma.AmountHigh = 0.05f;
  NumGamma.UseCenter = true;
  NumGamma.setValueCenter(1.0f);
}

bool CPenMtdEditorValues::setKindIndex(int32_t index) {
  if (index < 0 || index >= kPenMtdKindCount) return false;
  kindIndex_ = index;
  return true;
}

bool CPenMtdEditorValues::load(const TPaintParam* p) {
  if (p == nullptr) return false;
  // A kind outside the pen-method kinds shows as the first one.
  if (!setKindIndex(int32_t(p->kind) - kFirstPenMtdKind)) kindIndex_ = 0;
  name = p->name;
  NumDensity.setValue(p->opacity * 100.0f);
  NumSpace.setValue(p->spacing * 100.0f);
  NumEffect[0].setValue(p->effect);
  NumEffect[1].setValue(p->env);
  NumEffect[2].setValue(p->speed);
  NumGamma.setValue(p->gamma);
  pressureDensity = p->pressureOpacity != 0;
  pressureRadius = p->pressureSize != 0;
  ownIcon_.reset();
  // An icon that cannot be copied fails the load: storing the values back
  // would otherwise drop the brush's icon.
  if (p->hasIcon != 0 && p->icon != nullptr && !setOwnIcon(*p->icon)) return false;
  return true;
}

void CPenMtdEditorValues::store(TPaintParam& p) const {
  const uint8_t k = kind();
  if (p.kind != k) {
    p.kind = k;
    p.family = paintKindFamily(k);
    p.paramMask = paintKindParamMask(k);
    p.falloffMode = paintKindFalloffMode(k);
  }
  p.setName(name);
  p.setOpacity(NumDensity.value() / 100.0f);
  p.setSpacing(NumSpace.value() / 100.0f);
  const uint32_t mask = paintKindParamMask(k);
  if ((mask & (1u << ppEffect)) != 0) p.setEffect(NumEffect[0].value());
  if ((mask & (1u << ppEnv)) != 0) p.setEnv(NumEffect[1].value());
  if ((mask & (1u << ppSpeed)) != 0) p.setSpeed(NumEffect[2].value());
  p.setGamma(NumGamma.value());
  p.setPressureOpacity(pressureDensity);
  p.setPressureSize(pressureRadius);
  p.setIcon(ownIcon_.get());
}

bool CPenMtdEditorValues::effectEnabled(int32_t i) const {
  if (i < 0 || i > 2) return false;
  return (paintKindParamMask(kind()) & (1u << (ppEffect + uint32_t(i)))) != 0;
}

std::string CPenMtdEditorValues::effectCaption(int32_t i) const {
  if (i < 0 || i > 2) return {};
  return pg::effectCaption(kind(), uint32_t(i)) + "(&" + char('1' + i) + ")";
}

const TMTC* CPenMtdEditorValues::shownIcon() const {
  return ownIcon_ ? ownIcon_.get() : defaultPaintIcon(kind());
}

bool CPenMtdEditorValues::setOwnIcon(const TMTC& icon) {
  std::unique_ptr<TMTC> copy = TMTC::CreateCopy(icon);
  if (!copy || !copy->IsAllocated()) return false;
  ownIcon_ = std::move(copy);
  return true;
}

// ---- nib ----------------------------------------------------------------------------

CPenNibEditorValues::CPenNibEditorValues() {
  initModel(NumRadius, 0.1f, 200.0f, 1.0f);
  NumRadius.AmountLow = 0.1f;
  initModel(NumScale, 4.0f, 500.0f, 100.0f);
  initModel(NumMinRad, 1.0f, 100.0f, 50.0f);
  initModel(NumAspect, 0.0f, 99.0f, 0.0f);
  initModel(NumDegree, -360.0f, 360.0f, 0.0f);
  NumDegree.setWrapMax(180.0f);
  NumDegree.setWrapMin(-180.0f);
  NumDegree.setWrapAround(true);
  initModel(NumFlat, 0.0f, 100.0f, 0.0f);
  initModel(NumAdd, 0.0f, 100.0f, 0.0f);
}

void nibScalePercentRange(float lo, float hi, float& minPercent, float& maxPercent) {
  minPercent = std::clamp(std::ceil(lo * 100.0f), 1.0f, 500.0f);
  maxPercent = std::clamp(std::floor(hi * 100.0f), 1.0f, 500.0f);
  // Rounding each end inwards can cross them for a long thin image: the
  // nib then keeps the one scale the upper bound allows.
  if (minPercent > maxPercent) minPercent = maxPercent;
}

void CPenNibEditorValues::loadImage(const TPaintParam& p) {
  image_.reset();
  if (p.hasNib == 0 || p.nibWidth < 1 || p.nibHeight < 1) return;
  const size_t w = size_t(p.nibWidth), h = size_t(p.nibHeight);
  if (p.nibBytes.size() / w < h) return;  // fewer bytes than the size claims
  auto plane = std::make_unique<TChannel>(p.nibWidth, p.nibHeight);
  if (!plane->IsAllocated()) return;
  for (int32_t y = 0; y < p.nibHeight; ++y) {
    const uint8_t* src = p.nibBytes.data() + size_t(y) * w;
    uint8_t* dst = plane->rowAddress(y);
    for (size_t x = 0; x < w; ++x) dst[x] = uint8_t(255 - src[x]);
  }
  image_ = std::move(plane);
}

bool CPenNibEditorValues::load(const TPaintParam* p) {
  if (p == nullptr) return false;
  loadImage(*p);
  if (hasImage()) {
    float lo = 0.0f, hi = 0.0f;
    nibScalePercentRange(p->minNibScale(), p->maxNibScale(), lo, hi);
    (void)NumScale.setRange(p->nibScale * 100.0f, lo, hi);  // nibScalePercentRange gives lo <= hi
    NumRadius.setValue(1.0f);
  } else {
    NumRadius.setValue(p->getSize());
  }
  NumMinRad.setValue(p->minSize * 100.0f);
  NumAspect.setValue(100.0f - p->aspect * 100.0f);
  NumDegree.setValue(p->angle);
  NumFlat.setValue(p->falloffValue1 * 100.0f);
  NumAdd.setValue(p->falloffValue2 * 100.0f);
  falloffType = p->falloffType;
  antiAlias = p->hardEdge == 0;
  return true;
}

void CPenNibEditorValues::store(TPaintParam& p) const {
  if (hasImage()) {
    p.setNibImage(image_.get());
    p.setSize(1.0f);
    p.setNibScale(NumScale.value() / 100.0f);
  } else {
    p.setNibImage(nullptr);
    p.setSize(NumRadius.value());
    p.setNibScale(1.0f);
  }
  p.setMinSize(NumMinRad.value() / 100.0f);
  p.setAspect((100.0f - NumAspect.value()) / 100.0f);
  p.setAngle(NumDegree.value());
  p.setFalloff(falloffType);
  p.setFalloffValue1(NumFlat.value() / 100.0f);
  p.setFalloffValue2(NumAdd.value() / 100.0f);
  p.setHardEdge(!antiAlias);
}

int32_t falloffButtonOf(uint8_t type) {
  for (int32_t i = 0; i < 6; ++i)
    if (kFalloffButtonTypes[i] == type) return i;
  return -1;
}

}  // namespace pg
