#pragma once
// Grade maps: the falloff (edge profile) of a pen-method dab turned into
// weight tables, so that the dab renderer never evaluates a profile per pixel.
// SGradeMapParam names the profile (a grade-map type) and its two values, the
// core (the profile is flat 1.0 out to that fraction of the radius) and the
// floor (the weight never drops below it); CGradeMapObj owns the two tables
// built from it. Weights run 0..0xFF0000 (255.0 in 16.16).
#include <cstdint>

#include "core/dyn_buffers.h"

namespace pg {

// Three 32-bit fields in this order (the stored form of nib files and
// recordings): type, value1 (core, per mille), value2 (floor, per mille).
struct SGradeMapParam {
  int32_t type = 3;
  int32_t value1 = 0;
  int32_t value2 = 0;

  // Type 3, values 0.
  void init() { *this = SGradeMapParam{}; }
  bool equals(const SGradeMapParam& o) const { return type == o.type && value1 == o.value1 && value2 == o.value2; }
  float getValue1() const { return static_cast<float>(value1) / 1000.0f; }
  float getValue2() const { return static_cast<float>(value2) / 1000.0f; }
  // Store trunc(v * 1000 + 0.5) clamped to 0..1000; answer the previous fraction.
  float setValue1(float v);
  float setValue2(float v);
  friend bool operator==(const SGradeMapParam& a, const SGradeMapParam& b) { return a.equals(b); }
};

// The per-mille conversion of the parameter records: trunc(v * scale + 0.5),
// saturating (a value that is not a number gives 0).
[[nodiscard]] int32_t scaledRound(float v, float scale);

// Builds the tables of n entries (n at least 2): first[i] is the weight at
// distance i / (n - 1) of the radius, second[i] (when second is given) the
// weight at the square root of that distance, so that a renderer can index it
// by the squared distance. Core and floor outside 0..1000 count as their
// nearest end. False (nothing written) for n below 2 or no first table.
[[nodiscard]] bool buildGradeTables(const SGradeMapParam& param, uint32_t* first, uint32_t* second, int32_t n);

class CGradeMapObj {
 public:
  // Create(N): both tables of N entries built from the default parameters.
  // The map stays invalid when N is below 2 (or beyond kMaxEntries) or the
  // tables cannot be allocated.
  explicit CGradeMapObj(int32_t n);
  ~CGradeMapObj();
  CGradeMapObj(const CGradeMapObj&) = delete;
  CGradeMapObj& operator=(const CGradeMapObj&) = delete;

  static constexpr int32_t kMaxEntries = 1 << 20;

  bool valid() const { return valid_ != 0; }
  // When the parameters differ from the stored ones: store them, rebuild both
  // tables and answer true.
  bool setParam(const SGradeMapParam& param);
  const SGradeMapParam& param() const { return param_; }
  // The tables (nullptr when invalid), their entry count and last index.
  const uint32_t* firstTable() const;
  const uint32_t* secondTable() const;
  int32_t count() const { return valid() ? lastIndex_ + 1 : 0; }
  int32_t lastIndex() const { return lastIndex_; }
  // The first table's weight at a 16.16 distance over radius: entry
  // (distance * (N - 1)) >> 16 below 1.0, the last entry from 1.0 on (and
  // entry 0 for a negative distance). 0xFF0000 when the map is invalid.
  [[nodiscard]] uint32_t weightAt(int32_t distance) const;

 private:
  void rebuild();

  uint8_t valid_ = 0;
  SDynBuf first_;
  SDynBuf second_;
  SGradeMapParam param_;
  int32_t lastIndex_ = 0;
};

}  // namespace pg
