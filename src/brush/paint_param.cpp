#include "brush/paint_param.h"

#include <cmath>
#include <new>

#include "brush/pen_shape_obj.h"
#include "brush/stroke_settings.h"
#include "core/limits.h"
#include "core/lookup_mask.h"

namespace pg {

namespace {

// A stored airbrush-map code keeps seven bits: the 255 of a falloff without a
// preset curve is stored as 127.
constexpr int kStoredCurveCodeMask = 127;

// The eighteen default records differ only in falloff type.
constexpr uint8_t kDefaultFalloff[kPaintKindCount] = {7, 7, 7, 0, 0, 7, 5, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0};

struct SDefaultTable {
  TPaintParamR rec[kPaintKindCount];
  SDefaultTable() {
    for (uint32_t k = 0; k < kPaintKindCount; ++k) rec[k].falloffType = kDefaultFalloff[k];
  }
};

const SDefaultTable& defaultTable() {
  static const SDefaultTable table;
  return table;
}

template <typename T>
void storeIfDifferent(T& field, T v) {
  if (field != v) field = v;
}

uint8_t flag(bool on) { return on ? 1 : 0; }

// trunc(v + 0.5), saturating: the converters' rounding.
int32_t roundHalfUp(float v) { return saturateToInt32(std::trunc(static_cast<double>(v) + 0.5)); }

// A 16-bit effect value of a render record.
float effectValueOf(int32_t v) { return static_cast<float>(static_cast<int16_t>(v & 0xFFFF)); }

}  // namespace

const TPaintParamR& paintParamDefaults(uint32_t kind) {
  kind &= 127;
  return defaultTable().rec[kind < kPaintKindCount ? kind : 9];
}

// ---- construction ------------------------------------------------------------

TPaintParam::TPaintParam(uint8_t k) {
  penShapeId = -1;
  resetToKind(k);
}

TPaintParam::~TPaintParam() = default;

std::unique_ptr<TPaintParam> TPaintParam::CreateCopy(const TPaintParam* source, bool& ok) {
  ok = source != nullptr;
  if (source == nullptr) return nullptr;
  auto p = std::make_unique<TPaintParam>(source->kind);
  (void)p->assign(source);  // refused only for a null source, ruled out above
  return p;
}

std::unique_ptr<TPaintParam> TPaintParam::CreateFromPreset(const SPenSetting& record, uint8_t k, bool& ok) {
  auto p = std::make_unique<TPaintParam>(k);
  ok = p->loadPreset(record);
  return p;
}

bool TPaintParam::kindOfPenMethod(uint8_t& k, const IPenMethod* method) {
  if (method == nullptr) return false;
  return paintKindOfPenRecord(k, method->getParams().render);
}

std::unique_ptr<TPaintParam> TPaintParam::CreateFromPenMethod(const IPenMethod* method, bool& ok) {
  uint8_t k = 0;
  ok = kindOfPenMethod(k, method);
  if (!ok) return nullptr;
  auto p = std::make_unique<TPaintParam>(k);
  ok = p->loadFromPenMethod(method);
  return p;
}

void TPaintParam::resetToKind(uint8_t k) {
  kind = k;
  family = paintKindFamily(k);
  paramMask = paintKindParamMask(k);
  falloffMode = paintKindFalloffMode(k);
  setIcon(nullptr);
  setNibImage(nullptr);
  const TPaintParamR& d = paintParamDefaults(k);
  name.clear();
  hasIcon = d.hasIcon;
  opacity = d.opacity;
  spacing = d.spacing;
  effect = d.effect;
  env = d.env;
  speed = d.speed;
  gamma = d.gamma;
  pressureOpacity = d.pressureOpacity;
  pressureSize = d.pressureSize;
  useGradation = d.useGradation;
  useTone = d.useTone;
  size = d.size;
  minSize = d.minSize;
  stepLimit1 = d.stepLimit1;
  stepLimit2 = d.stepLimit2;
  aspect = d.aspect;
  angle = d.angle;
  falloffType = (k & kByteLookupMask) < kPaintKindCount ? d.falloffType : 0;
  falloffValue1 = d.falloffValue1;
  falloffValue2 = d.falloffValue2;
  hasNib = d.hasNib;
  nibWidth = d.nibWidth;
  nibHeight = d.nibHeight;
  nibScale = d.nibScale;
  pressureEdge = d.pressureEdge;
  hardEdge = d.hardEdge;
  name = paintKindName(k);
}

bool TPaintParam::assign(const TPaintParam* source) {
  if (source == nullptr) return false;
  if (source == this) return true;
  const TPaintParam& s = *source;
  resetToKind(s.kind);
  name = s.name;
  opacity = s.opacity;
  spacing = s.spacing;
  effect = s.effect;
  env = s.env;
  speed = s.speed;
  gamma = s.gamma;
  pressureOpacity = s.pressureOpacity;
  pressureSize = s.pressureSize;
  useGradation = s.useGradation;
  useTone = s.useTone;
  size = s.size;
  minSize = s.minSize;
  stepLimit1 = s.stepLimit1;
  stepLimit2 = s.stepLimit2;
  aspect = s.aspect;
  angle = s.angle;
  falloffType = s.falloffType;
  falloffValue1 = s.falloffValue1;
  falloffValue2 = s.falloffValue2;
  pressureEdge = s.pressureEdge;
  hardEdge = s.hardEdge;
  setIcon(s.hasIcon != 0 ? s.icon.get() : nullptr);
  if (s.hasNib != 0 && copyNibFrom(s)) {
    nibScale = s.nibScale;
  } else {
    clearNib();
    nibScale = 1.0f;
  }
  penShapeId = s.penShapeId;
  return true;
}

// ---- setters -------------------------------------------------------------------

void TPaintParam::setName(std::string_view v) {
  if (name != v) name.assign(v);
}
void TPaintParam::setOpacity(float v) { storeIfDifferent(opacity, v); }
void TPaintParam::setSpacing(float v) { storeIfDifferent(spacing, v); }
void TPaintParam::setEffect(float v) { storeIfDifferent(effect, v); }
void TPaintParam::setEnv(float v) { storeIfDifferent(env, v); }
void TPaintParam::setSpeed(float v) { storeIfDifferent(speed, v); }
void TPaintParam::setGamma(float v) { storeIfDifferent(gamma, v); }
void TPaintParam::setPressureOpacity(bool on) { storeIfDifferent(pressureOpacity, flag(on)); }
void TPaintParam::setPressureSize(bool on) { storeIfDifferent(pressureSize, flag(on)); }
void TPaintParam::setUseGradation(bool on) { storeIfDifferent(useGradation, flag(on)); }
void TPaintParam::setUseTone(bool on) { storeIfDifferent(useTone, flag(on)); }
void TPaintParam::setSize(float v) { storeIfDifferent(size, v); }
void TPaintParam::setMinSize(float v) { storeIfDifferent(minSize, v); }
void TPaintParam::setAspect(float v) { storeIfDifferent(aspect, v); }
void TPaintParam::setAngle(float v) { storeIfDifferent(angle, v); }
void TPaintParam::setFalloff(uint8_t type) { storeIfDifferent(falloffType, type); }
void TPaintParam::setFalloffValue1(float v) { storeIfDifferent(falloffValue1, v); }
void TPaintParam::setFalloffValue2(float v) { storeIfDifferent(falloffValue2, v); }
void TPaintParam::setNibScale(float v) { storeIfDifferent(nibScale, v); }
void TPaintParam::setPressureEdge(bool on) { storeIfDifferent(pressureEdge, flag(on)); }
void TPaintParam::setHardEdge(bool on) { storeIfDifferent(hardEdge, flag(on)); }

void TPaintParam::setIcon(const TMTC* image) {
  icon.reset();
  hasIcon = 0;
  if (image == nullptr) return;
  icon = TMTC::CreateCopy(*image);
  if (!isPlaneReady(icon.get())) icon.reset();
  hasIcon = flag(icon != nullptr);
}

void TPaintParam::clearNib() {
  std::vector<uint8_t>().swap(nibBytes);
  nibWidth = 0;
  nibHeight = 0;
  hasNib = 0;
}

void TPaintParam::setNibImage(const TChannel* plane) {
  clearNib();
  if (!isPlaneReady(plane) || plane->Width <= 0 || plane->Height <= 0) return;
  const int32_t w = plane->Width;
  const int32_t h = plane->Height;
  try {
    nibBytes.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  } catch (const std::bad_alloc&) {
    clearNib();
    return;
  }
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* src = plane->rowAddress(y);
    uint8_t* dst = nibBytes.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    for (int32_t x = 0; x < w; ++x) dst[x] = static_cast<uint8_t>(255 - src[x]);
  }
  nibWidth = w;
  nibHeight = h;
  hasNib = 1;
}

