#include "app/new_document_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/units.h"
#include "platform/string_table.h"

namespace pg {

namespace {

using K = PaperTypeKind;

constexpr SPaperType sep() { return {K::Separator, "", 0, 0.0f, 0.0f, 0.0f, -1}; }
constexpr SPaperType user(std::string_view name, int i) { return {K::User, name, 0, 0.0f, 0.0f, 0.0f, i}; }
constexpr SPaperType px(std::string_view name, float l, float s) { return {K::Fixed, name, kUnitPixel, 72, l, s, -1}; }
constexpr SPaperType mm(std::string_view name, float l, float s) { return {K::Fixed, name, kUnitMm, 150, l, s, -1}; }
constexpr SPaperType in(std::string_view name, float l, float s) { return {K::Fixed, name, kUnitInch, 150, l, s, -1}; }

constexpr std::array<SPaperType, 50> kTypes = {{
    {K::Custom, "カスタム", kUnitPixel, 72, 512, 512, -1},
    sep(),
    user("1", 0), user("2", 1), user("3", 2), user("4", 3), user("5", 4),
    sep(),
    px("QVGA", 320, 240), px("VGA", 640, 480), px("SVGA", 800, 600), px("XGA", 1024, 768), px("SXGA", 1280, 1024),
    px("UXGA", 1600, 1200),
    sep(),
    mm("A6", 148, 105), mm("A5", 210, 148), mm("A4", 297, 210),
    sep(),
    mm("B6", 176, 125), mm("B5", 250, 176), mm("B4", 353, 250),
    sep(),
    mm("B6 JIS", 182, 128), mm("B5 JIS", 257, 182), mm("B4 JIS", 364, 257),
    sep(),
    mm("F0", 180, 140), mm("F2", 240, 190), mm("F4", 333, 242),
    sep(),
    mm("M0", 180, 120), mm("M2", 240, 160), mm("M4", 333, 220),
    sep(),
    mm("P0", 180, 100), mm("P2", 240, 140), mm("P4", 333, 190),
    sep(),
    mm("官製はがき", 148, 100), in("レターサイズ", 11, 8.5f), in("リーガルサイズ", 14, 8.5f),
    sep(),
    mm("L判", 127, 89), mm("キャビネ", 165, 120), mm("2L判", 178, 127), in("八切り", 8, 6), in("六切り", 10, 8),
    in("四切り", 12, 10), in("大四切り", 14, 11),
}};

// The fixed presets looked up by size start with the screen sizes.
constexpr int kFirstLookupPosition = 8;

int32_t pixelsOf(int32_t unit, float resolution, float length) {
  double p = std::trunc(static_cast<double>(convertUnit(unit, kUnitPixel, resolution, length)) + 0.5);
  if (!(p >= 1.0)) return 1;  // NaN included
  return p > kMaxDocumentSide ? kMaxDocumentSide : static_cast<int32_t>(p);
}

std::string format(const char* pattern, double a) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, a);
  return text;
}

}  // namespace

SPaperPreset sanitizedPaperPreset(const SPaperPreset& stored) {
  SPaperPreset p = stored;
  const SPaperPreset defaults;
  if (p.unit < kUnitPixel || p.unit > kUnitMm) p.unit = kUnitPixel;
  if (p.resolution < 1 || p.resolution > kMaxDocumentSide) p.resolution = defaults.resolution;
  if (!(std::isfinite(p.width) && p.width > 0)) p.width = defaults.width;
  if (!(std::isfinite(p.height) && p.height > 0)) p.height = defaults.height;
  return p;
}

int paperTypeCount() { return static_cast<int>(kTypes.size()); }

const SPaperType& paperType(int position) { return kTypes[std::clamp(position, 0, paperTypeCount() - 1)]; }

int findPaperTypeByName(std::string_view name) {
  for (int i = 0; i < paperTypeCount(); ++i)
    if (kTypes[i].kind != K::Separator && kTypes[i].name == name) return i;
  return -1;
}

namespace {

// Whether a fixed preset has this size in pixels, in either orientation.
bool fixedTypeMatches(const SPaperType& t, int32_t widthPixels, int32_t heightPixels) {
  if (t.kind != K::Fixed) return false;
  int32_t l = pixelsOf(t.unit, t.resolution, t.longSide);
  int32_t s = pixelsOf(t.unit, t.resolution, t.shortSide);
  return (widthPixels == l && heightPixels == s) || (widthPixels == s && heightPixels == l);
}

}  // namespace

int findFixedPaperType(int32_t widthPixels, int32_t heightPixels) {
  for (int i = kFirstLookupPosition; i < paperTypeCount(); ++i)
    if (fixedTypeMatches(kTypes[i], widthPixels, heightPixels)) return i;
  return -1;
}

CNewDocumentModel::CNewDocumentModel(const std::array<SPaperPreset, kUserPaperPresetCount>& userPresets,
                                     int32_t clipboardWidth, int32_t clipboardHeight) {
  for (int i = 0; i < kUserPaperPresetCount; ++i) user_[i] = sanitizedPaperPreset(userPresets[i]);
  custom_ = {kUnitPixel, 72, 512.0f, 512.0f, false};
  if (clipboardWidth > 0 && clipboardHeight > 0) {
    custom_.width = static_cast<float>(std::min(clipboardWidth, kMaxDocumentSide));
    custom_.height = static_cast<float>(std::min(clipboardHeight, kMaxDocumentSide));
    landscape_ = clipboardWidth >= clipboardHeight;
    type_ = 0;
  } else {
    type_ = 2;  // the first user preset, in its own orientation
    landscape_ = user_[0].width >= user_[0].height;
  }
  applyType();
}

