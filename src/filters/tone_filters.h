#pragma once
// Three colour adjustments: brightness and contrast, hue and saturation, and
// colour balance (a gamma per channel). Every kernel keeps each pixel's alpha
// and moves its colour bytes toward the adjusted colour by the selection
// weight (lerpPixelRgb): an unselected pixel stays as it was.
//
// Records come from dialogs or from recordings; values outside the dialogs'
// ranges are clamped into them before any table is built (a recorded
// lightness beyond 128 would write past the lightness table, a contrast
// beyond 142 or a saturation beyond 100 divides by zero or below it).
#include <array>
#include <cstddef>
#include <cstdint>

namespace pg {

struct SFlt4Context;

// ---- brightness and contrast ---------------------------------------------------

struct SFltBrightnessContrast {
  static constexpr size_t kSize = 16;
  int32_t Brightness = 0;  // -100..100
  int32_t Contrast = 0;    // -100..100
  uint8_t Linear = 0;      // 0 curve method, else linear method
  std::array<uint8_t, 7> Reserved{};

  static SFltBrightnessContrast read(const uint8_t* p);
  void write(uint8_t* out) const;
  // Brightness and contrast clamped to -100..100.
  SFltBrightnessContrast clamped() const;
  friend bool operator==(const SFltBrightnessContrast&, const SFltBrightnessContrast&) = default;
};

// Entry i, B = G = R: clamp(((b - 127 + i) * num) div den + b + 127), num and
// den the contrast's 16.16 slope. b, c within -100..100.
void buildBrightnessContrastLinearTable(int32_t b, int32_t c, std::array<uint32_t, 256>& table);
// Entry i, B = G = R: clamp(trunc(i + D[i] * 255)), D the brightness power
// curve's and the two contrast half-curves' deltas (single precision).
void buildBrightnessContrastCurveTable(int32_t b, int32_t c, std::array<uint32_t, 256>& table);

// The two methods applied over the context (record already clamped).
[[nodiscard]] bool brightnessContrastLinear(const SFlt4Context* ctx, const SFltBrightnessContrast& rec);
[[nodiscard]] bool brightnessContrastCurve(const SFlt4Context* ctx, const SFltBrightnessContrast& rec);
// BGRA8, alpha kept: colour bytes toward the brightness/contrast table's
// entry by the selection weight. Record size 16.
[[nodiscard]] bool brightnessContrast4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

// ---- hue and saturation --------------------------------------------------------

struct SFltHueSaturation {
  static constexpr size_t kSize = 16;
  int32_t Hue = 0;         // degrees; used modulo 360
  int32_t Saturation = 0;  // -100..100
  int32_t Lightness = 0;   // -100..100
  uint8_t Monotone = 0;
  uint8_t Linear = 0;
  std::array<uint8_t, 2> Reserved{};

  static SFltHueSaturation read(const uint8_t* p);
  void write(uint8_t* out) const;
  // Saturation and lightness clamped to -100..100.
  SFltHueSaturation clamped() const;
  friend bool operator==(const SFltHueSaturation&, const SFltHueSaturation&) = default;
};

// The tables of one hue/saturation record (clamped), all 16.16 but the
// linear method's lightness bytes.
struct SHueSatTables {
  int32_t H = 0;            // (hue + 360) mod 360, in 0..359
  bool HueSatKept = false;  // h = s = 0, monotone off: the linear method maps the bytes only
  std::array<int32_t, 360> Hue{};
  std::array<int32_t, 256> Sat{};
  std::array<int32_t, 256> Light{};     // curve method: 16.16 levels
  std::array<uint8_t, 256> LightByte{};  // linear method
};
// The record is clamped first.
void buildHueSatTables(const SFltHueSaturation& rec, SHueSatTables& t);

// One pixel (B, G, R; alpha ignored) through the curve method's tables:
// HLS, H, S and L each replaced by its table's entry, back to a pixel
// (alpha 0).
uint32_t hueSatCurvePixel(const SHueSatTables& t, uint32_t p);
// The linear method: H and S through their tables (L kept), back to a pixel,
// then B, G and R through the lightness bytes. With hue and saturation kept
// only the lightness bytes apply.
uint32_t hueSatLinearPixel(const SHueSatTables& t, uint32_t p);

// The two methods over the context (record already clamped). They remember
// the results of recent colours; the reference forms below map every pixel
// afresh and give the same pixels.
[[nodiscard]] bool hueSaturationLinear(const SFlt4Context* ctx, const SFltHueSaturation& rec);
[[nodiscard]] bool hueSaturationCurve(const SFlt4Context* ctx, const SFltHueSaturation& rec);
namespace reference {
[[nodiscard]] bool hueSaturationLinear(const SFlt4Context* ctx, const SFltHueSaturation& rec);
[[nodiscard]] bool hueSaturationCurve(const SFlt4Context* ctx, const SFltHueSaturation& rec);
}  // namespace reference
// BGRA8, alpha kept: colour bytes toward the hue/saturation/lightness result
// by the selection weight. Record size 16.
[[nodiscard]] bool hueSaturation4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

// ---- colour balance ------------------------------------------------------------

struct SFltColorBalance {
  static constexpr size_t kSize = 16;
  float GammaR = 1.0f;  // 0.5..2.0
  float GammaG = 1.0f;
  float GammaB = 1.0f;
  std::array<uint8_t, 4> Reserved{};

  static SFltColorBalance read(const uint8_t* p);
  void write(uint8_t* out) const;
  // Each gamma clamped to 0.5..2.0; a gamma that is not a number becomes 1.0.
  SFltColorBalance clamped() const;
};

// Entry i: each channel clamp(trunc((i / 255)^gamma * 255)), single precision.
void buildColorBalanceTable(const SFltColorBalance& rec, std::array<uint32_t, 256>& table);
// BGRA8, alpha kept: each colour byte toward its channel's gamma curve by the
// selection weight. Record size 16.
[[nodiscard]] bool colorBalance4Kernel(const SFlt4Context* ctx, const void* param, int32_t size);

}  // namespace pg