bool TPaintParam::copyNibFrom(const TPaintParam& s) {
  clearNib();
  const int64_t bytes = static_cast<int64_t>(s.nibWidth) * s.nibHeight;
  if (s.nibWidth <= 0 || s.nibHeight <= 0 || static_cast<int64_t>(s.nibBytes.size()) < bytes) return false;
  try {
    nibBytes.assign(s.nibBytes.begin(), s.nibBytes.begin() + bytes);
  } catch (const std::bad_alloc&) {
    clearNib();
    return false;
  }
  nibWidth = s.nibWidth;
  nibHeight = s.nibHeight;
  hasNib = 1;
  return true;
}

// ---- derived values -------------------------------------------------------------

const TMTC* TPaintParam::getIcon() const {
  if (hasIcon != 0 && icon != nullptr) return icon.get();
  return defaultPaintIcon(kind);
}

float TPaintParam::getSize() const { return hasNib != 0 ? 0.0f : size; }

float TPaintParam::minNibScale() const {
  float lo = 0.01f, hi = 5.0f;
  if (hasNib != 0) nibScaleRange(lo, hi, nibWidth, nibHeight);
  return lo;
}

float TPaintParam::maxNibScale() const {
  float lo = 0.01f, hi = 5.0f;
  if (hasNib != 0) nibScaleRange(lo, hi, nibWidth, nibHeight);
  return hi;
}

