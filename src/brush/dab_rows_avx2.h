#pragma once
// Vector forms of the round dab's row loops, for processors with AVX2. Each
// handles a leading part of the row (a multiple of its step) and answers how
// many items it did; 0 when the row kernels are not at the AVX2 level, so the
// caller's scalar loop does the rest, or all. The results equal the scalar
// loops' byte for byte.
#include <cstdint>

namespace pg {

// The two merges of a dab's coverage that have a vector row.
enum class DabMerge : uint8_t {
  Opacity,  // blendPixelOpacity: paints and composites alpha
  Lerp,     // lerpPixelRgb: paints, alpha kept
};

// cov[i] for pixels x0 + i of a row whose squared vertical distance from the
// centre is dy2: the coverage of roundDabCoverage from the falloff table.
[[nodiscard]] int32_t avx2DabCoverageRow(uint8_t* cov, int32_t x0, int32_t n, float dy2, float cx, float radius,
                                         int32_t opacity16, const uint32_t* table);

// The merge of coverage cov[i] with colour into row[i].
[[nodiscard]] int32_t avx2MergeRow(DabMerge merge, uint32_t* row, const uint8_t* cov, int32_t n, uint32_t colour);

// cov[i] := floor(cov[i] * mask[i] / 255): coverage through a selection.
[[nodiscard]] int32_t avx2ScaleCoverage(uint8_t* cov, const uint8_t* mask, int32_t n);

}  // namespace pg
