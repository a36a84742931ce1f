#pragma once
// The system's size limits, in one place.
#include <cstdint>

namespace pg {

// The largest image (document, layer, file) the system accepts: 10,000 x 10,000 pixels.
inline constexpr int32_t kMaxImageWidth = 10000;
inline constexpr int32_t kMaxImageHeight = 10000;

// The most layers a document may hold.
inline constexpr int32_t kMaxLayers = 10000;

// The largest area of one pixel plane: 2^28 pixels (268,435,456), room for a
// full 10,000 x 10,000 image plus working margins (rotation bounding boxes,
// supersampled buffers). A 32-bit plane of this area takes 1 GiB, so every byte
// offset inside a plane fits a signed 32-bit row offset.
inline constexpr int64_t kMaxPlaneArea = int64_t{1} << 28;

// True when a plane of w x h pixels may be allocated: both sides not negative
// and the area within kMaxPlaneArea.
[[nodiscard]] constexpr bool planeSizeAllowed(int64_t w, int64_t h) {
  return w >= 0 && h >= 0 && w <= kMaxPlaneArea && h <= kMaxPlaneArea && w * h <= kMaxPlaneArea;
}

}  // namespace pg
