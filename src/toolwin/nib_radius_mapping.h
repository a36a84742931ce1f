#pragma once
// The brush-size slider is not linear: small sizes get most of its travel.
// A size r in 0.1..200 pixels sits at slider position
//   p = (1800 r - 180) / (1601 r + 39620),
// so 0.1 px is at 0 and 200 px at 1; the out filter is the inverse. Both
// filters take and give the linear fraction v = (r - 0.1) / 199.9 of the
// size's range, and clamp their input to 0..1.

namespace pg {

inline constexpr float kNibRadiusMin = 0.1f;
inline constexpr float kNibRadiusMax = 200.0f;

// Linear fraction of the range -> slider position.
double nibRadiusInFilter(double v);
// Slider position -> linear fraction of the range.
double nibRadiusOutFilter(double p);

// The nib-scale slider puts 100 % in its middle whatever the nib's scale
// range a..b (in per cent / 100): with k = (b - 1) / (1 - a) and the scale
// s = a + (b - a) v, p = (k s - k a) / ((k - 1) s + (b - k a)). A range that
// does not hold 100 % strictly inside has no middle to keep: the slider is
// then linear. Both filters clamp their input to 0..1.
double nibScaleInFilter(double v, double minPercent, double maxPercent);
double nibScaleOutFilter(double p, double minPercent, double maxPercent);

// The size one step of the size keys away: the slider position moves by
// 0.05 (down when up is false); the result stays within 0.1..200.
float stepNibRadius(float radius, bool up);

}  // namespace pg
