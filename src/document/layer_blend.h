#pragma once
// Layer-side lookups into the blend-mode tables: the operator used when a
// linked layer is merged into its base.
#include <cstdint>

#include "core/blend_arith.h"

namespace pg {

// The link-pair table: for a (lower mode, upper mode) pair the alpha-
// compositing operator a merge of link kind 1..3 uses; rows (0,0), (2,2),
// (3,0), (0,3), (3,3), (1,1) in this order, of which link kinds 0..3 search
// the first 2, 2, 4 and 6. Null when no row matches or the kind is not 0..3.
PixelOp32 findLinkPair(uint32_t lowerMode, uint32_t upperMode, uint32_t linkKind);

}  // namespace pg
