#include "app/jpeg_option_model.h"

#include <algorithm>
#include <cmath>

#include "app/app_profile.h"

namespace pg {
namespace {

int32_t roundHalfUp(double v) { return static_cast<int32_t>(std::floor(v + 0.5)); }

}  // namespace

double jpegSliderPosition(double v) { return 5.0 * v / (13.0 - 8.0 * v); }
double jpegSliderValue(double p) { return 13.0 * p / (8.0 * p + 5.0); }

int32_t SJpegPresets::value(int32_t index) const {
  return index >= 0 && index < 4 ? values[static_cast<size_t>(index)] : values[1];
}

int32_t SJpegPresets::nearest(double q) const {
  if (2 * q >= values[0] + values[1]) return 0;
  if (2 * q >= values[1] + values[2]) return 1;
  if (2 * q >= values[2] + values[3]) return 2;
  return 3;
}

CJpegOptionModel::CJpegOptionModel(const CAppProfile& p)
    : CJpegOptionModel(SJpegPresets{{p.jpegQVHigh, p.jpegQHigh, p.jpegQStd, p.jpegQLow}}, p.jpegQType, p.jpegQuality,
                       p.jpegValSmooth, p.jpegUseProgressive) {}

CJpegOptionModel::CJpegOptionModel(const SJpegPresets& presets, int32_t storedChoice, int32_t storedQuality,
                                   int32_t smoothing, bool progressive)
    : presets_(presets), progressive_(progressive) {
  if (storedChoice >= 0 && storedChoice < 4) {
    preset_ = storedChoice;
    quality_ = std::clamp<double>(presets_.value(storedChoice), kJpegQualityMin, kJpegQualityMax);
  } else {
    setQuality(storedQuality);
  }
  setSmoothing(smoothing);
}

void CJpegOptionModel::choosePreset(int32_t index) {
  preset_ = std::clamp(index, 0, 3);
  quality_ = std::clamp<double>(presets_.value(preset_), kJpegQualityMin, kJpegQualityMax);
}

void CJpegOptionModel::setQuality(double quality) {
  quality_ = std::clamp<double>(quality, kJpegQualityMin, kJpegQualityMax);
  preset_ = presets_.nearest(quality_);
}

void CJpegOptionModel::setSliderPosition(double position) {
  const double v = jpegSliderValue(std::clamp(position, 0.0, 1.0));
  setQuality(kJpegQualityMin + v * (kJpegQualityMax - kJpegQualityMin));
}

double CJpegOptionModel::sliderPosition() const {
  return jpegSliderPosition((quality_ - kJpegQualityMin) / (kJpegQualityMax - kJpegQualityMin));
}

void CJpegOptionModel::setSmoothing(double smoothing) { smoothing_ = std::clamp(smoothing, 0.0, 100.0); }

SJpegOptionRecord CJpegOptionModel::record() const {
  SJpegOptionRecord r;
  r.quality = roundHalfUp(quality_);
  r.choice = presets_.value(preset_) == r.quality && quality_ == r.quality ? preset_ : kJpegCustomChoice;
  r.smoothing = roundHalfUp(smoothing_);
  r.greyscale = greyscale_;
  r.progressive = progressive_;
  return r;
}

void CJpegOptionModel::store(CAppProfile& prefs) const {
  const SJpegOptionRecord r = record();
  prefs.jpegQType = r.choice;
  prefs.jpegQuality = r.quality;
  prefs.jpegValSmooth = r.smoothing;
  prefs.jpegUseSmooth = r.smoothing > 0;
  prefs.jpegUseProgressive = r.progressive;
}

}  // namespace pg
