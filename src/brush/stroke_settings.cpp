#include "brush/stroke_settings.h"

#include <cmath>
#include <cstdint>

#include "core/blend_arith.h"
#include "core/lookup_mask.h"
#include "platform/settings_store.h"

namespace pg {

namespace {

// The fixed spacings are single floats as stored: 1/6 and 1/12.
constexpr float kSpacingPen = 1.0f / 6.0f;
constexpr float kSpacingWatercolor = 1.0f / 12.0f;
constexpr float kOwnSpacing = -1.0f;

constexpr SStrokeKindInfo kStrokeKinds[kStrokeKindCount] = {
    {"pen", kSpacingPen, true, true, true},
    {"wc", kSpacingWatercolor, true, true, true},
    {"blur", 0.25f, true, true, false},
    {"eraser", 0.25f, true, false, false},
    {"blur2", 0.25f, false, false, false},
    {"airbrush", kOwnSpacing, true, true, true},
    {"rubpen", kOwnSpacing, true, true, false},
    {"darken", kOwnSpacing, true, true, false},
    {"lighten", kOwnSpacing, true, true, false},
};

// Clamps into lo..hi; a value that is not a number gives lo.
float clampRange(float v, float lo, float hi) {
  if (!(v >= lo)) return lo;
  if (v > hi) return hi;
  return v;
}

float clampPercent(float v) { return clampRange(v, kStrokePercentMin, kStrokePercentMax); }

// Truncation of a float position into an int, defined for any input.
int32_t truncPos(float v) { return saturateToInt32(std::trunc(static_cast<double>(v))); }

void growDirty(SStrokeDirty& d, const SStrokeDirty& box) {
  if (box.left < d.left) d.left = box.left;
  if (box.top < d.top) d.top = box.top;
  if (box.right > d.right) d.right = box.right;
  if (box.bottom > d.bottom) d.bottom = box.bottom;
}

SStrokeDirty boxAround(const SStrokePoint& p, float r) { return {p.x - r, p.x + r, p.y - r, p.y + r}; }

// Even-aligned integer rectangle of a dirty rectangle.
void evenRect(const SStrokeDirty& d, SRectXYWH& rect) {
  const int32_t x = saturateToInt32(std::floor(static_cast<double>(d.left))) & ~1;
  const int32_t y = saturateToInt32(std::floor(static_cast<double>(d.top))) & ~1;
  const int64_t right = (static_cast<int64_t>(saturateToInt32(std::ceil(static_cast<double>(d.right)))) + 1) & ~int64_t{1};
  const int64_t bottom = (static_cast<int64_t>(saturateToInt32(std::ceil(static_cast<double>(d.bottom)))) + 1) & ~int64_t{1};
  rect.X = x;
  rect.Y = y;
  rect.Width = saturateToInt32(static_cast<double>(right - x));
  rect.Height = saturateToInt32(static_cast<double>(bottom - y));
}

}  // namespace

// ---- kind table ------------------------------------------------------------------

const SStrokeKindInfo* strokeKindInfo(uint32_t kind) {
  kind &= 127;
  return kind < kStrokeKindCount ? &kStrokeKinds[kind] : nullptr;
}

std::string_view strokeToolName(uint32_t kind) {
  const SStrokeKindInfo* info = strokeKindInfo(kind);
  return info != nullptr ? std::string_view(info->Name) : std::string_view();
}

// ---- stored records --------------------------------------------------------------

namespace {

// Each kind's defaults: the base ones with the kind's own changes (blur2 has
// none of its own).
constexpr SPenSetting kPenDefaults[kStrokeKindCount] = {
    {.MIN = 0.75f, .ifSIZE = 1, .ifTRANSPARENCY = 1},
    {.MIN = 0.333f, .WIDTH = 16.0f, .EFFECT = 65.0f, .ENV = 40.0f, .SPEED = 30.0f, .ifSIZE = 1, .ifTRANSPARENCY = 1},
    {.WIDTH = 12.0f, .EFFECT = 10.0f},
    {.WIDTH = 12.0f, .ifTRANSPARENCY = 1, .ifEDGE = 1},
    {},
    {.MIN = 0.6f, .WIDTH = 30.0f, .ifSIZE = 1, .ifTRANSPARENCY = 1, .opaque = 0.1f, .penSpacing = 0.15f},
    {.MIN = 0.6f, .WIDTH = 15.0f, .ifTRANSPARENCY = 1, .opaque = 0.6f, .penSpacing = 0.04f},
    {.MIN = 0.6f, .WIDTH = 25.0f, .EFFECT = 50.0f, .ifSIZE = 1, .ifTRANSPARENCY = 1, .opaque = 0.2f, .penSpacing = 0.15f},
    {.MIN = 0.6f, .WIDTH = 25.0f, .EFFECT = 50.0f, .ifSIZE = 1, .ifTRANSPARENCY = 1, .opaque = 0.2f, .penSpacing = 0.15f},
};

}  // namespace

bool strokeDefaults(SPenSetting& rec, uint32_t kind) {
  const uint32_t k = kind & kByteLookupMask;
  rec = k < kStrokeKindCount ? kPenDefaults[k] : SPenSetting{};
  return k < kStrokeKindCount && k != skBlur2;  // blur2 and unknown kinds keep the base defaults
}

bool penSettingKey(uint32_t kind, int32_t slot, std::string_view root, std::string& key) {
  const SStrokeKindInfo* info = strokeKindInfo(kind);
  if (info == nullptr) return false;
  std::string k(root);
  k += "\\penSetting\\";
  k += info->Name;
  k += std::to_string(slot);
  key = std::move(k);
  return true;
}

namespace {

bool allExist(const CSettingsKey& reg, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names)
    if (!reg.valueExists(n)) return false;
  return true;
}

// A stored float: a value of the wrong kind or not a finite float keeps the
// field; the result is brought into lo..hi.
void readRanged(const CSettingsKey& reg, std::string_view name, float& field, float lo, float hi) {
  float v = field;
  regReadFloat(reg, name, v, field);
  field = clampRange(v, lo, hi);
}

void readSwitch(const CSettingsKey& reg, std::string_view name, uint8_t& field) {
  bool v = field != 0;
  regReadBool(reg, name, v, v);
  field = v ? 1 : 0;
}

}  // namespace

