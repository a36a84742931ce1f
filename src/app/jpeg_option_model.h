#pragma once
// The JPEG export settings dialog without its widgets: the quality presets,
// the quality and smoothing fields, the non-linear quality slider and the
// record handed to the JPEG writer.
#include <array>
#include <cstdint>

#include "io/image_codecs.h"

namespace pg {

class CAppProfile;

// Normalised quality v (0..1) to slider position 5v / (13 - 8v) and back
// (13p / (8p + 5)); the middle of the slider stands for 72.2 % of the range.
double jpegSliderPosition(double v);
double jpegSliderValue(double position);

inline constexpr int32_t kJpegQualityMin = 10;
inline constexpr int32_t kJpegQualityMax = 100;
inline constexpr int32_t kJpegCustomChoice = 4;

// The four presets ("最高", "高", "標準", "低").
struct SJpegPresets {
  std::array<int32_t, 4> values{100, 90, 75, 50};
  // The preset's value; any index outside 0..3 takes "高".
  int32_t value(int32_t index) const;
  // 0 when 2q >= v0 + v1, 1 when 2q >= v1 + v2, 2 when 2q >= v2 + v3, else 3.
  int32_t nearest(double quality) const;
};

// The record the dialog answers: the quality choice (0..3 a preset whose
// value equals the quality, 4 a custom quality), the quality, the smoothing
// and the two flags.
struct SJpegOptionRecord {
  int32_t choice = 1;
  int32_t quality = 90;
  int32_t smoothing = 0;
  bool greyscale = false;
  bool progressive = false;
  SJpegSaveOptions saveOptions() const { return {quality, smoothing, progressive, greyscale}; }
};

class CJpegOptionModel {
 public:
  // From the preferences: a stored choice 0..3 takes its preset's value,
  // any other choice the stored quality and the nearest preset.
  explicit CJpegOptionModel(const CAppProfile& prefs);
  CJpegOptionModel(const SJpegPresets& presets, int32_t storedChoice, int32_t storedQuality, int32_t smoothing,
                   bool progressive);

  void choosePreset(int32_t index);
  void setQuality(double quality);  // clamped to 10..100; the list follows
  void setSliderPosition(double position);
  void setSmoothing(double smoothing);  // clamped to 0..100
  void setGreyscale(bool on) { greyscale_ = on; }
  void setProgressive(bool on) { progressive_ = on; }

  int32_t presetIndex() const { return preset_; }
  double quality() const { return quality_; }
  double sliderPosition() const;
  double smoothing() const { return smoothing_; }
  bool greyscale() const { return greyscale_; }
  bool progressive() const { return progressive_; }
  SJpegOptionRecord record() const;
  // OK: the choice, quality, smoothing, whether smoothing is used and the
  // progressive flag go to the preferences (the greyscale flag does not).
  void store(CAppProfile& prefs) const;

 private:
  SJpegPresets presets_;
  int32_t preset_ = 1;
  double quality_ = 90;
  double smoothing_ = 0;
  bool greyscale_ = false;
  bool progressive_ = false;
};

}  // namespace pg
