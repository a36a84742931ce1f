#pragma once
// Helpers shared by the layer and mask thumbnails.
#include <cstdint>

#include "core/rect.h"

namespace pg {

class CBlockVMTC;
class TMTC;

// White at alpha 0: what a resized thumbnail starts as.
inline constexpr uint32_t kThumbnailWhite = 0x00FFFFFFu;

// The thumbnail size of a picture of `size` in `box`, keeping the aspect: a
// picture at least as tall as wide gets the box height, else the box width;
// the other side is scaled and at least 1. Empty sizes count as 1 x 1.
SSize thumbnailSizeFor(SSize size, SSize box);

// Every pixel of the plane := colour.
void fillPlane(TMTC& plane, uint32_t colour);

// Box-averages the source rectangle of a tiled image (reads clamped to the
// image) into the whole thumbnail plane: each thumbnail pixel is the truncated
// mean of B, G, R and A over a box of (srcW div dstW + 1) x (srcH div dstH + 1)
// source pixels starting at its scaled position.
[[nodiscard]] bool stretchImageToThumbnail(const CBlockVMTC& image, SRectXYWH src, TMTC& thumbnail);
// The same for only the thumbnail pixels whose boxes reach into the changed
// rectangle of the image (after a stroke): those pixels come out exactly as
// a whole update would make them, the others stay.
[[nodiscard]] bool stretchImageToThumbnailRect(const CBlockVMTC& image, SRectXYWH src, TMTC& thumbnail, SRectXYWH changed);

}  // namespace pg