bool readPenSetting(const CSettingsKey& reg, SPenSetting& rec) {
  if (!allExist(reg, {"MIN", "WIDTH", "GAMMA"})) return false;
  readRanged(reg, "MIN", rec.MIN, kStrokePercentMin, kStrokePercentMax);
  readRanged(reg, "WIDTH", rec.WIDTH, kStrokeWidthMin, kStrokeWidthMax);
  readRanged(reg, "GAMMA", rec.GAMMA, kStrokeGammaMin, kStrokeGammaMax);

  if (!allExist(reg, {"EFFECT", "ENV", "SPEED"})) return false;
  readRanged(reg, "EFFECT", rec.EFFECT, kStrokePercentMin, kStrokePercentMax);
  readRanged(reg, "ENV", rec.ENV, kStrokePercentMin, kStrokePercentMax);
  readRanged(reg, "SPEED", rec.SPEED, kStrokePercentMin, kStrokePercentMax);

  if (!allExist(reg, {"ifSIZE", "ifTRANSPARENCY", "ifEDGE"})) return false;
  readSwitch(reg, "ifSIZE", rec.ifSIZE);
  readSwitch(reg, "ifTRANSPARENCY", rec.ifTRANSPARENCY);
  readSwitch(reg, "ifEDGE", rec.ifEDGE);
  rec.useTone = 0;

  if (!allExist(reg, {"useGradation", "opaque", "penSpacing", "airMap"})) return false;
  readSwitch(reg, "useGradation", rec.useGradation);
  readRanged(reg, "opaque", rec.opaque, kStrokeOpacityMin, kStrokeOpacityMax);
  readRanged(reg, "penSpacing", rec.penSpacing, kStrokeSpacingMin, kStrokeSpacingMax);
  int32_t airMap = rec.airMap;
  regReadInt(reg, "airMap", airMap, rec.airMap);
  rec.airMap = airMap;
  return true;
}

