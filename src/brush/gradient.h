#pragma once
// Gradients: colour stops, the geometry that maps a pixel to a colour, the
// presets and the preset list.
//
//   CColorSlotGroup  a named list of colour stops (SColorSlot, 24 bytes each)
//   CGradObj         one preset: an id, a stop group and a repeat record
//   CGradation       shape, two points, repeat and mirror over a stop group;
//                    evaluate(x, y) is the colour of one pixel
//   CGradMngr        the preset list (gradient_mngr.h)
//
// Colours here are TColor values: red in the low byte, then green, blue. In a
// stored stop the high byte is a colour-source marker: 0 takes the first
// (foreground) colour, 1 the second (background) colour, anything else is a
// fixed colour. In a colour answered by colorAt or evaluate the high byte is
// the stop's opacity instead. Positions and weights are 16.16 fixed point;
// 0x10000 is the whole gradient.
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/colour.h"
#include "core/fixed_point.h"
#include "core/rect.h"

namespace pg {

class TMTC;

// A stop group never holds this many slots (2730 x 24 = 65520 bytes).
inline constexpr int32_t kColorSlotLimit = 2730;
inline constexpr int32_t kGradOne = 0x10000;

// One colour stop. The layout is the stored one (files and recordings carry
// the 24 bytes field by field in this order).
struct SColorSlot {
  uint8_t Used = 0;        // 1 for a set stop
  uint8_t Enabled = 0;     // 1 for a set stop; a stop counts only when both are non-zero
  uint8_t Flag = 1;
  uint8_t Opacity = 255;
  int32_t Index = 0;       // the slot's index when it was reset
  uint32_t Color = 0xFF000000u;  // TColor with the source marker in the high byte
  int32_t Weight = 0;      // length of the interval to the next used stop, any unit
  int32_t Start = 0;       // 16.16, computed by normalize
  int32_t Length = 0;      // 16.16, computed by normalize

  bool isSet() const { return Used != 0 && Enabled != 0; }
  // The colour this stop contributes: its colour with the opacity in the high byte.
  uint32_t contribution() const { return (Color & 0x00FFFFFFu) | (static_cast<uint32_t>(Opacity) << 24); }
  friend bool operator==(const SColorSlot&, const SColorSlot&) = default;
};
static_assert(sizeof(SColorSlot) == 24);

// A reset slot: not used, flag 1, opacity 255, colour 0xFF000000, the index
// given, the rest 0.
SColorSlot resetColorSlot(int32_t index);

// Each byte of a moved toward b by u / 65536 (0 <= u <= 0x10000):
// c := a + floor((b - a) * u / 65536), all four bytes.
[[nodiscard]] inline uint32_t lerpColorFix(uint32_t a, uint32_t b, int32_t u) {
  uint32_t r = 0;
  for (int i = 0; i < 4; ++i) {
    const int32_t ca = static_cast<int32_t>((a >> (8 * i)) & 0xFFu);
    const int32_t cb = static_cast<int32_t>((b >> (8 * i)) & 0xFFu);
    r |= static_cast<uint32_t>(ca + (((cb - ca) * u) >> 16)) << (8 * i);
  }
  return r;
}

class CColorSlotGroup {
 public:
  // Create(step) / init(step): step := max(4, step); step reset slots; empty;
  // name "untitled".
  explicit CColorSlotGroup(int32_t step = 4);
  CColorSlotGroup(const CColorSlotGroup&) = default;
  CColorSlotGroup& operator=(const CColorSlotGroup&) = default;

  void init(int32_t step);
  // Frees and re-inits; a step below 1 keeps the old step.
  void reset(int32_t step);

  // False when n >= kColorSlotLimit (or negative); otherwise the capacity
  // grows by whole steps until it holds n slots, new slots reset.
  [[nodiscard]] bool ensureCapacity(int32_t n);
  // Copies the slot to index i (0 <= i < kColorSlotLimit), growing; raises
  // the last index to i. False (nothing changed) for an index out of range.
  [[nodiscard]] bool putSlot(int32_t i, const SColorSlot& slot);
  // A set stop (used 1, enabled 1, start and length 0) stored with putSlot.
  [[nodiscard]] bool putColor(int32_t i, TColor colour, uint8_t opacity, int32_t weight);

