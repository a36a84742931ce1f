#include "brush/grade_map.h"

#include <cmath>

#include "brush/falloff_curve.h"
#include "core/rect.h"

namespace pg {

namespace {

constexpr double kFullWeight = 65536.0 * 255.0;  // 0xFF0000

int32_t clampPerMille(int32_t v) { return v < 0 ? 0 : (v > 1000 ? 1000 : v); }

uint32_t weightOf(double w, double floor) {
  const double v = (w * (1.0 - floor) + floor) * kFullWeight;
  if (!(v > 0.0)) return 0;
  return v >= kFullWeight ? 0xFF0000u : static_cast<uint32_t>(v);
}

}  // namespace

int32_t scaledRound(float v, float scale) {
  return saturateToInt32(std::trunc(static_cast<double>(v) * static_cast<double>(scale) + 0.5));
}

float SGradeMapParam::setValue1(float v) {
  const float old = getValue1();
  value1 = clampPerMille(scaledRound(v, 1000.0f));
  return old;
}

float SGradeMapParam::setValue2(float v) {
  const float old = getValue2();
  value2 = clampPerMille(scaledRound(v, 1000.0f));
  return old;
}

bool buildGradeTables(const SGradeMapParam& param, uint32_t* first, uint32_t* second, int32_t n) {
  if (first == nullptr || n < 2) return false;
  const GradeProfileFunc f = gradeProfileFunc(param.type);
  const double core = clampPerMille(param.value1) / 1000.0;
  const double floor = clampPerMille(param.value2) / 1000.0;
  const double last = static_cast<double>(n - 1);
  for (int32_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / last - core;
    double w1 = 1.0;
    double w2 = 1.0;
    if (t > 0.0) {
      // t > 0 implies core < 1, so the divisor is positive.
      const double u = t / (1.0 - core);
      w1 = f(u);
      w2 = f(std::sqrt(u));
    }
    first[i] = weightOf(w1, floor);
    if (second != nullptr) second[i] = weightOf(w2, floor);
  }
  return true;
}

CGradeMapObj::CGradeMapObj(int32_t n) {
  dynBufInit(first_);
  dynBufInit(second_);
  if (n < 2 || n > kMaxEntries) return;
  if (!dynBufSetLength(first_, 4, n) || !dynBufSetLength(second_, 4, n)) {
    dynBufFree(first_);
    dynBufFree(second_);
    return;
  }
  lastIndex_ = n - 1;
  valid_ = 1;
  rebuild();
}

CGradeMapObj::~CGradeMapObj() {
  dynBufFree(first_);
  dynBufFree(second_);
}

void CGradeMapObj::rebuild() {
  if (!valid()) return;
  // Refused only for missing tables or fewer than two entries, which valid() rules out.
  (void)buildGradeTables(param_, static_cast<uint32_t*>(first_.Data), static_cast<uint32_t*>(second_.Data),
                         lastIndex_ + 1);
}

bool CGradeMapObj::setParam(const SGradeMapParam& param) {
  if (param_.equals(param)) return false;
  param_ = param;
  rebuild();
  return true;
}

const uint32_t* CGradeMapObj::firstTable() const {
  return valid() ? static_cast<const uint32_t*>(first_.Data) : nullptr;
}

const uint32_t* CGradeMapObj::secondTable() const {
  return valid() ? static_cast<const uint32_t*>(second_.Data) : nullptr;
}

uint32_t CGradeMapObj::weightAt(int32_t distance) const {
  if (!valid()) return 0xFF0000u;
  const uint32_t* t = firstTable();
  if (distance >= 0x10000) return t[lastIndex_];
  if (distance < 0) return t[0];
  return t[(static_cast<int64_t>(distance) * lastIndex_) >> 16];
}

}  // namespace pg