bool writePenSetting(CSettingsKey& reg, const SPenSetting& rec) {
  bool ok = true;
  ok &= regWriteFloat(reg, "MIN", rec.MIN);
  ok &= regWriteFloat(reg, "WIDTH", rec.WIDTH);
  ok &= regWriteFloat(reg, "GAMMA", rec.GAMMA);
  ok &= regWriteFloat(reg, "EFFECT", rec.EFFECT);
  ok &= regWriteFloat(reg, "ENV", rec.ENV);
  ok &= regWriteFloat(reg, "SPEED", rec.SPEED);
  ok &= regWriteBool(reg, "ifSIZE", rec.ifSIZE != 0);
  ok &= regWriteBool(reg, "ifTRANSPARENCY", rec.ifTRANSPARENCY != 0);
  ok &= regWriteBool(reg, "ifEDGE", rec.ifEDGE != 0);
  ok &= regWriteBool(reg, "useTone", false);
  ok &= regWriteBool(reg, "useGradation", rec.useGradation != 0);
  ok &= regWriteFloat(reg, "opaque", rec.opaque);
  ok &= regWriteFloat(reg, "penSpacing", rec.penSpacing);
  ok &= regWriteInt(reg, "airMap", rec.airMap);
  return ok;
}

// ---- TStroke -----------------------------------------------------------------------

TStroke::TStroke(uint8_t code) : creationCode(code) { setOpacity(1.0f); }

TStroke::~TStroke() = default;

void TStroke::setColor(uint32_t colour) {
  if (color != colour) {
    color = colour;
    changed = 1;
  }
}

void TStroke::setLayerIndex(int32_t index) { layerIndex = index; }
void TStroke::setColorQuiet(uint32_t colour) { color = colour; }
void TStroke::setSubColor(uint32_t colour) { subColor = colour; }
void TStroke::setOpacity(float v) { opacity = clampRange(v, kStrokeOpacityMin, kStrokeOpacityMax); }

namespace {

// Stores a switch; `changed` is set when it differs and given.
bool storeSwitch(uint8_t& field, bool on, uint8_t* changed) {
  const uint8_t v = on ? 1 : 0;
  const bool differs = field != v;
  if (differs) {
    field = v;
    if (changed != nullptr) *changed = 1;
  }
  return differs;
}

}  // namespace

bool TStroke::setUseTone(bool on, bool /*refresh: the plotter follows the switches itself*/) {
  const bool differs = storeSwitch(useTone, on, &changed);
  return differs;
}

bool TStroke::setUseGradation(bool on, bool /*refresh: the plotter follows the switches itself*/) {
  const bool differs = storeSwitch(useGradation, on, &changed);
  return differs;
}

bool TStroke::setOpaqueMode(bool on, bool /*refresh: the plotter follows the switches itself*/) {
  const bool differs = storeSwitch(opaque, on, nullptr);  // leaves `changed` as it was
  return differs;
}

bool TStroke::canUseTone() const {
  const SStrokeKindInfo* info = strokeKindInfo(kind);
  return info != nullptr && info->AcceptsTone;
}

bool TStroke::canUseGradation() const {
  const SStrokeKindInfo* info = strokeKindInfo(kind);
  return info != nullptr && info->AcceptsGradation;
}

namespace {

template <typename T>
void storeChanged(T& field, T v, uint8_t& changed) {
  if (field != v) {
    field = v;
    changed = 1;
  }
}

}  // namespace

void TStroke::setMinSize(float v) { storeChanged(MIN, clampPercent(v), changed); }

void TStroke::setWidth(float v) {
  if (WIDTH != v) {
    WIDTH = v;
    changed = 1;
  }
  WIDTH = clampRange(WIDTH, kStrokeWidthMin, kStrokeWidthMax);
}