  // The slot for 0 <= i <= last index, else nullptr.
  const SColorSlot* getSlot(int32_t i) const;
  [[nodiscard]] SColorSlot* getSlot(int32_t i);
  // The stops 0..last index: their address and byte size; false when empty.
  [[nodiscard]] bool getSlots(const SColorSlot*& data, int64_t& byteSize) const;

  // Used-stop navigation over 0..last index; -1 when none.
  [[nodiscard]] int32_t firstUsed() const;
  [[nodiscard]] int32_t lastUsed() const;
  [[nodiscard]] int32_t nextUsed(int32_t i) const;
  [[nodiscard]] int32_t prevUsed(int32_t i) const;

  // 1 <= i <= last index: later slots move down one place, the former last
  // slot is reset, last index - 1. False otherwise.
  [[nodiscard]] bool removeSlot(int32_t i);
  // Removes a used stop strictly between the first and last used, merging its
  // interval into the one before it; then normalizes. False otherwise.
  [[nodiscard]] bool removeStop(int32_t i);

  // Recomputes the first and last used index, the used count, and every used
  // stop's start and length from the weights. True when at least one stop is
  // used and, with two or more, the weights add up to more than 0.
  bool normalize();

  // Used count >= 1 and the first and last used within 0..last index.
  bool isValid() const;
  // Valid and every slot 0..last index used.
  [[nodiscard]] bool isUsable() const;
  // Both valid, the same last index and the same slots.
  [[nodiscard]] bool equals(const CColorSlotGroup& other) const;

  // A new group (same step and name) of only the used stops in order,
  // normalized; nullptr when there is nothing to hold.
  [[nodiscard]] std::unique_ptr<CColorSlotGroup> compact() const;
  // When this group is usable: dest takes the name and these stops (its
  // interior stops removed first) and is normalized. False otherwise.
  [[nodiscard]] bool assignTo(CColorSlotGroup& dest) const;
  // Stops with marker 0 take the first colour, marker 1 the second (markers
  // kept); then normalize. Nothing with fewer than two slots.
  void applyColors(TColor first, TColor second);

  // The colour at position t (16.16), opacity in the high byte.
  // Fewer than two used stops or t < 1: slot 0's colour; t >= 0x10000: the
  // last used stop's. Otherwise the first slot i (of the first used count - 1)
  // whose interval reaches t, blended toward slot i + 1 by lerpColorFix with
  // u := fixDiv(t - start, length). Expects the used stops compact from slot
  // 0 (compact() makes them so); whatever the slots hold, only slots
  // 0..last index are read, and a t that no interval reaches gives the last
  // used stop's colour.
  uint32_t colorAt(int32_t t) const {
    const SColorSlot* s = Slots.data();
    if (UsedCount < 2 || t < 1) return s[0].contribution();
    if (t >= kGradOne) return s[LastUsedIdx >= 0 ? LastUsedIdx : 0].contribution();
    const int32_t n = UsedCount - 1 < LastIndex ? UsedCount - 1 : LastIndex;
    for (int32_t i = 0; i < n; ++i) {
      if (static_cast<int64_t>(s[i].Start) + s[i].Length >= t) return blendInterval(s[i], s[i + 1], t);
    }
    return s[LastUsedIdx >= 0 ? LastUsedIdx : 0].contribution();
  }
  // The colour of interval a -> b at t (a's start <= t <= a's end).
  static uint32_t blendInterval(const SColorSlot& a, const SColorSlot& b, int32_t t) {
    int32_t u = a.Length > 0 ? fixDiv(t - a.Start, a.Length) : 0;
    u = u < 0 ? 0 : (u > kGradOne ? kGradOne : u);
    return lerpColorFix(a.contribution(), b.contribution(), u);
  }

