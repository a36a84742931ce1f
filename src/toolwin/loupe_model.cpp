#include "toolwin/loupe_model.h"

#include <algorithm>
#include <cmath>

#include "core/planes.h"
#include "document/paper_compose.h"
#include "ui/memory_graphic.h"

namespace pg {

namespace {

constexpr std::string_view kCentreLines = "MenuLoupeC";
constexpr std::string_view kKeepPosition = "MenuLoupeF";

const SLoupeMenuItem* findItem(std::string_view name) {
  for (const SLoupeMenuItem& item : loupeMenuItems())
    if (item.name == name) return &item;
  return nullptr;
}

// The image pixel a picture offset lands on: the pointer's own pixel plus
// the offset scaled down, rounded towards minus infinity so that at 200 %
// every source pixel covers exactly two picture pixels on each axis.
int64_t sourceOf(int64_t pointerPixel, int32_t offset, double magnification) {
  return pointerPixel + static_cast<int64_t>(std::floor(offset * magnification));
}

}  // namespace

const std::array<SLoupeMenuItem, 6>& loupeMenuItems() {
  static const std::array<SLoupeMenuItem, 6> kItems = {{
      {"MenuLoupe1", 0, "&100%", 1.0f},
      {"MenuLoupe2", 0, "&200%", 0.5f},
      {"MenuLoupe4", 0, "&400%", 0.25f},
      {"MenuLoupe8", 0, "&800%", 0.125f},
      {kCentreLines, kResLoupeCentreLines, "", 0.0f},
      {kKeepPosition, kResLoupeKeepPosition, "", 0.0f},
  }};
  return kItems;
}

bool CLoupeModel::menuClick(std::string_view name) {
  const SLoupeMenuItem* item = findItem(name);
  if (!item) return false;
  if (item->magnification > 0.0f) {
    if (item->magnification == magnification_) return false;
    magnification_ = item->magnification;
    return true;
  }
  if (name == kCentreLines) {
    grid_ = !grid_;
    return true;
  }
  return false;
}

bool CLoupeModel::itemChecked(std::string_view name) const {
  const SLoupeMenuItem* item = findItem(name);
  if (!item) return false;
  if (item->magnification > 0.0f) return item->magnification == magnification_;
  return name == kCentreLines && grid_;
}

bool CLoupeModel::itemEnabled(std::string_view name) const {
  // Keeping the position while drawing is a switch the loupe does not have.
  return findItem(name) != nullptr && name != kKeepPosition;
}

void fillLoupePicture(const TMTC& image, TPointF centre, float magnification, TMemoryGraphic& picture,
                      uint8_t background) {
  if (!picture.isValid()) return;
  const int32_t w = picture.width(), h = picture.height();
  const bool haveImage = hasPixels(image) && std::isfinite(centre.X) && std::isfinite(centre.Y);
  const double mag = std::isfinite(magnification) && magnification > 0.0f ? magnification : 1.0;
  // Far outside any image the pointer's pixel is clamped; the picture is
  // then all ground anyway.
  const auto pixelOf = [](float v) {
    return static_cast<int64_t>(std::floor(std::clamp(static_cast<double>(v), -1e9, 1e9) + 0.5));
  };
  const int64_t px = haveImage ? pixelOf(centre.X) : 0, py = haveImage ? pixelOf(centre.Y) : 0;
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = picture.scanLine(y);
    const int64_t sy = sourceOf(py, y - h / 2, mag);
    const bool rowInside = haveImage && sy >= 0 && sy < image.Height;
    for (int32_t x = 0; x < w; ++x) {
      const int64_t sx = sourceOf(px, x - w / 2, mag);
      if (!rowInside || sx < 0 || sx >= image.Width) {
        row[x] = kLoupeGround;
        continue;
      }
      const int32_t ix = static_cast<int32_t>(sx), iy = static_cast<int32_t>(sy);
      const uint32_t p = image.getPixel(ix, iy);
      row[x] = background == 1   ? p | 0xFF000000u
               : background == 2 ? flattenPixel(p, checkColorAt(ix, iy))
                                 : flattenPixel(p, 0xFFFFFFu);
    }
  }
}

}  // namespace pg