void CNewDocumentModel::selectType(int position) {
  position = std::clamp(position, 0, paperTypeCount() - 1);
  if (kTypes[position].kind == K::Separator) position += position >= type_ ? 1 : -1;
  type_ = std::clamp(position, 0, paperTypeCount() - 1);
  applyType();
}

void CNewDocumentModel::applyType() {
  const SPaperType& t = kTypes[type_];
  SPaperPreset src;
  switch (t.kind) {
    case K::Custom: src = custom_; break;
    case K::User:
      src = user_[t.userIndex];
      transparent_ = src.transparent;
      break;
    default: src = {t.unit, static_cast<int32_t>(t.resolution), t.longSide, t.shortSide, false}; break;
  }
  unit_ = src.unit;
  resolution_ = static_cast<float>(src.resolution);
  float longSide = std::max(src.width, src.height);
  float shortSide = std::min(src.width, src.height);
  width_ = landscape_ ? longSide : shortSide;
  height_ = landscape_ ? shortSide : longSide;
  clampAll();
}

void CNewDocumentModel::resolutionLimits(float& min, float& max) const {
  float inches = unit_ == kUnitPixel ? 0.0f : convertUnit(unit_, kUnitInch, resolution_, std::max(width_, height_));
  resolutionLimitsForSize(min, max, inches);
}

void CNewDocumentModel::sizeLimits(float& min, float& max) const { unitSizeLimits(min, max, unit_, resolution_); }

void CNewDocumentModel::clampAll() {
  float lo, hi;
  resolutionLimits(lo, hi);
  resolution_ = std::clamp(resolution_, lo, hi);
  sizeLimits(lo, hi);
  width_ = std::clamp(width_, lo, hi);
  height_ = std::clamp(height_, lo, hi);
}

void CNewDocumentModel::afterEdit() {
  const SPaperType& t = kTypes[type_];
  SPaperPreset now{unit_, static_cast<int32_t>(std::lround(resolution_)), width_, height_, transparent_};
  if (t.kind == K::User) {
    user_[t.userIndex] = now;
    return;
  }
  if (fixedTypeMatches(t, pixelWidth(), pixelHeight())) return;  // still the selected preset
  int found = findFixedPaperType(pixelWidth(), pixelHeight());
  if (found >= 0) {
    type_ = found;
  } else {
    type_ = 0;
    custom_ = now;
  }
}

void CNewDocumentModel::setUnit(int32_t unit) {
  if (unit < kUnitPixel || unit > kUnitMm || unit == unit_) return;
  width_ = convertUnit(unit_, unit, resolution_, width_);
  height_ = convertUnit(unit_, unit, resolution_, height_);
  unit_ = unit;
  clampAll();
  afterEdit();
}

void CNewDocumentModel::setResolution(float resolution) {
  if (!std::isfinite(resolution)) return;
  resolution_ = resolution;
  clampAll();
  afterEdit();
}

void CNewDocumentModel::setSide(float& side, float length) {
  if (!std::isfinite(length)) return;
  side = length;
  clampAll();
  followOrientation();
  afterEdit();
}

void CNewDocumentModel::setWidth(float width) { setSide(width_, width); }
void CNewDocumentModel::setHeight(float height) { setSide(height_, height); }

void CNewDocumentModel::followOrientation() {
  if (width_ != height_) landscape_ = width_ > height_;
}

void CNewDocumentModel::setLandscape(bool landscape) {
  if (landscape == landscape_) return;
  landscape_ = landscape;
  float longSide = std::max(width_, height_);
  float shortSide = std::min(width_, height_);
  width_ = landscape ? longSide : shortSide;
  height_ = landscape ? shortSide : longSide;
  afterEdit();
}

void CNewDocumentModel::setTransparent(bool transparent) {
  transparent_ = transparent;
  if (kTypes[type_].kind == K::User) afterEdit();
}

int32_t CNewDocumentModel::toPixels(float length) const { return pixelsOf(unit_, resolution_, length); }

SNewDocumentSettings CNewDocumentModel::result(const std::string& fileName) const {
  SNewDocumentSettings s;
  s.fileName = fileName;
  s.width = pixelWidth();
  s.height = pixelHeight();
  s.resolution = static_cast<int32_t>(std::lround(resolution_));
  s.transparent = transparent_;
  return s;
}

std::string CNewDocumentModel::lengthText(float value) const {
  return format(unit_ == kUnitPixel ? "%1.0f" : "%1.6g", value);
}

std::string CNewDocumentModel::typeSizeText(int position) const {
  const SPaperType& t = paperType(position);
  SPaperPreset src;
  switch (t.kind) {
    case K::Separator: return {};
    case K::Custom: src = custom_; break;
    case K::User: src = user_[t.userIndex]; break;
    default: src = {t.unit, static_cast<int32_t>(t.resolution), t.longSide, t.shortSide, false}; break;
  }
  std::string unit(unitName(src.unit));
  char text[96];
  std::snprintf(text, sizeof text, "%0.5g %s %0.5g %s", src.width, unit.c_str(), src.height, unit.c_str());
  return text;
}

std::string paperTypeCaption(std::string_view name) {
  static constexpr std::string_view kWorded[] = {"カスタム", "官製はがき", "レターサイズ", "リーガルサイズ", "L判", "キャビネ",
                                                 "2L判",     "八切り",     "六切り",       "四切り",         "大四切り"};
  constexpr uint32_t kFirstCaptionId = 66510;
  for (size_t i = 0; i < std::size(kWorded); ++i)
    if (kWorded[i] == name) {
      std::string text = resString(kFirstCaptionId + uint32_t(i));
      if (!text.empty()) return text;
    }
  return std::string(name);
}

}  // namespace pg