  const std::string& name() const { return Name; }
  void setName(const std::string& name) { Name = name; }
  int32_t step() const { return Step; }
  int32_t capacity() const { return static_cast<int32_t>(Slots.size()); }
  int32_t lastIndex() const { return LastIndex; }
  int32_t usedCount() const { return UsedCount; }
  int32_t lastUsedIndex() const { return LastUsedIdx; }
  int64_t totalWeight() const { return TotalWeight; }

 private:
  int32_t Step = 4;
  int32_t LastIndex = -1;
  std::vector<SColorSlot> Slots;  // the capacity; never empty
  int64_t TotalWeight = 0;
  int32_t FirstUsedIdx = -1;
  int32_t LastUsedIdx = -1;
  int32_t UsedCount = 0;
  std::string Name;
};

// The repeat record of a preset (8 bytes): own-settings (0 = follows the
// manager's range), shape (0 linear, 1 angular, 2 radial), mirror (0, 1),
// wrap (0, 1), count (at least 1).
struct SGradRepeat {
  uint8_t OwnSettings = 0;
  uint8_t Shape = 0;
  uint8_t Mirror = 0;
  uint8_t Wrap = 0;
  int32_t Count = 1;
  // All bytes 0, count 1.
  void init() { *this = SGradRepeat{}; }
  friend bool operator==(const SGradRepeat&, const SGradRepeat&) = default;
};
static_assert(sizeof(SGradRepeat) == 8);

// One gradient preset.
class CGradObj {
 public:
  // Create: a fresh id, an empty stop group of step 16, the default repeat.
  CGradObj();
  [[nodiscard]] static std::unique_ptr<CGradObj> CreateCopy(const CGradObj& source);
  // Stops 0 and 1 of the two colours, opacity 255 and weight 0x10000 each,
  // normalized; the group takes the name. Null when the stops cannot be had.
  [[nodiscard]] static std::unique_ptr<CGradObj> CreateTwoColor(TColor first, const std::string& name, TColor second);

  // Name := "untitled" followed by the decimal n.
  void setUntitledName(int32_t n);
  bool normalize() { return Stops.normalize(); }
  // A count below 1 becomes 1.
  void setRepeat(const SGradRepeat& r);
  // Repeat and stops of the source (the id stays).
  void assign(const CGradObj& source);
  // Takes a fresh id; answers the old one.
  int32_t newId();

  int32_t Id = 0;
  CColorSlotGroup Stops{16};
  SGradRepeat Repeat;
};

// The process-wide id counter of presets starts at 1 again (tests).
void resetGradIdCounter();

// The geometry of a gradient over a stop group it does not own.
class CGradation {
 public:
  // Create(group): p0 (0, 0), p1 (100, 0), shape 0, no mirror, count 1, no wrap.
  explicit CGradation(const CColorSlotGroup* group = nullptr);
  [[nodiscard]] static std::unique_ptr<CGradation> CreateWith(SFixPoint p0, const CColorSlotGroup* group, SFixPoint p1);

  void setColors(const CColorSlotGroup* group) { Group = group; }
  const CColorSlotGroup* colors() const { return Group; }
  // Points in 16.16; recomputes the derived fields.
  void setPoints(SFixPoint p0, SFixPoint p1);
  void getPoints(SFixPoint& p0, SFixPoint& p1) const {
    p0 = P0;
    p1 = P1;
  }
  // False and no change unless shape is 0..2, mirror and wrap 0..1 and
  // count > 0. A change of shape recomputes the extents for the new shape.
  [[nodiscard]] bool setRepeat(int32_t shape, int32_t mirror, int32_t count, int32_t wrap);

  uint8_t shape() const { return Shape; }
  uint8_t mirror() const { return Mirror; }
  uint8_t wrap() const { return Wrap; }
  int32_t count() const { return Count; }

