#include "brush/paint_param_kinds.h"

#include "core/lookup_mask.h"
#include "platform/string_table.h"

namespace pg {

namespace {

// Resource ids of the kind names and captions.
enum : uint32_t {
  kIdPencil = 66400,
  kIdEraser = 66401,
  kIdWatercolor = 66402,
  kIdAirbrush = 66403,
  kIdBlur = 66404,
  kIdFinger = 66405,
  kIdSpread = 66406,
  kIdBurn = 66407,
  kIdDodge = 66408,
  kIdSpreadEffect = 66409,
  kIdBlurEffect = 66410,
  kIdReach = 66411,
  kIdReachLong = 66412,
  kIdBlurStrength = 66413,
  kIdExposure = 66414,
  kIdEffect = 66415,
  kIdHintFormat = 66416,
};

struct SPaintKindRow {
  uint8_t family;
  uint32_t mask;
  uint8_t falloffMode;
  uint8_t strokeKind;
  uint8_t renderMethod;  // kNoKind for the stroke kinds
  uint8_t pencil;
  uint8_t subMode;
  uint32_t nameId;
};

constexpr SPaintKindRow kKinds[kPaintKindCount] = {
    {1, 0x3F84, 0, 0, kNoKind, 0, 0, kIdPencil},
    {1, 0x103384, 0, 3, kNoKind, 0, 0, kIdEraser},
    {1, 0x103FF4, 0, 1, kNoKind, 0, 0, kIdWatercolor},
    {1, 0x13F8C, 1, 5, kNoKind, 0, 0, kIdAirbrush},
    {1, 0x3A94, 0, 2, kNoKind, 0, 0, kIdBlur},
    {0, 0x3294, 0, 4, kNoKind, 0, 0, kIdBlur},
    {1, 0x13B8C, 1, 6, kNoKind, 0, 0, kIdFinger},
    {1, 0x13B9C, 1, 7, kNoKind, 0, 0, kIdBurn},
    {1, 0x13B9C, 1, 8, kNoKind, 0, 0, kIdDodge},
    {2, 0x2FFF8F, 2, 0, prmNormal, 1, 0, kIdPencil},
    {2, 0x2FFF8F, 2, 3, prmEraser, 0, 0, kIdEraser},
    {2, 0x2FFFFF, 2, 1, prmWatercolor, 0, 0, kIdWatercolor},
    {2, 0x2FFF8F, 2, 5, prmNormal, 0, 0, kIdAirbrush},
    {2, 0x2FFF9F, 2, 2, prmBlur, 0, 0, kIdBlur},
    {2, 0x2FFF8F, 2, 6, prmFinger, 0, 0, kIdFinger},
    {2, 0x2FFF8F, 2, 6, prmSpread, 0, 0, kIdSpread},
    {2, 0x2FFF9F, 2, 7, prmBurnDodge, 0, 0, kIdBurn},
    {2, 0x2FFF9F, 2, 8, prmBurnDodge, 0, 1, kIdDodge},
};

const SPaintKindRow* kindRow(uint32_t kind) {
  kind &= 127;
  return kind < kPaintKindCount ? &kKinds[kind] : nullptr;
}

constexpr uint8_t kStrokeListOrder[8] = {0, 1, 2, 3, 4, 6, 7, 8};
// Paint kind of each TStroke kind.
constexpr uint8_t kKindOfStrokeKind[9] = {0, 2, 4, 1, 5, 3, 6, 7, 8};

constexpr uint8_t kBlendToLayer[kBlendModeCount] = {3,  11, 4, 13, 1,  10, 0,  12, 18, 2,  5,
                                                    7,  6,  20, 19, 21, 8,  9,  14, 15, 16, 17};
constexpr uint8_t kLayerToBlend[kLayerBlendModeCount] = {6,  4,  9, 0,  2,  10, 12, 11, 16, 17, 5,
                                                         1,  7,  3, 18, 19, 20, 21, 8,  14, 13, 15};

constexpr uint8_t kFalloffToPreset[8] = {3, 0, 0, 1, 0, 2, 4, 255};
constexpr uint8_t kFalloffToGrade[8] = {3, 4, 0, 0, 1, 2, 5, 255};
constexpr uint8_t kPresetToFalloff[6] = {2, 3, 5, 0, 6, 7};
constexpr uint8_t kGradeToFalloff[7] = {3, 4, 5, 0, 1, 6, 7};

// Falloff types beyond the table are flat, like the off state 7.
uint32_t knownFalloff(uint32_t type) { return type < 8 ? type : 7; }

}  // namespace

uint8_t paintKindFamily(uint32_t kind) {
  const SPaintKindRow* r = kindRow(kind);
  return r != nullptr ? r->family : 0;
}

uint32_t paintKindParamMask(uint32_t kind) {
  const SPaintKindRow* r = kindRow(kind);
  return r != nullptr ? r->mask : 0;
}

bool paintKindOffers(uint32_t kind, TPaintParamId id) { return (paintKindParamMask(kind) >> id) & 1u; }

uint8_t paintKindFalloffMode(uint32_t kind) {
  const SPaintKindRow* r = kindRow(kind);
  return r != nullptr ? r->falloffMode : 0;
}

uint8_t paintKindStrokeKind(uint32_t kind) {
  const SPaintKindRow* r = kindRow(kind);
  return r != nullptr ? r->strokeKind : kNoKind;
}

std::string paintKindName(uint32_t kind) {
  const SPaintKindRow* r = kindRow(kind);
  return r != nullptr ? resString(r->nameId) : std::string();
}

uint8_t paintKindAt(uint32_t family, uint32_t penIndex, uint32_t strokeIndex) {
  if (family == 2) return penIndex < 9 ? static_cast<uint8_t>(9 + penIndex) : kNoKind;
  return strokeIndex < 8 ? kStrokeListOrder[strokeIndex] : kNoKind;
}

uint8_t legacyListIndexOf(uint32_t kind) {
  if (kind <= 3) return static_cast<uint8_t>(kind);
  if (kind <= 5) return 4;
  if (kind <= 8) return static_cast<uint8_t>(kind - 1);
  return 255;
}

uint8_t penListIndexOf(uint32_t kind) { return (kind >= 9 && kind <= 17) ? static_cast<uint8_t>(kind - 9) : 255; }

uint8_t penSettingIndexOf(uint32_t index) { return paintKindStrokeKind(legacyKindAt(index)); }

bool paintKindOfStrokeKind(uint8_t& kind, uint32_t strokeKind) {
  if (strokeKind > 8) return false;
  kind = kKindOfStrokeKind[strokeKind];
  return true;
}

bool penRenderParamOfKind(SPenRenderParam& render, uint32_t kind) {
  render.init();
  if (kind < 9 || kind > 17) return false;
  const SPaintKindRow& r = kKinds[kind];
  render.method = r.renderMethod;
  render.workPlane = r.pencil;
  render.subMode = r.subMode;
  return true;
}

bool paintKindOfPenRecord(uint8_t& kind, const SPenRenderParam& render) {
  switch (render.method) {
    case prmNormal: kind = render.workPlane != 0 ? 9 : 12; return true;
    case prmWatercolor: kind = 11; return true;
    case prmBlur: kind = 13; return true;
    case prmEraser: kind = 10; return true;
    case prmSpread: kind = 15; return true;
    case prmFinger: kind = 14; return true;
    case prmBurnDodge: kind = render.subMode != 0 ? 17 : 16; return true;
    default: return false;
  }
}

uint32_t blendModeToLayerMode(uint32_t mode) {
  mode &= 127;
  return mode < kBlendModeCount ? kBlendToLayer[mode] : static_cast<uint32_t>(lbmNormal);
}

TBlendMode layerModeToBlendMode(uint32_t index) {
  index &= 127;
  return index < kLayerBlendModeCount ? static_cast<TBlendMode>(kLayerToBlend[index]) : bmStandard;
}

bool getBlendModeName(uint32_t mode, std::string& text) {
  text = layerBlendName(blendModeToLayerMode(mode));
  return !text.empty();
}

uint8_t falloffToPresetCurve(uint32_t falloffType) { return kFalloffToPreset[knownFalloff(falloffType)]; }
uint8_t falloffToGradeMapType(uint32_t falloffType) { return kFalloffToGrade[knownFalloff(falloffType)]; }

uint8_t presetCurveToFalloff(int32_t code) { return (code >= 0 && code < 6) ? kPresetToFalloff[code] : 7; }
uint8_t gradeMapTypeToFalloff(int32_t type) { return (type >= 0 && type < 7) ? kGradeToFalloff[type] : 7; }

uint8_t strokeCurveOfFalloff(uint32_t falloffType) {
  const uint8_t code = falloffToPresetCurve(falloffType);
  return code <= 4 ? code : 0;
}

void nibScaleRange(float& minScale, float& maxScale, int32_t w, int32_t h) {
  const int32_t shorter = w < h ? w : h;
  const int32_t longer = w > h ? w : h;
  float lo = 0.01f;
  float hi = 5.0f;
  if (shorter > 0) {
    const float v = 4.0f / static_cast<float>(shorter);
    lo = v > 0.01f ? v : 0.01f;
  }
  if (longer > 0) {
    const float v = 512.0f / static_cast<float>(longer);
    hi = v < 5.0f ? v : 5.0f;
  }
  if (lo > hi) lo = hi;
  minScale = lo;
  maxScale = hi;
}

namespace {

enum class CaptionRow { Watercolor, Blur, Burn, Dodge, Other };

CaptionRow captionRow(uint32_t kind) {
  switch (kind & kByteLookupMask) {
    case 2: case 11: return CaptionRow::Watercolor;
    case 4: case 5: case 13: return CaptionRow::Blur;
    case 7: case 16: return CaptionRow::Burn;
    case 8: case 17: return CaptionRow::Dodge;
    default: return CaptionRow::Other;
  }
}

uint32_t captionId(uint32_t kind, uint32_t slider, bool longForm) {
  const CaptionRow row = captionRow(kind);
  if (row == CaptionRow::Watercolor) {
    switch (slider) {
      case 0: return kIdSpreadEffect;
      case 1: return kIdBlurEffect;
      case 2: return longForm ? kIdReachLong : kIdReach;
      default: return kIdEffect;
    }
  }
  if (slider == 0) {
    switch (row) {
      case CaptionRow::Blur: return kIdBlurStrength;
      case CaptionRow::Burn: case CaptionRow::Dodge: return kIdExposure;
      default: return kIdEffect;
    }
  }
  // Sliders 1, 2 and any beyond take the slider-1 caption.
  switch (row) {
    case CaptionRow::Blur: return kIdBlur;
    case CaptionRow::Burn: return kIdBurn;
    case CaptionRow::Dodge: return kIdDodge;
    default: return kIdEffect;
  }
}

}  // namespace

std::string effectCaption(uint32_t kind, uint32_t slider) { return resString(captionId(kind, slider, false)); }
std::string effectCaptionLong(uint32_t kind, uint32_t slider) { return resString(captionId(kind, slider, true)); }

std::string effectHint(uint32_t kind, uint32_t slider) {
  const std::string caption = effectCaptionLong(kind, slider);
  const std::string format = resString(kIdHintFormat);
  // The format holds exactly two %s; place the caption by hand rather than
  // hand a translated text to printf.
  std::string out;
  size_t from = 0;
  for (int i = 0; i < 2; ++i) {
    const size_t at = format.find("%s", from);
    if (at == std::string::npos) break;
    out.append(format, from, at - from);
    out += caption;
    from = at + 2;
  }
  out.append(format, from, std::string::npos);
  return out;
}

}  // namespace pg
