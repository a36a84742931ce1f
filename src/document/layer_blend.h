#pragma once
// Layer-side lookups into the blend-mode tables: what a merge of a linked
// layer into its base uses.
#include <cstdint>

#include "core/blend_arith.h"
#include "core/composite_core.h"

namespace pg {

// The link-pair table: for a (lower mode, upper mode) pair the alpha-
// compositing operator a merge of link kind 1..3 uses; rows (0,0), (2,2),
// (3,0), (0,3), (3,3), (1,1) in this order, of which link kinds 0..3 search
// the first 2, 2, 4 and 6. Null when no row matches or the kind is not 0..3.
PixelOp32 findLinkPair(uint32_t lowerMode, uint32_t upperMode, uint32_t linkKind);

// The composite record of a merge without a link pair: the larger of the two
// modes' second colours, the upper mode's flags (plus "skip transparent
// sources" on request), the lower mode's explicit-alpha operator for the
// destination and the upper one's for the source. False for an unknown mode.
[[nodiscard]] bool linkMergeOps(uint32_t lowerMode, uint32_t upperMode, bool skipTransparent, SPixelBlendOps& ops);

// The operator a merge of an upper layer into a lower one uses in place of
// `op` (the alpha-compositing operator of the upper mode, or a link pair's):
// over opaque lower pixels multiply gives the colour the picture composes, and
// a subtract layer subtracts unless its base is a subtract layer too. Null
// stays null.
PixelOp32 mergeOperator(PixelOp32 op, uint32_t lowerMode, uint32_t upperMode);

}  // namespace pg