float TPaintParam::minSizeLimit() const {
  if (hasNib == 0) return 0.1f;
  const int32_t longer = nibWidth > nibHeight ? nibWidth : nibHeight;
  return static_cast<float>(longer) * minNibScale() * 0.5f;
}

float TPaintParam::maxSizeLimit() const {
  if (hasNib == 0) return 200.0f;
  const int32_t longer = nibWidth > nibHeight ? nibWidth : nibHeight;
  return static_cast<float>(longer) * maxNibScale() * 0.5f;
}

// ---- converters: stroke settings --------------------------------------------------

bool TPaintParam::loadFromStroke(const TStroke* stroke) {
  if (stroke == nullptr) return false;
  uint8_t k = 0;
  if (!paintKindOfStrokeKind(k, stroke->kind)) return false;
  resetToKind(k);
  opacity = stroke->getOpacity();
  effect = stroke->EFFECT;
  env = stroke->ENV;
  gamma = stroke->GAMMA;
  pressureEdge = stroke->ifEDGE;
  pressureSize = stroke->ifSIZE;
  pressureOpacity = stroke->ifTRANSPARENCY;
  size = stroke->WIDTH;
  minSize = stroke->MIN / 100.0f;
  spacing = stroke->getSpacing();
  speed = stroke->SPEED;
  return true;
}

bool TPaintParam::storeToStroke(TStroke* stroke) const {
  if (stroke == nullptr) return false;
  const uint8_t strokeKind = paintKindStrokeKind(kind);
  if (strokeKind == kNoKind) return false;
  stroke->setKind(strokeKind);
  stroke->setOpacity(opacity);
  stroke->setEffect(effect);
  stroke->setEnv(env);
  stroke->setGamma(gamma);
  stroke->setPressureEdge(pressureEdge != 0);
  stroke->setPressureSize(pressureSize != 0);
  stroke->setPressureOpacity(pressureOpacity != 0);
  stroke->setMinSize(minSize * 100.0f);
  stroke->setSpacing(spacing);
  stroke->setSpeed(speed);
  stroke->setWidth(size);
  if (paintKindOffers(kind, ppFalloffType)) {
    // The flat off state has no curve of its own: the stroke gets one it can build.
    stroke->falloffCurveType = strokeCurveOfFalloff(falloffType);
  } else if (paintKindOffers(kind, ppPressureEdge)) {
    stroke->setPressureEdge(pressureEdge != 0);
  }
  if (stroke->canUseGradation()) stroke->setUseGradation(useGradation != 0, false);
  if (stroke->canUseTone()) stroke->setUseTone(useTone != 0, false);
  return true;
}

