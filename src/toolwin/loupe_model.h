#pragma once
// The loupe without its widget: the magnification and cross-hair switches
// its menu sets, and how the magnified picture around the pointer is taken
// from the document's composite.
#include <array>
#include <cstdint>
#include <string_view>

#include "core/rect.h"

namespace pg {

class TMTC;
class TMemoryGraphic;

// One item of the loupe's menu: its name, caption, and the magnification it
// sets (source pixels per screen pixel; 0 for the items that set none).
struct SLoupeMenuItem {
  std::string_view name;
  uint32_t captionId;  // 0: the caption is the literal below
  std::string_view caption;
  float magnification;
};

// The menu in its order: the four magnifications, then the centre lines
// and the fixed-position switch.
const std::array<SLoupeMenuItem, 6>& loupeMenuItems();

inline constexpr uint32_t kResLoupeCentreLines = 67500;
inline constexpr uint32_t kResLoupeKeepPosition = 67501;

// The ground outside the document (204, 204, 204), opaque.
inline constexpr uint32_t kLoupeGround = 0xFFCCCCCCu;

class CLoupeModel {
 public:
  float magnification() const { return magnification_; }
  bool grid() const { return grid_; }
  // A menu item was chosen: true when it changed what the loupe shows.
  bool menuClick(std::string_view name);
  // Whether the item shows a check mark, and whether it can be chosen at all.
  bool itemChecked(std::string_view name) const;
  bool itemEnabled(std::string_view name) const;

 private:
  float magnification_ = 1.0f;
  bool grid_ = true;
};

// Fills the picture with the image around `centre` (image coordinates) at
// `magnification` source pixels per picture pixel, the centre of the image
// pixel under the pointer at the picture's centre (width div 2, height div
// 2); picture pixels that fall outside the image get the ground. Image
// pixels are shown as the document shows them over its background (the
// loupe's `Background`, loupeBackgroundOf): 1, the canvas colour, is already
// in the picture, so they are taken opaque; 2 flattens them onto the check
// pattern of the image's own pixels, 0 onto white. Does nothing to an
// invalid picture.
void fillLoupePicture(const TMTC& image, TPointF centre, float magnification, TMemoryGraphic& picture,
                      uint8_t background = 1);

// The loupe's background from the document's two display flags: 1 when the
// canvas colour shows, else 2 when the pattern shows, else 0.
[[nodiscard]] constexpr uint8_t loupeBackgroundOf(bool canvasColour, bool pattern) {
  return canvasColour ? 1 : pattern ? 2 : 0;
}

}  // namespace pg