  // The position of pixel (x, y) along the gradient before repeat and mirror:
  // linear (dx*px + dy*py) / len2; angular angleOf(px, py) - base angle in
  // [0, 1); radial sqrt((px/ex)^2 + (py/ey)^2); with (px, py) the pixel less
  // p0. A gradient whose two points coincide answers 0.
  double shapeT(int32_t x, int32_t y) const {
    const double px = static_cast<double>(x) - P0x;
    const double py = static_cast<double>(y) - P0y;
    switch (Shape) {
      case 0:
        return Len2 > 0.0 ? (Dx * px + Dy * py) / Len2 : 0.0;
      case 1: {
        double t = angleOf(px, py) - BaseAngle;
        if (t < 0.0) t += 1.0;
        if (t >= 1.0) t -= 1.0;
        return t;
      }
      default:
        if (Ex == 0.0 || Ey == 0.0) return 0.0;
        return std::sqrt((px / Ex) * (px / Ex) + (py / Ey) * (py / Ey));
    }
  }
  // Repeat then mirror of a shape position (see gradRepeatT, gradMirrorT).
  double foldT(double t) const;

  // The colour at pixel (x, y): red low, the stop opacity in the high byte.
  // Per pixel of gradation strokes; no stops gives 0.
  uint32_t evaluate(int32_t x, int32_t y) const {
    if (Group == nullptr) return 0;
    return Group->colorAt(gradTToFix(foldT(shapeT(x, y))));
  }

  // Every pixel of rect inside the image := colorToPixel(evaluate(x, y)).
  void fillRect(TMTC& image, TRect rect) const;

  // Fills an image with a preset for previews (see the .cpp for the geometry).
  static void gradientFill(TMTC& image, const CColorSlotGroup& stops, const SGradRepeat& repeat);
  static void gradientFill(TMTC& image, const CGradObj& preset) { gradientFill(image, preset.Stops, preset.Repeat); }

  // The angle of (x, y) as a fraction of a turn in [0, 1); x = 0 gives 0.25
  // when y and the y extent have the same sign, else 0.75.
  double angleOf(double x, double y) const;

  // Round(t * 65536), saturating (replaces floatToFix for doubles).
  static int32_t gradTToFix(double t) { return roundToInt32(t * 65536.0); }

 private:
  void computeDerived();

  uint8_t Shape = 0;
  uint8_t Mirror = 0;
  uint8_t Wrap = 0;
  int32_t Count = 1;
  const CColorSlotGroup* Group = nullptr;
  SFixPoint P0{0, 0};
  SFixPoint P1{100 << 16, 0};
  double P0x = 0.0, P0y = 0.0;
  double Ex = 0.0, Ey = 0.0;
  SFixPoint Delta{};
  double Dx = 0.0, Dy = 0.0;
  double Len2 = 0.0;
  double BaseAngle = 0.0;
};

// Wrap 0: t kept when t <= 0 or t >= count, else frac(t). Wrap 1: frac(t)
// for t >= 0, 1 - frac(-t) below. Angular (shape 1): frac(t * count).
inline double gradRepeatT(double t, int32_t shape, int32_t wrap, int32_t count) {
  if (shape == 1) {
    const double v = t * static_cast<double>(count);
    return v - std::floor(v);
  }
  if (wrap != 0) return t >= 0.0 ? t - std::floor(t) : 1.0 - (-t - std::floor(-t));
  if (t <= 0.0 || t >= static_cast<double>(count)) return t;
  return t - std::floor(t);
}
// Mirror 1: 0 for t <= 0, 2t up to 0.5, 2(1 - t) below 1, 0 from 1 on.
inline double gradMirrorT(double t) {
  if (t <= 0.0) return 0.0;
  if (t <= 0.5) return 2.0 * t;
  if (t < 1.0) return 2.0 * (1.0 - t);
  return 0.0;
}

inline double CGradation::foldT(double t) const {
  t = gradRepeatT(t, Shape, Wrap, Count);
  return Mirror != 0 ? gradMirrorT(t) : t;
}

}  // namespace pg