bool TPaintParam::loadPreset(const SPenSetting& r) {
  resetToKind(kind);
  opacity = r.opaque;
  spacing = r.penSpacing;
  effect = r.EFFECT;
  env = r.ENV;
  speed = r.SPEED;
  gamma = r.GAMMA;
  size = r.WIDTH;
  pressureOpacity = r.ifTRANSPARENCY;
  pressureSize = r.ifSIZE;
  useGradation = r.useGradation;
  useTone = r.useTone;
  minSize = r.MIN / 100.0f;
  if (paintKindOffers(kind, ppFalloffType)) {
    falloffType = presetCurveToFalloff(r.airMap);
  } else if (paintKindOffers(kind, ppPressureEdge)) {
    pressureEdge = r.ifEDGE;
  }
  return true;
}

bool TPaintParam::storePreset(SPenSetting& r) const {
  r.opaque = opacity;
  r.penSpacing = spacing;
  r.EFFECT = effect;
  r.ENV = env;
  r.SPEED = speed;
  r.GAMMA = gamma;
  r.WIDTH = size;
  r.ifTRANSPARENCY = pressureOpacity;
  r.ifSIZE = pressureSize;
  r.useGradation = useGradation;
  r.useTone = useTone;
  r.MIN = minSize * 100.0f;
  if (paintKindOffers(kind, ppFalloffType)) {
    r.airMap = falloffToPresetCurve(falloffType) & kStoredCurveCodeMask;
  } else if (paintKindOffers(kind, ppPressureEdge)) {
    r.ifEDGE = pressureEdge;
  }
  return true;
}

// ---- converters: pen-method records --------------------------------------------------

bool TPaintParam::toStrokeParam(SStrokeParam& p) const {
  p.init();
  p.pressureOpacity = pressureOpacity;
  p.pressureSize = pressureSize;
  p.setOpacity(opacity);
  p.setSpacing(spacing);
  p.setGamma(gamma);
  p.dabEveryStep = roundHalfUp(stepLimit1);
  p.splitStep = roundHalfUp(stepLimit2);
  return true;
}

bool TPaintParam::toPenRenderParam(SPenRenderParam& render) const {
  SPenRenderParam r;
  if (!penRenderParamOfKind(r, kind)) return false;
  r.effect = roundHalfUp(effect);
  r.env = roundHalfUp(env);
  r.speed = roundHalfUp(speed);
  render = r;
  return true;
}

bool TPaintParam::toPenShapeParam(SPenShapeParam& shape) const {
  shape.init(10.0f);
  // An image nib carries its scale in per cent in the size field.
  shape.setSize(hasNib != 0 ? nibScale * 100.0f : size);
  shape.setMinSize(minSize);
  shape.setAspect(aspect);
  shape.setAngle(angle);
  return true;
}

bool TPaintParam::toGradeMapParam(SGradeMapParam& grade) const {
  grade.init();
  grade.setValue1(falloffValue1);
  grade.setValue2(falloffValue2);
  // Types past the table are flat, like the off state 7.
  const uint32_t type = falloffType < 8 ? falloffType : 7;
  if (type != 2 && type != 7) {
    grade.type = falloffToGradeMapType(type);
    return true;
  }
  switch (falloffMode) {
    case 1:
      if (type == 7) {
        grade.type = falloffToGradeMapType(7);
      } else {
        grade.type = 3;
        grade.setValue1(0.9f);
      }
      break;
    case 0:
      if (pressureEdge == 0) {
        grade.type = 3;
        grade.setValue1(0.9f);
      } else {
        grade.type = 0;
      }
      break;
    default:
      grade.type = 3;
      break;
  }
  return false;
}

bool TPaintParam::toEdgeParam(SEdgeParam& edge) const {
  edge.clear();
  edge.setHard(hardEdge != 0);
  return true;
}

