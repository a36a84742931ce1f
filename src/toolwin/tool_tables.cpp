#include "toolwin/tool_tables.h"

#include "ui/glyph_types.h"

namespace pg {

namespace {

using M = ToolMode;

constexpr std::array<SToolButtonDef, kToolButtonCount> kButtons = {{
    {1, 2, 28, 23, 65008, "PopPencil", "A", M::Pencil},
    {28, 2, 55, 23, 65009, "PopEraser", "S", M::Eraser},
    {1, 23, 28, 44, 65010, "PopWaterColor", "D", M::Watercolour},
    {28, 23, 55, 44, 65011, "PopAirBrush", "F", M::Airbrush},
    {1, 44, 28, 65, 65012, "PopBlurFinger", "G", M::Blur},
    {28, 44, 55, 65, 65016, "PopBurnDodge", "H", M::Burn},
    {1, 71, 28, 92, 65019, "PopFillFigure", "P", M::FillRectangle},
    {28, 71, 55, 92, 64992, "PopFillGradient", "JK", M::BucketFill},
    {1, 92, 28, 113, 64996, "PopSelect", "LM", M::SelectRectangle},
    {28, 92, 55, 113, 65001, "", "W", M::AutoSelect},
    {1, 113, 28, 134, 65002, "PopLayerMove", "V", M::LayerMove},
    {28, 113, 55, 134, 65004, "PopText", "T", M::TextDraw},
    {1, 140, 28, 161, 65007, "", "C", M::Crop},
    {28, 140, 55, 161, 64976, "", "I", M::Eyedropper},
    // The hand's two variants (scrolling, view rotation) have menu items, so the
    // hand button has its variant menu too; its cycle never leaves scrolling.
    {1, 161, 28, 182, 64977, "PopGrabber", "", M::Hand},
    {28, 161, 55, 182, 64978, "", "", M::Zoom},
}};

constexpr std::array<SToolModeDef, kToolModeCount> kModes = {{
    {0, "MenuPencil4", true, M::PencilV3, 0},
    {0, "MenuPencil1", true, M::Pencil, 0x1},
    {1, "MenuEraser4", true, M::MagicEraser, 0},
    {1, "MenuSeedEraser", true, M::EraserV3, 0x4},
    {1, "MenuEraser1", true, M::Eraser, 0x2},
    {2, "MenuWaterColor4", true, M::WatercolourV3, 0},
    {2, "MenuWaterColor1", true, M::Watercolour, 0x8},
    {3, "MenuAirBrush4", true, M::AirbrushV3, 0},
    {3, "MenuAirBrush1", true, M::Airbrush, 0x10},
    {4, "MenuBlur4", true, M::Finger, 0},
    {4, "MenuFingerTip4", true, M::Stretch, 0x20},
    {4, "MenuSpread4", true, M::BlurV3, 0x40},
    {4, "MenuBlur1", true, M::FingerV3, 0x80},
    {4, "MenuFingerTip1", true, M::Blur, 0x100},
    {5, "MenuBurn4", true, M::Dodge, 0},
    {5, "MenuDodge4", true, M::BurnV3, 0x200},
    {5, "MenuBurn1", true, M::DodgeV3, 0x400},
    {5, "MenuDodge1", true, M::Burn, 0x800},
    {6, "MenuFillRectangle", true, M::FillEllipse, 0},
    {6, "MenuFillEllipse", true, M::FillPolygon, 0x1000},
    {6, "MenuFillPolygon", true, M::FillFreehand, 0x2000},
    {6, "MenuFillLasso", true, M::FillRectangle, 0x4000},
    {7, "MenuSeedFill", true, M::Gradation, 0},
    {7, "MenuGradient", true, M::BucketFill, 0x8000},
    {8, "MenuSelectRectangle", false, M::SelectEllipse, 0},
    {8, "MenuSelectEllipse", false, M::SelectPolygon, 0x10000},
    {8, "MenuSelectPolygon", false, M::SelectFreehand, 0x20000},
    {8, "MenuSelectLasso", false, M::SelectRectangle, 0x40000},
    {9, "", false, M::AutoSelect, 0},
    {10, "MenuLayerMove", false, M::LayerMoveWithSelection, 0},
    {10, "MenuLayerMoveWithSelection", false, M::LayerMove, 0x80000},
    {11, "MenuFillText", true, M::TextSelect, 0},
    {11, "MenuSelectText", false, M::TextDraw, 0x100000},
    {12, "", false, M::Crop, 0},
    {13, "", false, M::Eyedropper, 0},
    {14, "MenuGrabberPosition", false, M::Hand, 0},
    {14, "MenuGrabberRotation", false, M::Hand, 0},
    {15, "", false, M::Zoom, 0},
}};

int modeIndex(ToolMode mode) {
  int m = byteOf(mode);
  return m < kToolModeCount ? m : -1;
}

}  // namespace

const SToolButtonDef& toolButtonDef(int button) { return kButtons[static_cast<unsigned>(button) % kToolButtonCount]; }

const SToolModeDef* toolModeDef(ToolMode mode) {
  int m = modeIndex(mode);
  return m < 0 ? nullptr : &kModes[m];
}

int buttonOfMode(ToolMode mode) {
  const SToolModeDef* d = toolModeDef(mode);
  return d ? d->button : -1;
}

ToolMode nextModeOf(ToolMode mode) {
  const SToolModeDef* d = toolModeDef(mode);
  return d ? d->next : ToolMode::None;
}

uint8_t glyphOfMode(ToolMode mode) { return toolGlyph(byteOf(mode)); }

bool modeOfMenuItem(std::string_view itemName, ToolMode& mode) {
  if (itemName.empty()) return false;
  for (int m = 0; m < kToolModeCount; ++m) {
    if (kModes[m].menuItem == itemName) {
      mode = static_cast<ToolMode>(m);
      return true;
    }
  }
  return false;
}

int modesOfButton(int button, std::array<ToolMode, 5>& modes) {
  int n = 0;
  for (int m = 0; m < kToolModeCount && n < static_cast<int>(modes.size()); ++m)
    if (kModes[m].button == button) modes[n++] = static_cast<ToolMode>(m);
  return n;
}

int buttonOfShortcutKey(int32_t vk) {
  if (vk < 'A' || vk > 'Z') return -1;
  for (int b = 0; b < kToolButtonCount; ++b)
    if (kButtons[b].keys.find(static_cast<char>(vk)) != std::string_view::npos) return b;
  return -1;
}

uint32_t packToolSubMode(const std::array<ToolMode, kToolButtonCount>& remembered) {
  uint32_t mask = 0;
  for (int b = 0; b < kToolButtonCount; ++b) {
    const SToolModeDef* d = toolModeDef(remembered[b]);
    if (d && d->button == b) mask |= d->maskBit;
  }
  return mask;
}

void unpackToolSubMode(uint32_t mask, std::array<ToolMode, kToolButtonCount>& remembered) {
  for (int b = 0; b < kToolButtonCount; ++b) {
    uint32_t best = 0;
    for (int m = 0; m < kToolModeCount; ++m) {
      uint32_t bit = kModes[m].maskBit;
      if (kModes[m].button != b || !(mask & bit)) continue;
      if (best == 0 || bit < best) {
        best = bit;
        remembered[b] = static_cast<ToolMode>(m);
      }
    }
  }
}

}  // namespace pg
