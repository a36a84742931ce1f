// The table of the value-and-slider filter dialogs and their model.
#include "filters/filter_dialog_model.h"

#include <cmath>
#include <map>
#include <numbers>
#include <string>

#include "core/blend_modes.h"
#include "filters/cloud_filters.h"
#include "filters/distort_filters.h"
#include "filters/histogram.h"
#include "filters/floor_filter.h"
#include "filters/gradient_map_filter.h"
#include "filters/lighting_filter.h"
#include "filters/median_filter.h"
#include "filters/motion_blur_filters.h"
#include "filters/noise_filters.h"
#include "filters/record_bytes.h"
#include "filters/rotate_scale_filter.h"
#include "filters/stylize_filters.h"
#include "filters/table_filters.h"
#include "filters/tiles_filter.h"
#include "filters/tone_filters.h"

namespace pg {

int32_t roundHalfAway(float v) {
  if (!std::isfinite(v)) return 0;
  const double r = std::round(static_cast<double>(v));
  return static_cast<int32_t>(std::clamp(r, -2147483648.0, 2147483647.0));
}

float scaleSideAt(float side, float percent) { return percent * side / 100.0f; }
float scaleSideLimit(float side) { return std::min(10000.0f, side * 16.0f); }

namespace {

// Resource texts of the dialogs.
enum : uint32_t {
  kTxDefaultsR = 66701,
  kTxDefaultsE = 66702,
  kTxDefaultsD = 66703,
  kTxCapGaussian = 66710,
  kTxCapSharpenCustom,
  kTxCapMedian,
  kTxCapMosaic,
  kTxCapPosterize,
  kTxCapThreshold,
  kTxCapMotionBlur,
  kTxCapTwirl,
  kTxCapWave,
  kTxCapPolar,
  kTxCapRotate,
  kTxCapBrightnessContrast,
  kTxCapHueSaturation,
  kTxCapColourBalance,
  kTxCapEmboss,
  kTxCapHalftone,
  kTxCapNoise,
  kTxCapDiffuse,
  kTxAmountA = 66730,
  kTxRadius,
  kTxCellSize,
  kTxLevels,
  kTxThreshold,
  kTxAngleA,
  kTxDistanceD,
  kTxTurnA,
  kTxHWaves,
  kTxVWaves,
  kTxHStrength,
  kTxVStrength,
  kTxPhase,
  kTxMode,
  kTxToPolar,
  kTxToRectangular,
  kTxBrightness = 66747,
  kTxContrast,
  kTxLinearL,
  kTxHue,
  kTxSaturation,
  kTxLightness,
  kTxMonotone,
  kTxLinearI,
  kTxRed,
  kTxGreen,
  kTxBlue,
  kTxSyncSliders,
  kTxHeight,
  kTxAmountM,
  kTxDiameter,
  kTxAngleGroup,
  kTxGreyscale,
  kTxRange,
  kTxModeNormal,
  kTxModeDarker,
  kTxModeLighter,
  kTxRadial,
  kTxCapLighting = 66770,
  kTxKind,
  kTxPointLight,
  kTxWarmLight,
  kTxSpotLight,
  kTxLightColour,
  kTxIntensity,
  kTxLightRange,
  kTxX,
  kTxY,
  kTxZ,
  kTxDirection,
  kTxPitch,
  kTxSpread,
  kTxAmbientColour,
  kTxCapTiles,
  kTxWidth,
  kTxColour1,
  kTxColour2,
  kTxColour3,
  kTxOpacity1,
  kTxOpacity2,
  kTxOpacity3,
  kTxShape,
  kTxSquares,
  kTxTriangles,
  kTxCentre,
  kTxCapZoomBlur,
  kTxCapScale = 66804,
  kTxKeepAspect,
  kTxMirrorH,
  kTxMirrorV,
  kTxCapCustom = 66808,
  kTxDivisor,
  kTxOffset,
  kTxCapPlasma,
  kTxKindGroup,
  kTxColourKind,
  kTxGreyKind,
  kTxContrastN,
  kTxBlendMode,
  kTxOpacityO,
  kTxCapCloudsRock = 66818,
  kTxCloudsKind,
  kTxRockKind,
  kTxSoftness,
  kTxWidthI,
  kTxWrapAround,
  kTxCapFloor = 67700,
  kTxFloorPitch,
  kTxProjection,
  kTxCeilingHeight,
  kTxKeepLayer,
  kTxFog,
  kTxFogColour,
  kTxFogTransparent,
  kTxToInfinity,
  kTxFogDistance,
  kTxFogOpacity,
  kTxCeilingPlane = 67712,
  kTxFloorPlane = 67715,
  kTxFogColourCell = 67720,
  kTxReverse,
  kTxCapGradientMap,
};

constexpr const char* kDeg = "\xC2\xB0";
constexpr const char* kPx = "px";

SFilterValueDef angleDef(uint32_t label, float initial, ESliderKind slider = ESliderKind::Dial) {
  SFilterValueDef d{label, -999.0f, 999.0f, initial, 1.0f, "%1.0f", slider, kDeg};
  d.wrap = true;
  return d;
}

SFilterValueDef centred(SFilterValueDef d, float centre) {
  d.centre = centre;
  d.useCentre = true;
  if (d.slider == ESliderKind::Plain) d.slider = ESliderKind::CentreLine;
  return d;
}

uint8_t clampByte(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

std::vector<uint8_t> bytes8() { return std::vector<uint8_t>(8, 0); }
std::vector<uint8_t> bytes16() { return std::vector<uint8_t>(16, 0); }

void packAmountF32(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes8();
  writeRecF32(out.data(), m.value(0));
}

void packMedian(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes8();
  SFltMedian r;
  r.radius = clampByte(roundHalfAway(m.value(0)));
  r.protect = m.layerProtect();
  writeMedianRecord(r, out.data());
}

void packMosaic(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes8();
  SFltMosaic r;
  r.size = roundHalfAway(m.value(0));
  r.protect = m.layerProtect();
  writeMosaicRecord(r, out.data());
}

void packPosterize(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes8();
  SFltPosterize r;
  r.Levels = roundHalfAway(m.value(0));
  r.write(out.data());
}

void packThreshold(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes8();
  SFltThreshold r;
  r.Threshold = clampByte(roundHalfAway(m.value(0)));
  r.DialogFlag = 1;
  r.write(out.data());
}

void packMotionBlur(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes8();
  SFltMotionBlur r;
  r.angle = static_cast<int16_t>(roundHalfAway(m.value(0)));
  r.distance = clampByte(roundHalfAway(m.value(1)));
  r.mode = 2;
  writeMotionBlurRecord(r, out.data());
}

void packTwirl(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes8();
  SFltTwirl r;
  r.Angle = static_cast<int16_t>(std::clamp(roundHalfAway(m.value(0)), -32768, 32767));
  r.Clamp = 1;
  r.write(out.data());
}

void packWave(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes8();
  SFltWave r;
  r.HCount = clampByte(roundHalfAway(m.value(0)));
  r.VCount = clampByte(roundHalfAway(m.value(1)));
  r.HStrength = clampByte(roundHalfAway(m.value(2)));
  r.VStrength = clampByte(roundHalfAway(m.value(3)));
  r.Phase = static_cast<float>(m.value(4) * std::numbers::pi / 180.0);
  r.write(out.data());
}

void packPolar(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes8();
  SFltPolar r;
  r.Mode = m.choice() == 0 ? 0 : (m.choice() == 1 ? 1 : 255);
  r.ProtectAlpha = m.layerProtect();
  r.write(out.data());
}

void packRotate(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes8();
  SFltRotate r;
  r.Angle = -m.value(0);
  r.ProtectAlpha = m.layerProtect();
  r.Method = 1;
  r.write(out.data());
}

void packBrightnessContrast(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes16();
  SFltBrightnessContrast r;
  r.Brightness = roundHalfAway(m.value(0));
  r.Contrast = roundHalfAway(m.value(1));
  r.Linear = m.check(0) ? 1 : 0;
  r.write(out.data());
}

void packHueSaturation(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes16();
  SFltHueSaturation r;
  r.Hue = roundHalfAway(m.value(0));
  r.Saturation = roundHalfAway(m.value(1));
  r.Lightness = roundHalfAway(m.value(2));
  r.Monotone = m.check(0) ? 1 : 0;
  r.Linear = m.check(1) ? 1 : 0;
  r.write(out.data());
}

void packColourBalance(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes16();
  SFltColorBalance r;
  r.GammaR = m.value(0);
  r.GammaG = m.value(1);
  r.GammaB = m.value(2);
  r.write(out.data());
}

void packEmboss(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes16();
  SFltEmboss r;
  r.angle = -roundHalfAway(m.value(0));
  r.height = m.value(1);
  r.amount = roundHalfAway(m.value(2));
  writeEmbossRecord(r, out.data());
}

void packHalftone(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes16();
  SFltColorHalftone r;
  r.diameter = roundHalfAway(m.value(0));
  r.angleR = roundHalfAway(m.value(1));
  r.angleG = roundHalfAway(m.value(2));
  r.angleB = roundHalfAway(m.value(3));
  writeColorHalftoneRecord(r, out.data());
}

void packNoise(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes16();
  SFltNoise r;
  r.amount = roundHalfAway(m.value(0));
  r.mono = m.check(0) ? 1 : 0;
  r.seed = m.seed();
  writeNoiseRecord(r, out.data());
}

void packDiffuse(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes16();
  SFltDiffuse r;
  r.range = roundHalfAway(m.value(0));
  r.mode = m.choice();
  r.seed = m.seed();
  r.radial = m.check(0) ? 1 : 0;
  r.protect = m.layerProtect();
  writeDiffuseRecord(r, out.data());
}

// Monotone allows no negative saturation; the value is taken again from its
// slider in the new range.
void hueSaturationRules(CFilterDialogModel& m, int32_t sender) {
  if (sender != kSenderCheck && sender != kSenderDefaults) return;
  TNumMngr& s = m.num(1);
  s.setValueMin(m.check(0) ? 0.0f : -100.0f);
  if (sender == kSenderCheck) s.setRatio(m.slider(1));
  m.setSlider(1, s.getRatio());
}

// With the sliders coupled, one gamma sets all three.
void colourBalanceRules(CFilterDialogModel& m, int32_t sender) {
  if (!m.check(0)) return;
  size_t from = 0;
  if (sender >= kSenderValue && sender < kSenderValue + 3) {
    from = size_t(sender - kSenderValue);
    for (size_t i = 0; i < 3; ++i)
      if (i != from) m.num(i).setValue(m.value(from));
  } else if (sender >= kSenderSlider && sender < kSenderSlider + 3) {
    from = size_t(sender - kSenderSlider);
    for (size_t i = 0; i < 3; ++i)
      if (i != from) m.num(i).setRatio(m.slider(from));
  } else {
    return;
  }
  for (size_t i = 0; i < 3; ++i) m.setSlider(i, m.num(i).getRatio());
}

// ---- lighting: values intensity, range, X, Y, Z, direction, pitch, spread,
// ambient brightness; colours light and ambient; the kind as the choice.
enum : size_t { kLtIntensity, kLtRange, kLtX, kLtY, kLtZ, kLtDirection, kLtPitch, kLtSpread, kLtAmbient };

double degrees(double radians) { return radians * 180.0 / std::numbers::pi; }
float radians(float degrees) { return static_cast<float>(degrees * std::numbers::pi / 180.0); }

// Loads the kind's row into the lamp's controls.
void loadLightKind(CFilterDialogModel& m, int32_t kind) {
  const SLight4 row = lightKindDefaults(kind);
  const bool directed = kind != lkPoint;
  m.setColour(0, row.Colour);
  m.num(kLtSpread).setValueMin(directed ? 3.0f : 0.0f);
  m.num(kLtZ).setValue(float(row.Height));
  m.num(kLtIntensity).setValue(float(row.Intensity));
  m.num(kLtRange).setValue(float(row.Range));
  // The table holds the record's negated radians; the field shows degrees.
  m.num(kLtDirection).setValue(float(-degrees(row.Direction)));
  m.num(kLtPitch).setValue(float(degrees(row.Pitch)));
  m.num(kLtSpread).setValue(float(row.Spread));
  for (size_t i : {kLtDirection, kLtPitch, kLtSpread}) m.setValueEnabled(i, directed);
  for (size_t i = 0; i < m.valueCount(); ++i) m.setSlider(i, m.num(i).getRatio());
}

void lightingRules(CFilterDialogModel& m, int32_t sender) {
  if (sender == kSenderChoice || sender == kSenderDefaults) loadLightKind(m, m.choice());
}

void openLighting(CFilterDialogModel& m, const SFilterOpenInfo& info) {
  const float w = float(std::max(info.width, 1)), h = float(std::max(info.height, 1));
  (void)m.num(kLtX).setRange(0.0f, -w, w);  // w and h are at least 1: the ranges are not empty
  (void)m.num(kLtY).setRange(0.0f, -h, h);  // as above
  m.num(kLtAmbient).setValue(0.0f);
  m.setColour(1, 0xFFFFFEC7u);
  m.setChoice(lkPoint);
  loadLightKind(m, lkPoint);
}

// ---- floor: values X, Y, Z, heading, pitch, projection distance, ceiling
// height, fog distance, fog opacity; checks keep layer, to infinity,
// ceiling, floor; the fog kind as the choice; the fog colour.
enum : size_t { kFlX, kFlY, kFlZ, kFlHeading, kFlPitch, kFlProjection, kFlCeiling, kFlFogDistance, kFlFogOpacity };
enum : size_t { kFlKeep, kFlInfinity, kFlCeilingOn, kFlFloorOn };

void floorRules(CFilterDialogModel& m, int32_t sender) {
  // The planes interlock: the last one shown cannot be turned off.
  const int32_t ceilingBox = kSenderCheck + int32_t(kFlCeilingOn), floorBox = kSenderCheck + int32_t(kFlFloorOn);
  if ((sender == ceilingBox || sender == floorBox) && !m.check(kFlCeilingOn) && !m.check(kFlFloorOn))
    m.setCheck(sender == ceilingBox ? kFlCeilingOn : kFlFloorOn, true);
  m.setColourEnabled(0, m.choice() == 0);
}

void openFloor(CFilterDialogModel& m, const SFilterOpenInfo&) {
  m.setChoice(0);
  m.setColour(0, 0);
  for (size_t i : {kFlKeep, kFlInfinity, kFlCeilingOn, kFlFloorOn}) m.setCheck(i, true);
  floorRules(m, kSenderDefaults);
}

void packFloor(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  SFltFloor f = floorDesignValues();
  SFloorControls c;
  c.x = roundHalfAway(m.value(kFlX));
  c.y = roundHalfAway(m.value(kFlY));
  c.z = roundHalfAway(m.value(kFlZ));
  c.heading = m.value(kFlHeading);
  c.pitch = m.value(kFlPitch);
  c.projection = roundHalfAway(m.value(kFlProjection));
  c.ceiling = roundHalfAway(m.value(kFlCeiling));
  floorApplyControls(c, f);
  f.FogDistance = uint8_t(std::clamp(roundHalfAway(m.value(kFlFogDistance)), 0, 100));
  f.FogOpacity = roundHalfAway(m.value(kFlFogOpacity));
  f.FogColour = m.colour(0) & 0x00FFFFFFu;
  f.FogKind = m.choice() == 0 ? 0 : 1;
  f.KeepLayer = m.check(kFlKeep) ? 1 : 0;
  f.FogToInfinity = m.check(kFlInfinity) ? 1 : 0;
  f.PlanesShown = uint8_t((m.check(kFlCeilingOn) ? 1 : 0) | (m.check(kFlFloorOn) ? 2 : 0));
  f.Sampler = 2;
  out.assign(SFltFloor::kSize, 0);
  f.write(out.data());
}

// ---- gradient map: the reverse check box; the stops are the active gradient's.
void packGradientMap(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out.assign(kGradientMapCommandBytes, 0);
  out[0] = m.check(0) ? 1 : 0;
}

void packLighting(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  SFltLightingHeader header;
  header.AmbientColour = m.colour(1);
  header.AmbientBrightness = roundHalfAway(m.value(kLtAmbient));
  SLight4 l;
  l.Kind = m.choice();
  l.Intensity = roundHalfAway(m.value(kLtIntensity));
  l.Colour = m.colour(0);
  l.Range = roundHalfAway(m.value(kLtRange));
  l.X = m.num(kLtX).getRatio() * 2.0f - 0.5f;
  l.Y = m.num(kLtY).getRatio() * 2.0f - 0.5f;
  l.Height = roundHalfAway(m.value(kLtZ));
  if (l.Kind != lkPoint) {
    l.Pitch = radians(m.value(kLtPitch));
    l.Direction = radians(-m.value(kLtDirection));
    l.Spread = roundHalfAway(m.value(kLtSpread));
  }
  const SLightingRecord rec(header, l);
  out = fltRecordBytes(rec.record);
}

// ---- tiles: values width and three opacities, three colours, the third
// colour's check, the shape (squares first).
void tilesRules(CFilterDialogModel& m, int32_t sender) {
  if (sender != kSenderCheck && sender != kSenderDefaults) return;
  m.setValueEnabled(3, m.check(0));
  m.setColourEnabled(2, m.check(0));
}

void openTiles(CFilterDialogModel& m, const SFilterOpenInfo& info) {
  m.setColour(0, info.foreground);
  m.setColour(1, info.background);
  tilesRules(m, kSenderCheck);
}

void packTiles(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes16();
  SFltTiles r;
  r.shape = m.choice() == 0 ? 1 : 0;
  r.thirdColour = m.check(0) ? 1 : 0;
  r.width = uint16_t(std::clamp(roundHalfAway(m.value(0)), 0, 65535));
  for (size_t i = 0; i < 3; ++i) {
    const uint32_t opacity = uint32_t(std::clamp(roundHalfAway(m.value(1 + i) * 255.0f / 100.0f), 0, 255));
    r.colours[i] = (m.colour(i) & 0x00FFFFFFu) | opacity << 24;
  }
  writeTilesRecord(r, out.data());
}

// ---- scale: width px, width %, height px, height %; checks aspect, mirror
// left to right, mirror top to bottom. The area's size is each pixel
// value's default (100 %).
void scaleFollow(CFilterDialogModel& m, size_t px, size_t pc, float size, float percent) {
  m.num(px).setValue(scaleSideAt(size, percent));
  m.num(pc).setValue(percent);
  m.setSlider(pc, m.num(pc).getRatio());
}

void scaleRules(CFilterDialogModel& m, int32_t sender) {
  const float w = std::max(m.num(0).valueDefault(), 1.0f), h = std::max(m.num(2).valueDefault(), 1.0f);
  if (sender == kSenderReset) {
    m.setCheck(0, true);
    m.setCheck(1, false);
    m.setCheck(2, false);
    return;
  }
  const bool width = sender == kSenderValue + 0 || sender == kSenderValue + 1 || sender == kSenderSlider + 1;
  const bool height = sender == kSenderValue + 2 || sender == kSenderValue + 3 || sender == kSenderSlider + 3;
  if (!width && !height) return;
  float percent = 0.0f;
  if (sender == kSenderValue + 0) percent = m.value(0) * 100.0f / w;
  else if (sender == kSenderValue + 2) percent = m.value(2) * 100.0f / h;
  else percent = m.value(width ? 1 : 3);
  if (width || m.check(0)) scaleFollow(m, 0, 1, w, percent);
  if (height || m.check(0)) scaleFollow(m, 2, 3, h, percent);
}

void openScale(CFilterDialogModel& m, const SFilterOpenInfo& info) {
  const float w = float(std::max(info.areaWidth, 1)), h = float(std::max(info.areaHeight, 1));
  const float wMax = scaleSideLimit(w), hMax = scaleSideLimit(h);
  (void)m.num(0).setRange(w, 0.0f, wMax);  // the limits are above 0: the ranges are not empty
  m.num(0).setValueDefault(w);
  (void)m.num(2).setRange(h, 0.0f, hMax);  // as above
  m.num(2).setValueDefault(h);
  (void)m.num(1).setRange(100.0f, 0.0f, std::max(100.0f, std::min(1600.0f, wMax * 100.0f / w)));  // as above
  (void)m.num(3).setRange(100.0f, 0.0f, std::max(100.0f, std::min(1600.0f, hMax * 100.0f / h)));  // as above
  for (size_t i = 0; i < 4; ++i) m.setSlider(i, m.num(i).getRatio());
}

void packScale(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes16();
  SFltScale r;
  r.NewWidth = roundHalfAway(m.value(0)) * (m.check(1) ? -1 : 1);
  r.NewHeight = roundHalfAway(m.value(2)) * (m.check(2) ? -1 : 1);
  r.ProtectAlpha = m.layerProtect();
  r.Method = 1;
  r.write(out.data());
}

// ---- custom 5 x 5: 25 weights, the divisor, the offset.
void packCustom(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  SCustom5x5Block block;
  for (size_t i = 0; i < 25; ++i) block.Weights[i] = roundHalfAway(m.value(i));
  block.Divisor = roundHalfAway(m.value(25));
  block.Offset = roundHalfAway(m.value(26));
  std::array<uint8_t, SCustom5x5Block::kSize> extra{};
  block.write(extra.data());
  SFltRecord r;
  (void)initFltRecord(r, 1, uint16_t(SCustom5x5Block::kSize));  // one block of a fixed size is always taken
  r.Extra = extra.data();
  out = fltRecordBytes(r);
}

// ---- plasma: contrast, opacity; the kind (colour, greyscale); the blend mode.
std::vector<std::string> blendModeNames() {
  std::vector<std::string> names;
  for (uint32_t m = 0; m < kBlendModeCount; ++m) names.push_back(layerBlendName(m));
  return names;
}

void packPlasma(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes16();
  SFltPlasma r;
  r.seed = m.seed();
  r.mono = m.choice() == 1 ? 1 : 0;
  r.strength = uint16_t(std::clamp(roundHalfAway(m.value(0) * 256.0f / 100.0f), 0, 65535));
  r.mode = uint8_t(std::clamp(m.listIndex(), 0, int32_t(kBlendModeCount) - 1));
  r.opacity = clampByte(roundHalfAway(m.value(1) * 255.0f / 100.0f));
  writePlasmaRecord(r, out.data());
}

// ---- clouds and rock: contrast, softness, width, height; colours 1 and 2;
// wrap around; the kind (clouds, rock). ruleValues 0 and 1 hold each kind's
// contrast; ruleColours the tool window's colours the dialog opened with.
void cloudsRockEnable(CFilterDialogModel& m) {
  m.setValueEnabled(1, m.choice() == 1);
  m.setValueEnabled(2, m.check(0));
  m.setValueEnabled(3, m.check(0));
}

void cloudsRockRules(CFilterDialogModel& m, int32_t sender) {
  if (sender == kSenderChoice) {
    // The kind left keeps its contrast; the kind chosen shows its own.
    m.ruleValues[size_t(1 - std::clamp(m.choice(), 0, 1))] = m.value(0);
    m.num(0).setValue(m.ruleValues[size_t(std::clamp(m.choice(), 0, 1))]);
    m.setSlider(0, m.num(0).getRatio());
  } else if (sender == kSenderDefaults) {
    m.setColour(0, m.ruleColours[0]);
    m.setColour(1, m.ruleColours[1]);
    m.ruleValues[0] = m.ruleValues[1] = 100.0f;
  }
  cloudsRockEnable(m);
}

void openCloudsRock(CFilterDialogModel& m, const SFilterOpenInfo& info) {
  m.ruleColours = {info.foreground, info.background};
  m.setColour(0, info.foreground);
  m.setColour(1, info.background);
  m.ruleValues[0] = m.ruleValues[1] = m.value(0);
  const float w = float(std::max(info.width, 20)), h = float(std::max(info.height, 20));
  (void)m.num(2).setRange(std::min(m.value(2), w), 20.0f, w);  // w and h are at least 20: the ranges are not empty
  (void)m.num(3).setRange(std::min(m.value(3), h), 20.0f, h);  // as above
  for (size_t i = 0; i < 4; ++i) m.setSlider(i, m.num(i).getRatio());
  cloudsRockEnable(m);
}

void packCloudsRock(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out.assign(size_t(kCloudsRockRecordSize), 0);
  SFltCloudsRock r;
  r.colour1 = m.colour(0);
  r.colour2 = m.colour(1);
  r.seed = m.seed();
  // Without wrap around a tile is the whole layer image (the fields' maxima).
  const float w = m.check(0) ? m.value(2) : m.num(2).valueMax();
  const float h = m.check(0) ? m.value(3) : m.num(3).valueMax();
  r.tileWidth = uint16_t(std::clamp(roundHalfAway(w), 0, 65535));
  r.tileHeight = uint16_t(std::clamp(roundHalfAway(h), 0, 65535));
  r.contrast = uint16_t(std::clamp(roundHalfAway(m.value(0)), 0, 65535));
  r.softness = m.choice() == 1 ? uint16_t(std::clamp(roundHalfAway(m.value(1)), 1, 100)) : 0;
  writeCloudsRockRecord(r, out.data());
}

// ---- zoom blur: amount, centre x and y (from the middle of the area).
void openZoomBlur(CFilterDialogModel& m, const SFilterOpenInfo& info) {
  const float hw = float(std::max(info.areaWidth, 1)) / 2.0f, hh = float(std::max(info.areaHeight, 1)) / 2.0f;
  (void)m.num(1).setRange(0.0f, -hw, hw);  // hw and hh are at least 0.5: the ranges are not empty
  (void)m.num(2).setRange(0.0f, -hh, hh);  // as above
  m.setPicker(m.num(1).getRatio(), m.num(2).getRatio());
}

void packZoomBlur(const CFilterDialogModel& m, std::vector<uint8_t>& out) {
  out = bytes8();
  SFltZoomBlur r;
  r.amount = clampByte(roundHalfAway(m.value(0)));
  r.centreX = int16_t(std::clamp(roundHalfAway(m.value(1)), -32768, 32767));
  r.centreY = int16_t(std::clamp(roundHalfAway(m.value(2)), -32768, 32767));
  r.protect = m.layerProtect();
  r.mode = 1;
  writeZoomBlurRecord(r, out.data());
}

// The threshold half way between the darkest and the lightest grey.
void thresholdRules(CFilterDialogModel& m, int32_t sender) {
  if (sender != kSenderAuto || m.histogram() == nullptr) return;
  const SHistogram& h = *m.histogram();
  m.num(0).setValue(float((h.lowest[SHistogram::kGrey] + h.highest[SHistogram::kGrey] - 1) / 2 + 1));
  m.setSlider(0, m.num(0).getRatio());
}

std::vector<SFilterDialogDef> buildTable() {
  std::vector<SFilterDialogDef> t;
  {
    SFilterDialogDef d{"filterGaussianBlur", kTxCapGaussian};
    d.values = {{kTxAmountA, 0.1f, 10.0f, 1.0f, 0.1f, "%.4g", ESliderKind::Plain, ""}};
    d.pack = &packAmountF32;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterSharpenCustom", kTxCapSharpenCustom};
    d.values = {{kTxAmountA, 0.0f, 1.0f, 0.3f, 0.01f, "%.6g", ESliderKind::Plain, ""}};
    d.opensAtDefaults = true;
    d.pack = &packAmountF32;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterMedian", kTxCapMedian};
    d.values = {{kTxRadius, 1.0f, 100.0f, 8.0f, 1.0f, "%1.0f", ESliderKind::Plain, kPx}};
    d.pack = &packMedian;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterMosaic", kTxCapMosaic};
    d.values = {{kTxCellSize, 2.0f, 255.0f, 16.0f, 1.0f, "%1.0f", ESliderKind::Plain, kPx}};
    d.pack = &packMosaic;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterPosterize", kTxCapPosterize};
    d.values = {{kTxLevels, 2.0f, 254.0f, 4.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""}};
    d.pack = &packPosterize;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterThreshold", kTxCapThreshold};
    d.values = {{kTxThreshold, 1.0f, 255.0f, 128.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""}};
    d.buttons = kFbDefaults | kFbAuto;
    d.defaultsCaption = kTxDefaultsD;
    d.histogramMode = 0;
    d.special = &thresholdRules;
    d.pack = &packThreshold;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterMotionBlur", kTxCapMotionBlur};
    d.values = {angleDef(kTxAngleA, 0.0f),
                {kTxDistanceD, 1.0f, 100.0f, 1.0f, 1.0f, "%1.0f", ESliderKind::Plain, kPx}};
    d.previewInitial = false;
    d.pack = &packMotionBlur;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterRadialBlur", kTxCapZoomBlur};
    d.values = {{kTxAmountA, 1.0f, 100.0f, 1.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""},
                {kTxX, -128.0f, 128.0f, 0.0f, 1.0f, "%1.0f", ESliderKind::None, kPx},
                {kTxY, -128.0f, 128.0f, 0.0f, 1.0f, "%1.0f", ESliderKind::None, kPx}};
    d.pickerLabel = kTxCentre;
    d.previewInitial = false;
    d.open = &openZoomBlur;
    d.pack = &packZoomBlur;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterTwirl", kTxCapTwirl};
    SFilterValueDef a{kTxTurnA, -999.0f, 999.0f, 50.0f, 1.0f, "%1.0f", ESliderKind::CentreLine, kDeg};
    d.values = {centred(a, 0.0f)};
    d.pack = &packTwirl;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterWave", kTxCapWave};
    d.values = {{kTxHWaves, 1.0f, 50.0f, 1.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""},
                {kTxVWaves, 1.0f, 50.0f, 1.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""},
                {kTxHStrength, 0.0f, 100.0f, 10.0f, 1.0f, "%1.0f", ESliderKind::Plain, kPx},
                {kTxVStrength, 0.0f, 100.0f, 10.0f, 1.0f, "%1.0f", ESliderKind::Plain, kPx},
                centred(angleDef(kTxPhase, 0.0f), 0.0f)};
    d.values[4].slider = ESliderKind::Dial;
    d.pack = &packWave;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterPolarCoordinates", kTxCapPolar};
    d.choiceLabel = kTxMode;
    d.choiceItems = {kTxToPolar, kTxToRectangular};
    d.pack = &packPolar;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterRotate", kTxCapRotate};
    SFilterValueDef a = angleDef(kTxAngleA, 0.0f);
    a.format = "%.6g";
    d.values = {a};
    d.buttons = kFbReset;
    d.opensAtDefaults = true;
    d.pack = &packRotate;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterScale", kTxCapScale};
    d.values = {{kTxWidth, 0.0f, 10000.0f, 256.0f, 1.0f, "%1.0f", ESliderKind::None, kPx},
                centred({0, 0.0f, 1600.0f, 100.0f, 1.0f, "%.6g", ESliderKind::Plain, "%"}, 100.0f),
                {kTxHeight, 0.0f, 10000.0f, 256.0f, 1.0f, "%1.0f", ESliderKind::None, kPx},
                centred({0, 0.0f, 1600.0f, 100.0f, 1.0f, "%.6g", ESliderKind::Plain, "%"}, 100.0f)};
    d.checks = {{kTxKeepAspect, true}, {kTxMirrorH, false}, {kTxMirrorV, false}};
    d.buttons = kFbReset;
    d.opensAtDefaults = true;
    d.open = &openScale;
    d.special = &scaleRules;
    d.pack = &packScale;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterBrightnessContrast", kTxCapBrightnessContrast};
    d.values = {centred({kTxBrightness, -100.0f, 100.0f, 0.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""}, 0.0f),
                centred({kTxContrast, -100.0f, 100.0f, 0.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""}, 0.0f)};
    d.checks = {{kTxLinearL, false}};
    d.buttons = kFbDefaults;
    d.defaultsCaption = kTxDefaultsR;
    d.opensAtDefaults = true;
    d.pack = &packBrightnessContrast;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterHueSaturation", kTxCapHueSaturation};
    d.values = {centred(angleDef(kTxHue, 0.0f, ESliderKind::CentreLine), 0.0f),
                centred({kTxSaturation, -100.0f, 100.0f, 0.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""}, 0.0f),
                centred({kTxLightness, -100.0f, 100.0f, 0.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""}, 0.0f)};
    d.checks = {{kTxMonotone, false}, {kTxLinearI, false}};
    d.buttons = kFbDefaults;
    d.defaultsCaption = kTxDefaultsR;
    d.opensAtDefaults = true;
    d.pack = &packHueSaturation;
    d.special = &hueSaturationRules;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterColorBalance", kTxCapColourBalance};
    for (uint32_t label : {kTxRed, kTxGreen, kTxBlue})
      d.values.push_back(centred({label, 0.5f, 2.0f, 1.0f, 0.01f, "%.6g", ESliderKind::Plain, ""}, 1.0f));
    d.checks = {{kTxSyncSliders, false}};
    d.buttons = kFbDefaults;
    d.defaultsCaption = kTxDefaultsE;
    d.opensAtDefaults = true;
    d.pack = &packColourBalance;
    d.special = &colourBalanceRules;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterEmboss", kTxCapEmboss};
    d.values = {angleDef(kTxAngleA, 120.0f),
                {kTxHeight, 0.1f, 100.0f, 3.0f, 0.1f, "%0.6g", ESliderKind::Plain, kPx},
                centred({kTxAmountM, 1.0f, 500.0f, 100.0f, 1.0f, "%1.0f", ESliderKind::Plain, "%"}, 100.0f)};
    d.pack = &packEmboss;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterColorHalftone", kTxCapHalftone};
    d.values = {{kTxDiameter, 3.0f, 255.0f, 8.0f, 1.0f, "%1.0f", ESliderKind::Plain, kPx},
                angleDef(kTxRed, 18.0f), angleDef(kTxGreen, 72.0f), angleDef(kTxBlue, 0.0f)};
    d.pack = &packHalftone;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterNoise", kTxCapNoise};
    d.values = {{kTxAmountA, 0.0f, 512.0f, 1.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""}};
    d.checks = {{kTxGreyscale, false}};
    d.buttons = kFbReseed;
    d.pack = &packNoise;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterDiffuse", kTxCapDiffuse};
    d.values = {{kTxRange, 1.0f, 255.0f, 1.0f, 1.0f, "%1.0f", ESliderKind::Plain, kPx}};
    d.checks = {{kTxRadial, false}};
    d.choiceLabel = kTxMode;
    d.choiceItems = {kTxModeNormal, kTxModeDarker, kTxModeLighter};
    d.buttons = kFbReseed;
    d.pack = &packDiffuse;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterTiles", kTxCapTiles};
    d.values = {{kTxWidth, 8.0f, 512.0f, 32.0f, 1.0f, "%1.0f", ESliderKind::Plain, kPx},
                {kTxOpacity1, 0.0f, 100.0f, 100.0f, 1.0f, "%1.0f", ESliderKind::Plain, "%"},
                {kTxOpacity2, 0.0f, 100.0f, 100.0f, 1.0f, "%1.0f", ESliderKind::Plain, "%"},
                {kTxOpacity3, 0.0f, 100.0f, 100.0f, 1.0f, "%1.0f", ESliderKind::Plain, "%"}};
    d.colours = {{kTxColour1, 0xFF000000u}, {kTxColour2, 0xFF000000u}, {kTxColour3, 0xFF000000u}};
    d.checks = {{kTxColour3, false}};
    d.choiceLabel = kTxShape;
    d.choiceItems = {kTxSquares, kTxTriangles};
    d.open = &openTiles;
    d.special = &tilesRules;
    d.pack = &packTiles;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterCustom5x5", kTxCapCustom};
    const int32_t grid[25] = {0, 0, 0, 0, 0, 0, -2, -3, 0, 0, 0, -3, 4, 3, 0, 0, 0, 3, 2, 0, 0, 0, 0, 0, 0};
    for (int32_t w : grid) d.values.push_back({0, -999.0f, 999.0f, float(w), 1.0f, "%1.0f", ESliderKind::None, ""});
    d.values.push_back({kTxDivisor, 1.0f, 9999.0f, 4.0f, 1.0f, "%1.0f", ESliderKind::None, ""});
    d.values.push_back({kTxOffset, -9999.0f, 9999.0f, 0.0f, 1.0f, "%1.0f", ESliderKind::None, ""});
    d.gridCount = 25;
    d.gridColumns = 5;
    d.pack = &packCustom;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterPlasma", kTxCapPlasma};
    d.values = {centred({kTxContrastN, 1.0f, 1000.0f, 100.0f, 1.0f, "%1.0f", ESliderKind::Plain, "%"}, 100.0f),
                {kTxOpacityO, 1.0f, 100.0f, 100.0f, 1.0f, "%1.0f", ESliderKind::Plain, "%"}};
    d.choiceLabel = kTxKindGroup;
    d.choiceItems = {kTxColourKind, kTxGreyKind};
    d.listLabel = kTxBlendMode;
    d.listItems = &blendModeNames;
    d.buttons = kFbReseed;
    d.pack = &packPlasma;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterCloudsRock", kTxCapCloudsRock};
    d.values = {centred({kTxContrastN, 1.0f, 1000.0f, 100.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""}, 100.0f),
                {kTxSoftness, 1.0f, 100.0f, 50.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""},
                {kTxWidthI, 20.0f, 10000.0f, 256.0f, 1.0f, "%1.0f", ESliderKind::Plain, kPx},
                {kTxHeight, 20.0f, 10000.0f, 256.0f, 1.0f, "%1.0f", ESliderKind::Plain, kPx}};
    d.colours = {{kTxColour1, 0xFFFFFFFFu}, {kTxColour2, 0xFF000000u}};
    d.checks = {{kTxWrapAround, true}};
    d.choiceLabel = kTxKindGroup;
    d.choiceItems = {kTxCloudsKind, kTxRockKind};
    d.buttons = kFbDefaults | kFbReseed;
    d.defaultsCaption = kTxDefaultsD;
    d.open = &openCloudsRock;
    d.special = &cloudsRockRules;
    d.pack = &packCloudsRock;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterLighting", kTxCapLighting};
    auto plain = [](uint32_t label, float lo, float hi, float v, const char* unit) {
      return SFilterValueDef{label, lo, hi, v, 1.0f, "%1.0f", ESliderKind::None, unit};
    };
    d.values = {{kTxIntensity, 1.0f, 500.0f, 300.0f, 1.0f, "%1.0f", ESliderKind::Plain, "%"},
                {kTxLightRange, 1.0f, 500.0f, 100.0f, 1.0f, "%1.0f", ESliderKind::Plain, "%"},
                plain(kTxX, -256.0f, 256.0f, 0.0f, kPx),
                plain(kTxY, -256.0f, 256.0f, 0.0f, kPx),
                plain(kTxZ, 0.0f, 300.0f, 50.0f, "%"),
                angleDef(kTxDirection, 0.0f, ESliderKind::None),
                plain(kTxPitch, 0.0f, 90.0f, 0.0f, kDeg),
                plain(kTxSpread, 0.0f, 180.0f, 0.0f, kDeg),
                centred({kTxLightness, -100.0f, 100.0f, 0.0f, 1.0f, "%1.0f", ESliderKind::Plain, "%"}, 0.0f)};
    d.colours = {{kTxLightColour, 0xFFFCF9E9u}, {kTxAmbientColour, 0xFFFFFEC7u}};
    d.choiceLabel = kTxKind;
    d.choiceItems = {kTxPointLight, kTxWarmLight, kTxSpotLight};
    d.choiceAsList = true;
    d.buttons = kFbDefaults;
    d.defaultsCaption = kTxDefaultsD;
    d.defaultsByRules = true;
    d.opensAtDefaults = true;
    d.open = &openLighting;
    d.special = &lightingRules;
    d.pack = &packLighting;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterGradientMap", kTxCapGradientMap};
    d.checks = {{kTxReverse, false}};
    d.pack = &packGradientMap;
    t.push_back(d);
  }
  {
    SFilterDialogDef d{"filterFloor", kTxCapFloor};
    auto span = [](uint32_t label, float half) {
      SFilterValueDef v{label, -999.0f, 999.0f, 0.0f, 1.0f, "%1.0f", ESliderKind::CentreLine, ""};
      v.wrap = true;
      v.wrapMin = -half;
      v.wrapMax = half;
      v.useCentre = true;
      return v;
    };
    SFilterValueDef heading = span(kTxDirection, 180.0f);
    heading.unit = kDeg;
    SFilterValueDef pitch = span(kTxFloorPitch, 90.0f);
    pitch.unit = kDeg;
    d.values = {span(kTxX, 50.0f),
                centred({kTxY, -100.0f, 100.0f, 0.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""}, 0.0f),
                span(kTxZ, 50.0f),
                heading,
                pitch,
                {kTxProjection, 0.0f, 400.0f, 100.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""},
                {kTxCeilingHeight, 0.0f, 400.0f, 100.0f, 1.0f, "%1.0f", ESliderKind::Plain, ""},
                {kTxFogDistance, 0.0f, 100.0f, 50.0f, 1.0f, "%1.0f", ESliderKind::None, ""},
                {kTxFogOpacity, 0.0f, 100.0f, 100.0f, 1.0f, "%1.0f", ESliderKind::None, "%"}};
    d.checks = {{kTxKeepLayer, true}, {kTxToInfinity, true}, {kTxCeilingPlane, true}, {kTxFloorPlane, true}};
    d.choiceLabel = kTxFog;
    d.choiceItems = {kTxFogColour, kTxFogTransparent};
    d.colours = {{kTxFogColourCell, 0}};
    d.frame = true;
    d.opensAtDefaults = true;
    d.open = &openFloor;
    d.special = &floorRules;
    d.pack = &packFloor;
    t.push_back(d);
  }
  return t;
}

std::map<std::string, SFilterRemembered>& memory() {
  static std::map<std::string, SFilterRemembered> m;
  return m;
}

SFilterDialogValues defaultsOf(const SFilterDialogDef& def) {
  SFilterDialogValues v;
  for (const SFilterValueDef& d : def.values) v.values.push_back(d.initial);
  for (const SFilterCheckDef& c : def.checks) v.checks.push_back(c.initial ? 1 : 0);
  for (const SFilterColourDef& c : def.colours) v.colours.push_back(c.initial);
  return v;
}

}  // namespace

const std::vector<SFilterDialogDef>& filterDialogTable() {
  static const std::vector<SFilterDialogDef> table = buildTable();
  return table;
}

const SFilterDialogDef* filterDialogFor(std::string_view command) {
  for (const SFilterDialogDef& d : filterDialogTable())
    if (command == d.command) return &d;
  return nullptr;
}

SFilterRemembered rememberedFor(const SFilterDialogDef& def) {
  auto it = memory().find(def.command);
  if (it != memory().end()) return it->second;
  SFilterRemembered r;
  r.values = defaultsOf(def);
  r.preview = def.previewInitial;
  return r;
}

void remember(const SFilterDialogDef& def, const SFilterRemembered& r) { memory()[def.command] = r; }

void resetFilterDialogMemory() { memory().clear(); }

CFilterDialogModel::CFilterDialogModel(const SFilterDialogDef& def, uint8_t layerProtect, uint32_t seed,
                                       const SFilterOpenInfo& info)
    : def_(def), seed_(seed), protect_(layerProtect), histogram_(info.histogram) {
  for (const SFilterValueDef& d : def.values) {
    auto n = std::make_unique<TNumMngr>();
    if (d.wrap) {
      n->setWrapMin(d.wrapMin);
      n->setWrapMax(d.wrapMax);
      n->setWrapAround(true);
    }
    (void)n->setRange(d.initial, d.minimum, d.maximum);  // the dialog tables give minimum <= maximum
    n->setValueDefault(d.initial);
    n->Amount = d.step;
    n->AmountLow = d.step;
    n->AmountHigh = d.step;
    if (d.useCentre) {
      n->setValueCenter(d.centre);
      n->UseCenter = true;
    }
    nums_.push_back(std::move(n));
  }
  sliders_.assign(nums_.size(), 0.0f);
  enabled_.assign(nums_.size(), 1);
  checks_.assign(def.checks.size(), 0);
  for (const SFilterColourDef& c : def.colours) colours_.push_back(c.initial);
  colourEnabled_.assign(colours_.size(), 1);
  SFilterRemembered r = rememberedFor(def);
  if (def.opensAtDefaults) r.values.values = defaultsOf(def).values;
  setValues(r.values);
  if (def.open != nullptr) def.open(*this, info);
}

SFilterDialogValues CFilterDialogModel::values() const {
  SFilterDialogValues v;
  for (const auto& n : nums_) v.values.push_back(n->value());
  v.checks = checks_;
  v.choice = choice_;
  v.list = list_;
  v.colours = colours_;
  return v;
}

void CFilterDialogModel::setValues(const SFilterDialogValues& v) {
  for (size_t i = 0; i < checks_.size() && i < v.checks.size(); ++i) checks_[i] = v.checks[i];
  for (size_t i = 0; i < colours_.size() && i < v.colours.size(); ++i) colours_[i] = v.colours[i];
  choice_ = v.choice;
  list_ = v.list;
  // The checks may narrow a range (monotone saturation): apply them first.
  if (def_.special != nullptr) def_.special(*this, kSenderDefaults);
  for (size_t i = 0; i < nums_.size() && i < v.values.size(); ++i) {
    nums_[i]->setValue(v.values[i]);
    sliders_[i] = nums_[i]->getRatio();
  }
}

void CFilterDialogModel::resetValues() {
  for (size_t i = 0; i < nums_.size(); ++i) {
    nums_[i]->resetToDefault();
    sliders_[i] = nums_[i]->getRatio();
  }
}

EPreviewRequest CFilterDialogModel::controlChanged(int32_t sender) {
  EPreviewRequest r = EPreviewRequest::None;
  const int32_t n = static_cast<int32_t>(nums_.size());
  if (sender >= kSenderValue && sender < kSenderValue + n) {
    const size_t i = size_t(sender - kSenderValue);
    sliders_[i] = nums_[i]->getRatio();
    r = EPreviewRequest::Later;
  } else if (sender >= kSenderSlider && sender < kSenderSlider + n) {
    const size_t i = size_t(sender - kSenderSlider);
    nums_[i]->setRatio(sliders_[i]);
    r = EPreviewRequest::Later;
  } else if (sender >= kSenderCheck && sender < kSenderCheck + static_cast<int32_t>(checks_.size())) {
    r = EPreviewRequest::Now;
  } else if (sender == kSenderChoice || sender == kSenderReseed ||
             (sender >= kSenderColour && sender < kSenderColour + static_cast<int32_t>(colours_.size()))) {
    r = EPreviewRequest::Now;
  } else if (sender == kSenderDefaults) {
    if (!def_.defaultsByRules) {
      for (size_t i = 0; i < checks_.size(); ++i) checks_[i] = def_.checks[i].initial ? 1 : 0;
      resetValues();
    }
    r = EPreviewRequest::Now;
  } else if (sender == kSenderList) {
    r = EPreviewRequest::Later;
  } else if (sender == kSenderAuto) {
    r = EPreviewRequest::Now;
  } else if (sender == kSenderReset) {
    resetValues();
    r = EPreviewRequest::Now;
  }
  if (def_.pickerLabel != 0 && nums_.size() > 2) {
    if (sender == kSenderPicker) {
      nums_[1]->setRatio(pickerX_);
      nums_[2]->setRatio(pickerY_);
      r = EPreviewRequest::Later;
    } else if (sender == kSenderValue + 1 || sender == kSenderValue + 2) {
      setPicker(nums_[1]->getRatio(), nums_[2]->getRatio());
    }
  }
  if (def_.special != nullptr && r != EPreviewRequest::None) def_.special(*this, sender);
  // A range the rules widened again takes the default now.
  if (sender == kSenderDefaults && !def_.defaultsByRules) resetValues();
  return r;
}

std::vector<uint8_t> CFilterDialogModel::record() const {
  std::vector<uint8_t> out;
  if (def_.pack != nullptr) def_.pack(*this, out);
  return out;
}

}  // namespace pg
