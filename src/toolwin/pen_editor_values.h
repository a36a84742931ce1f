#pragma once
// The values behind the two frames of the brush editor, without widgets:
// the paint values of a pen method (kind, name, icon, density, spacing, the
// three effect values, the pressure response) and the values of its nib
// (radius or image scale, minimum radius, flattening, angle, falloff and
// edge). Each loads from and stores into a TPaintParam; the frames show the
// value models and call back on every user change.
#include <cstdint>
#include <memory>
#include <string>

#include "core/planes.h"
#include "ui/num_mngr.h"

namespace pg {

class TPaintParam;

// The pen-method kinds the kind box offers: index + 9.
inline constexpr int32_t kPenMtdKindCount = 9;
inline constexpr uint8_t kFirstPenMtdKind = 9;

class CPenMtdEditorValues {
 public:
  CPenMtdEditorValues();

  TNumMngr NumDensity;  // per cent, 1..100
  TNumMngr NumSpace;    // per cent, 1..200
  TNumMngr NumEffect[3];
  TNumMngr NumGamma;
  std::string name;
  bool pressureDensity = false;
  bool pressureRadius = false;

  int32_t kindIndex() const { return kindIndex_; }
  uint8_t kind() const { return static_cast<uint8_t>(kindIndex_ + kFirstPenMtdKind); }
  // An index outside the box is refused.
  bool setKindIndex(int32_t index);

  // False without parameters (nothing changes) or when the brush's icon cannot
  // be copied, which would drop it when the values are stored back.
  [[nodiscard]] bool load(const TPaintParam* p);
  // Kind, name, opacity, spacing, the effect values the kind offers, gamma,
  // the pressure switches and the icon (the own one or none).
  void store(TPaintParam& p) const;

  // Whether the kind offers effect row i (0..2), and its caption with the
  // access key "(&1)".."(&3)".
  bool effectEnabled(int32_t i) const;
  std::string effectCaption(int32_t i) const;

  // The icon shown: the own one, else the kind's built-in one (may be null).
  const TMTC* shownIcon() const;
  bool hasOwnIcon() const { return ownIcon_ != nullptr; }
  // Takes a copy as the own icon; false when it cannot be had.
  [[nodiscard]] bool setOwnIcon(const TMTC& icon);
  void removeOwnIcon() { ownIcon_.reset(); }

 private:
  int32_t kindIndex_ = 0;
  std::unique_ptr<TMTC> ownIcon_;
};

class CPenNibEditorValues {
 public:
  CPenNibEditorValues();

  TNumMngr NumRadius;  // pixels, 0.1..200 (parametric nib)
  TNumMngr NumScale;   // per cent, narrowed to what the image allows
  TNumMngr NumMinRad;  // per cent, 1..100
  TNumMngr NumAspect;  // per cent of flattening, 0..99
  TNumMngr NumDegree;  // degrees, wraps into -180..180
  TNumMngr NumFlat;    // per cent, the falloff's first value
  TNumMngr NumAdd;     // per cent, the falloff's second value
  uint8_t falloffType = 0;
  bool antiAlias = true;

  // The nib image as the frame shows it (ink 255); none for a parametric nib.
  bool hasImage() const { return image_ != nullptr; }
  const TChannel* image() const { return image_.get(); }

  [[nodiscard]] bool load(const TPaintParam* p);
  void store(TPaintParam& p) const;

 private:
  // Takes the stored bytes (255 - ink); a parametric nib when they are
  // missing, short or of no size.
  void loadImage(const TPaintParam& p);
  std::unique_ptr<TChannel> image_;
};

// The falloff type each of the six falloff buttons chooses, in button order.
inline constexpr uint8_t kFalloffButtonTypes[6] = {6, 1, 5, 0, 4, 3};
// The button of a falloff type; -1 for the types without one (2, 7).
[[nodiscard]] int32_t falloffButtonOf(uint8_t type);

// The scale range in per cent of an image nib: [ceil(lo * 100),
// floor(hi * 100)] within 1..500; a range that rounding leaves empty is
// pinned to its upper end.
void nibScalePercentRange(float lo, float hi, float& minPercent, float& maxPercent);

}  // namespace pg