void TStroke::setKind(uint8_t k) { storeChanged(kind, k, changed); }
void TStroke::setPressureSize(bool on) { storeChanged(ifSIZE, static_cast<uint8_t>(on ? 1 : 0), changed); }
void TStroke::setPressureOpacity(bool on) { storeChanged(ifTRANSPARENCY, static_cast<uint8_t>(on ? 1 : 0), changed); }
void TStroke::setPressureEdge(bool on) { storeChanged(ifEDGE, static_cast<uint8_t>(on ? 1 : 0), changed); }

void TStroke::setGamma(float v) {
  if (GAMMA != v) {
    GAMMA = clampRange(v, kStrokeGammaMin, kStrokeGammaMax);
    changed = 1;
  }
}

void TStroke::setEffect(float v) { storeChanged(EFFECT, clampPercent(v), changed); }
void TStroke::setEnv(float v) { storeChanged(ENV, clampPercent(v), changed); }
void TStroke::setSpeed(float v) { storeChanged(SPEED, clampPercent(v), changed); }
void TStroke::setSpacing(float v) { penSpacing = clampRange(v, kStrokeSpacingMin, kStrokeSpacingMax); }

float TStroke::getOpacity() const {
  if (fullOpacity != 0) return 1.0f;
  return opacity;
}

uint32_t TStroke::getOpacity255() const {
  if (fullOpacity != 0) return 255;
  // The field is public: keep the product a byte whatever was written into it.
  return static_cast<uint32_t>(clampRange(opacity, 0.0f, 1.0f) * 255.0f);
}

float TStroke::getSpacing() const {
  const SStrokeKindInfo* info = strokeKindInfo(kind);
  const float s = (info != nullptr && info->FixedSpacing >= 0.0f) ? info->FixedSpacing : penSpacing;
  return s < kStrokeSpacingMin ? kStrokeSpacingMin : s;
}

bool TStroke::usesMinSize() const {
  const SStrokeKindInfo* info = strokeKindInfo(kind);
  return info != nullptr && info->UsesMin;
}

float TStroke::pressureWidth(float p) const {
  if (usesMinSize() && ifSIZE != 0) {
    const float m = WIDTH * MIN / 100.0f;
    return (WIDTH - m) * p + m;
  }
  return WIDTH;
}

SStrokePoint TStroke::getPoint(int32_t i) const {
  if (i < 0 || i >= kPointCount) return points[0];
  return points[i];
}

void TStroke::getDirtyRect(SRectXYWH& rect) const { evenRect(dirtySinceLast, rect); }
void TStroke::getTotalRect(SRectXYWH& rect) const { evenRect(dirtyWhole, rect); }

const CPenTC* TStroke::getCurrentSample() const {
  if (pickCount < 1) return nullptr;
  const CPenTC& s = sampleCache[(pickCount + 1) & 1];
  return s.IsAllocated() ? &s : nullptr;
}

void TStroke::prepare(uint32_t neutral, float x, float y) {
  stepCount = 0;
  travel = 0.0f;
  dabCount = 0;
  layerNeutral = neutral;
  dirtyWhole = SStrokeDirty{};
  for (SStrokePoint& p : points) p = {x, y, 0.0f};
}

void TStroke::prepareKind(const TMTC& image, float x, float y) {
  switch (kind) {
    case skWatercolor:
      pickColor(image, x, y);
      break;
    case skRubpen:
      // A sample that cannot be taken leaves the cache empty: the stroke
      // smears nothing rather than stopping.
      (void)pickSample(image, WIDTH, x, y);
      break;
    default:
      break;
  }
}

void TStroke::beginStroke(uint32_t neutral, const TMTC& image, float x, float y) {
  prepare(neutral, x, y);
  prepareKind(image, x, y);
}

void TStroke::beginStrokeFlow(uint32_t neutral, const TMTC& flowPlane, TPoint origin, float x, float y) {
  prepare(neutral, x, y);
  prepareKind(flowPlane, x + static_cast<float>(origin.X), y + static_cast<float>(origin.Y));
}

