// The state every document window shares: current tool, colours, stroke
// settings, preferences and the main window's flags.
#include "canvas/canvas_shared.h"

#include <algorithm>

#include "brush/stroke_settings.h"
#include "brush/tone_list.h"
#include "canvas/draw_window.h"
#include "canvas/pen_tools.h"
#include "canvas/tool_handlers.h"
#include "core/lookup_mask.h"
#include "platform/message_service.h"
#include "platform/res_ids.h"

namespace pg {

namespace {

struct SModeKind {
  ToolMode mode;
  uint8_t kind;
};

// The stroke kind each brush mode paints with; the version-3 compatible
// modes paint as their current counterparts.
constexpr SModeKind kModeKinds[] = {
    {ToolMode::Pencil, skPen},          {ToolMode::PencilV3, skPen},
    {ToolMode::Eraser, skEraser},       {ToolMode::EraserV3, skEraser},
    {ToolMode::Watercolour, skWatercolor}, {ToolMode::WatercolourV3, skWatercolor},
    {ToolMode::Airbrush, skAirbrush},   {ToolMode::AirbrushV3, skAirbrush},
    {ToolMode::Blur, skBlur},           {ToolMode::BlurV3, skBlur},
    {ToolMode::Finger, skRubpen},       {ToolMode::FingerV3, skRubpen},
    {ToolMode::Stretch, skBlur2},       {ToolMode::Burn, skDarken},
    {ToolMode::BurnV3, skDarken},       {ToolMode::Dodge, skLighten},
    {ToolMode::DodgeV3, skLighten},
};

// A brush starts this wide until the tool window sets its size.
constexpr float kStartWidth = 8.0f;

}  // namespace

bool strokeKindOfMode(ToolMode mode, uint8_t& kind) {
  const ToolMode m = static_cast<ToolMode>(byteOf(mode) & kByteLookupMask);
  for (const SModeKind& row : kModeKinds) {
    if (row.mode == m) {
      kind = row.kind;
      return true;
    }
  }
  return false;
}

CCanvasShared::CCanvasShared() : stroke_(std::make_unique<TStroke>(2)), tones_(std::make_unique<CToneMngr>()) {
  stroke_->setWidth(kStartWidth);
  stroke_->setColor(0xFF000000u | mainColor_);
  stroke_->setSubColor(0xFF000000u | secondColor_);
}

CCanvasShared::~CCanvasShared() = default;

void CCanvasShared::usePenRender(CPenRender& render) { penTools_ = std::make_unique<CPenTools>(render); }

bool CCanvasShared::modeAvailable(ToolMode mode) const {
  const ToolId id = toolIdOfMode(mode);
  if (toolClassOf(id) == ToolClass::None) return false;
  if (toolClassOf(id) == ToolClass::Seed && !seedFill) return false;
  if (toolClassOf(id) == ToolClass::Text && !runTextTool) return false;
  return true;
}

bool CCanvasShared::selectMode(ToolMode mode) {
  if (!modeAvailable(mode)) return false;
  uint8_t kind = 0;
  if (strokeKindOfMode(mode, kind)) stroke_->setKind(kind);
  mode_ = static_cast<ToolMode>(byteOf(mode) & kByteLookupMask);
  return selectTool(toolIdOfMode(mode));
}

bool CCanvasShared::selectTool(ToolId id) {
  if (toolClassOf(id) == ToolClass::None) return false;
  tool_ = static_cast<ToolId>(byteOf(id) & kByteLookupMask);
  // A copy: ending a tool may close windows' strokes, never the list.
  const std::vector<TDrawWindow*> list = windows_;
  for (TDrawWindow* w : list) w->selectToolHandlers(true);
  if (onToolChanged) onToolChanged();
  return true;
}

void CCanvasShared::selectToolQuiet(ToolId id) {
  if (toolClassOf(id) == ToolClass::None) return;
  tool_ = static_cast<ToolId>(byteOf(id) & kByteLookupMask);
  if (onToolChanged) onToolChanged();
}

void CCanvasShared::setMainColor(uint32_t pixel) {
  mainColor_ = pixel & 0x00FFFFFFu;
  stroke_->setColor(0xFF000000u | mainColor_);
  if (onColorsChanged) onColorsChanged();
}

void CCanvasShared::setSecondColor(uint32_t pixel) {
  secondColor_ = pixel & 0x00FFFFFFu;
  stroke_->setSubColor(0xFF000000u | secondColor_);
  if (onColorsChanged) onColorsChanged();
}

std::string CCanvasShared::untitledName() { return formatRes(kResUntitledName, {++untitledCount_}); }

void CCanvasShared::addWindow(TDrawWindow* w) {
  if (w != nullptr && std::find(windows_.begin(), windows_.end(), w) == windows_.end()) windows_.push_back(w);
}

void CCanvasShared::removeWindow(TDrawWindow* w) { std::erase(windows_, w); }

}  // namespace pg
