// The shape value record and its two previews.
#include "brush/shape_values.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "brush/falloff_curve.h"
#include "brush/paint_param.h"
#include "brush/paint_param_kinds.h"
#include "brush/pen_shape_obj.h"
#include "core/plane_ops.h"

namespace pg {

namespace {

// A colour byte moved toward a target by a weight 0..1.
uint32_t toward(uint32_t pixel, uint32_t colour, float weight) {
  uint32_t out = pixel & 0xFF000000u;
  for (uint32_t shift : {0u, 8u, 16u}) {
    const float a = static_cast<float>((pixel >> shift) & 0xFFu), b = static_cast<float>((colour >> shift) & 0xFFu);
    const float v = a + (b - a) * std::clamp(weight, 0.0f, 1.0f);
    out |= static_cast<uint32_t>(std::lround(v)) << shift;
  }
  return out;
}

// The ink 0..1 at a point of the dab's own frame (x along the turned major
// axis), or -1 outside it.
float nibInk(const SShapeValues& v, float scale, float lx, float ly) {
  const float nibScale = v.nibScale > 0.0f ? v.nibScale : 1.0f;
  const float sx = static_cast<float>(v.nibWidth) * nibScale * scale;
  const float sy = static_cast<float>(v.nibHeight) * nibScale * scale * std::max(v.aspect, 0.01f);
  if (sx <= 0.0f || sy <= 0.0f) return -1.0f;
  const float u = lx / sx + 0.5f, w = ly / sy + 0.5f;
  if (u < 0.0f || w < 0.0f || u >= 1.0f || w >= 1.0f) return -1.0f;
  const auto col = std::min(static_cast<size_t>(u * static_cast<float>(v.nibWidth)), static_cast<size_t>(v.nibWidth) - 1);
  const auto row = std::min(static_cast<size_t>(w * static_cast<float>(v.nibHeight)), static_cast<size_t>(v.nibHeight) - 1);
  return static_cast<float>(v.nibBytes[row * static_cast<size_t>(v.nibWidth) + col]) / 255.0f;
}

}  // namespace

void SShapeValues::clear() {
  hasNib = 0;
  nibBytes.clear();
  nibWidth = 0;
  nibHeight = 0;
  nibScale = 1.0f;
}

void shapeValuesFromPenShape(const CPenShapeObj* shape, SShapeValues& out) {
  if (shape == nullptr) return;
  const SPenShapeRecord& p = shape->params();
  out.size = shape->radius();
  out.minSize = p.shape.getMinSize();
  out.aspect = p.shape.getAspect();
  out.angle = p.shape.getAngle();
  out.falloffType = gradeMapTypeToFalloff(p.grade.type);
  out.falloffValue1 = p.grade.getValue1();
  out.falloffValue2 = p.grade.getValue2();
  out.hardEdge = p.edge.isHard() ? 1 : 0;
  out.clear();
  const TChannel* image = shape->image();
  if (shape->isImageNib() && image != nullptr && image->IsAllocated()) {
    out.hasNib = 1;
    out.nibWidth = image->Width;
    out.nibHeight = image->Height;
    out.nibScale = static_cast<float>(shape->scale()) / 100.0f;
    out.nibBytes.resize(static_cast<size_t>(image->Width) * static_cast<size_t>(image->Height));
    for (int32_t y = 0; y < image->Height; ++y) {
      const uint8_t* row = image->pixelAt(0, y);
      for (int32_t x = 0; x < image->Width; ++x)
        out.nibBytes[static_cast<size_t>(y) * static_cast<size_t>(image->Width) + static_cast<size_t>(x)] =
            static_cast<uint8_t>(255 - row[x]);
    }
  }
}

SShapeValues shapeValuesOf(const TPaintParam& param) {
  SShapeValues v;
  v.size = param.size;
  v.minSize = param.minSize;
  v.aspect = param.aspect;
  v.angle = param.angle;
  v.falloffType = param.falloffType;
  v.falloffValue1 = param.falloffValue1;
  v.falloffValue2 = param.falloffValue2;
  v.hardEdge = param.hardEdge;
  const size_t bytes = static_cast<size_t>(std::max(param.nibWidth, 0)) * static_cast<size_t>(std::max(param.nibHeight, 0));
  if (param.hasNib != 0 && bytes > 0 && param.nibBytes.size() >= bytes) {
    v.hasNib = 1;
    v.nibBytes.assign(param.nibBytes.begin(), param.nibBytes.begin() + static_cast<std::ptrdiff_t>(bytes));
    v.nibWidth = param.nibWidth;
    v.nibHeight = param.nibHeight;
    v.nibScale = param.nibScale;
  }
  return v;
}

void drawNibPreview(TMTC& plane, const SShapeValues& v, float scale, uint32_t colour) {
  if (!plane.IsAllocated()) return;
  fill(plane, 0xFFFFFFFFu);
  if (!std::isfinite(scale) || scale <= 0.0f) return;
  const float cx = static_cast<float>(plane.Width) / 2.0f - 0.5f, cy = static_cast<float>(plane.Height) / 2.0f - 0.5f;
  const double a = static_cast<double>(v.angle) * std::numbers::pi / 180.0;
  const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
  const bool nib = v.hasNib != 0 && v.nibWidth > 0 && v.nibHeight > 0 &&
                   v.nibBytes.size() >= static_cast<size_t>(v.nibWidth) * static_cast<size_t>(v.nibHeight);
  const float rx = v.size * scale, ry = v.size * scale * std::max(v.aspect, 0.01f);
  const FalloffFunc profile = falloffCurveFunc(v.falloffType);
  for (int32_t y = 0; y < plane.Height; ++y) {
    uint32_t* row = plane.pixelAt(0, y);
    for (int32_t x = 0; x < plane.Width; ++x) {
      const float dx = static_cast<float>(x) - cx, dy = static_cast<float>(y) - cy;
      // Into the dab's frame: turned back by the angle.
      const float lx = dx * c + dy * s, ly = -dx * s + dy * c;
      float ink = -1.0f;
      if (nib) {
        ink = nibInk(v, scale, lx, ly);
      } else if (rx > 0.0f && ry > 0.0f) {
        const float t = std::sqrt((lx / rx) * (lx / rx) + (ly / ry) * (ly / ry));
        if (t <= 1.0f) ink = evalFalloffCurve(profile, t, v.falloffValue1, v.falloffValue2);
      }
      if (ink <= 0.0f) continue;
      row[x] = toward(row[x], colour, v.hardEdge != 0 ? 1.0f : ink);
    }
  }
}

bool drawFalloffCurve(TMTC& plane, const TRect& rect, uint32_t type, uint32_t colour, float core, float floor) {
  const int64_t w = int64_t{rect.Right} - rect.Left, h = int64_t{rect.Bottom} - rect.Top;
  if (!plane.IsAllocated() || w < 1 || h < 1 || rect.Left < 0 || rect.Top < 0 || rect.Right > plane.Width ||
      rect.Bottom > plane.Height)
    return false;
  const FalloffFunc profile = falloffCurveFunc(type);
  // The filled height of each of the 4w sub-columns, in sub-rows.
  std::vector<int64_t> filled(static_cast<size_t>(4 * w));
  for (int64_t col = 0; col < 4 * w; ++col) {
    const int64_t t = col <= 2 * w ? col : 4 * w - col - 1;
    const float d = std::max(0.0f, 1.0f - static_cast<float>(t) / static_cast<float>(2 * w));
    const float weight = evalFalloffCurve(profile, d, core, floor);
    filled[static_cast<size_t>(col)] = static_cast<int64_t>(std::trunc(weight * static_cast<float>(4 * h) + 0.5f));
  }
  for (int64_t py = 0; py < h; ++py) {
    // Rows count from the bottom up.
    const int64_t fromBottom = h - 1 - py;
    uint32_t* row = plane.pixelAt(0, static_cast<int32_t>(rect.Top + py));
    for (int64_t px = 0; px < w; ++px) {
      int32_t count = 0;
      for (int64_t sx = 0; sx < 4; ++sx) {
        const int64_t height = filled[static_cast<size_t>(px * 4 + sx)];
        count += static_cast<int32_t>(std::clamp<int64_t>(height - fromBottom * 4, 0, 4));
      }
      if (count == 0) continue;
      uint32_t& p = row[rect.Left + px];
      p = toward(p, colour, static_cast<float>(count) / 16.0f);
    }
  }
  return true;
}

}  // namespace pg