bool TPaintParam::storeToPenShape(CPenShapeObj* shape) const {
  if (shape == nullptr) return false;
  shape->reset();
  SPenShapeParam sp;
  SEdgeParam ep;
  SGradeMapParam gp;
  toPenShapeParam(sp);
  toEdgeParam(ep);
  toGradeMapParam(gp);
  // A flat falloff answers false above, but the grade map it gets is the one
  // that stands in for it: the nib takes it like any other.
  shape->setParametric(&gp, &sp, &ep);
  bool ok = true;
  if (hasNib != 0) {
    TChannel channel(nibWidth, nibHeight);
    const int64_t bytes = static_cast<int64_t>(nibWidth) * nibHeight;
    if (!isPlaneReady(&channel) || static_cast<int64_t>(nibBytes.size()) < bytes) {
      ok = false;
    } else {
      for (int32_t y = 0; y < nibHeight; ++y) {
        const uint8_t* src = nibBytes.data() + static_cast<size_t>(y) * static_cast<size_t>(nibWidth);
        uint8_t* dst = channel.rowAddress(y);
        for (int32_t x = 0; x < nibWidth; ++x) dst[x] = static_cast<uint8_t>(255 - src[x]);
      }
      ok = shape->setImage(channel, false);
      if (ok) shape->setScale(roundHalfUp(nibScale * 100.0f));
    }
  }
  shape->setShapeImage(penShapeId);
  return ok;
}

bool TPaintParam::storeToPenMethod(IPenMethod* method) const {
  if (method == nullptr) return false;
  SPenMethodParams params;
  // The records first: they change nothing when the kind has no pen method.
  if (!toPenRenderParam(params.render) || !toStrokeParam(params.stroke)) return false;
  if (!storeToPenShape(method->penShape())) return false;
  params.useGradation = useGradation;
  params.useTone = useTone;
  method->setParams(params);
  method->setIcon(hasIcon != 0 ? icon.get() : nullptr);
  method->setName(name);
  return true;
}

void TPaintParam::loadPenRecords(const SStrokeParam& stroke, const SPenRenderParam& render) {
  pressureSize = stroke.pressureSize;
  pressureOpacity = stroke.pressureOpacity;
  stepLimit1 = static_cast<float>(stroke.dabEveryStep);
  stepLimit2 = static_cast<float>(stroke.splitStep);
  opacity = stroke.getOpacity();
  spacing = stroke.getSpacing();
  gamma = stroke.getGamma();
  effect = effectValueOf(render.effect);
  env = effectValueOf(render.env);
  speed = effectValueOf(render.speed);
}

bool TPaintParam::loadFromPenMethod(const IPenMethod* method) {
  uint8_t k = 0;
  if (!kindOfPenMethod(k, method)) return false;
  const SPenMethodParams params = method->getParams();
  resetToKind(k);
  name = method->name();
  useGradation = params.useGradation;
  useTone = params.useTone;
  loadPenRecords(params.stroke, params.render);
  setIcon(method->icon());
  // A method without a nib keeps the nib fields of its kind.
  (void)loadNib(method->penShape());
  return true;
}

bool TPaintParam::loadFromParts(const CGradeMapObj* gradeMap, const CPenShapeObj* penShape, const SStrokeParam& stroke,
                                const SPenRenderParam& render) {
  if (gradeMap == nullptr || penShape == nullptr) return false;
  uint8_t k = 0;
  if (!paintKindOfPenRecord(k, render)) return false;
  resetToKind(k);
  loadPenRecords(stroke, render);
  setIcon(nullptr);
  (void)loadNib(penShape);  // refused only for a null nib, ruled out above
  const SGradeMapParam& g = gradeMap->param();
  falloffType = gradeMapTypeToFalloff(g.type);
  falloffValue1 = g.getValue1();
  falloffValue2 = g.getValue2();
  return true;
}

bool TPaintParam::loadNib(const CPenShapeObj* penShape) {
  if (penShape == nullptr) return false;
  const SPenShapeRecord& rec = penShape->params();
  hardEdge = flag(rec.edge.isHard());
  minSize = rec.shape.getMinSize();
  aspect = rec.shape.getAspect();
  angle = rec.shape.getAngle();
  falloffType = gradeMapTypeToFalloff(rec.grade.type);
  falloffValue1 = rec.grade.getValue1();
  falloffValue2 = rec.grade.getValue2();
  pressureEdge = 0;
  if (penShape->isImageNib()) {
    setNibImage(penShape->image());
    nibScale = static_cast<float>(penShape->scale()) / 100.0f;
  } else {
    size = rec.shape.getSize();
    clearNib();
    nibScale = 1.0f;
  }
  penShapeId = penShape->imageRef();
  return true;
}

}  // namespace pg
