#pragma once
// Tables looked up by a byte-sized number (tool id, tool mode, blend mode,
// kind) are indexed by its low seven bits: every such lookup masks with this
// first, so a number with its top bit set still finds a row.

namespace pg {

inline constexpr int kByteLookupMask = 127;

}  // namespace pg