void TStroke::addPoint(float x, float y, float pressure) {
  for (int i = kPointCount - 1; i > 0; --i) points[i] = points[i - 1];
  points[0] = {x, y, pressure};
  if (exactPoints == 0) {
    points[1] = {(points[0].x + points[2].x) * 0.5f, (points[0].y + points[2].y) * 0.5f,
                 (points[0].pressure + points[2].pressure) * 0.5f};
  }
}

void TStroke::setSegment(float x0, float y0, float p0, float x1, float y1, float p1) {
  points[1] = {x0, y0, p0};
  points[2] = {x1, y1, p1};
}

void TStroke::updateDirty() {
  const float r = WIDTH + 2.0f;
  const SStrokeDirty box1 = boxAround(points[1], r);
  const SStrokeDirty box2 = boxAround(points[2], r);
  dirtySinceLast = box1;
  growDirty(dirtySinceLast, box2);
  growDirty(dirtyWhole, box1);
  growDirty(dirtyWhole, box2);
}

bool TStroke::pickSample(const TMTC& image, float size, float x, float y) {
  pickCount = 0;
  lastPick = {truncPos(x), truncPos(y)};
  for (CPenTC& c : sampleCache) {
    c.FreeData();
    c.clearGeometry();
  }
  return sampleCache[0].setDab(image, size, x, y);
}

bool TStroke::pickSmudge(const TMTC& image, float size, float x, float y) {
  const TPoint at{truncPos(x), truncPos(y)};
  if (at == lastPick) return false;
  lastPick = at;
  // The count wraps to 2 (keeping the alternation) instead of overflowing.
  pickCount = pickCount == INT32_MAX ? 2 : pickCount + 1;
  // A patch that cannot be placed keeps its last sample: the stroke goes on
  // smudging with it rather than stopping.
  (void)sampleCache[pickCount & 1].setDab(image, size, x, y);
  return true;
}

bool TStroke::pickSpread(const TMTC& image, float size, float x, float y) {
  const TPoint at{truncPos(x), truncPos(y)};
  if (at == lastPick) return false;
  lastPick = at;
  pickCount = 1;
  (void)sampleCache[0].setDab(image, size, x, y);  // as in pickSmudge
  return true;
}

void TStroke::pickColor(const TMTC& image, float x, float y) {
  const int32_t cx = truncPos(x);
  const int32_t cy = truncPos(y);
  SRgbSum sum;
  for (int32_t dy = -5; dy <= 5; ++dy)
    for (int32_t dx = -5; dx <= 5; ++dx) {
      // Positions far outside clamp to the edge either way; keep the sums defined.
      const int64_t px = static_cast<int64_t>(cx) + dx;
      const int64_t py = static_cast<int64_t>(cy) + dy;
      image.accumulateRgbRec(saturateToInt32(static_cast<double>(px)), saturateToInt32(static_cast<double>(py)), sum);
    }
  const uint32_t b = static_cast<uint32_t>(sum.B / 121);
  const uint32_t g = static_cast<uint32_t>(sum.G / 121);
  const uint32_t r = static_cast<uint32_t>(sum.R / 121);
  watercolor.pickedColor = b | (g << 8) | (r << 16);
  watercolor.carried[0] = static_cast<float>(r);
  watercolor.carried[1] = static_cast<float>(g);
  watercolor.carried[2] = static_cast<float>(b);
  uint32_t start = watercolor.pickedColor;
  const uint32_t weight = 255u - static_cast<uint32_t>(clampPercent(EFFECT) * 255.0f / 100.0f);
  lerpPixelRgbTab(&start, color, weight);
  watercolor.startColor = start;
}

bool TStroke::buildToneCurve(CurveTable& table) const {
  if (kind != skDarken && kind != skLighten) return false;
  const double k = 1.0 + 0.002 * static_cast<double>(clampPercent(EFFECT));
  buildPowerCurve(table, kind == skDarken ? k : 1.0 / k);
  return true;
}

}  // namespace pg
