#include "toolwin/event_panel.h"

#include "canvas/canvas_shared.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "toolwin/tool_tables.h"

namespace pg {

namespace {
constexpr uint32_t kResEvent = 65266;   // "イベント"
constexpr uint32_t kResPlay = 65325;    // "再生"
constexpr uint32_t kResPause = 65326;   // "一時停止"
}  // namespace

bool CEventPanelModel::setReplaying(bool on, bool newFormat) {
  if (on == replaying_ && (!on || newFormat == newFormat_)) return false;
  replaying_ = on;
  newFormat_ = on && newFormat;
  paused_ = false;
  if (on) {
    done_ = 0;
    total_ = 0;
  }
  return true;
}

std::string CEventPanelModel::caption() const {
  if (!replaying_) return resString(kResEvent);
  return formatText("%s - %s", {resString(kResEvent), resString(paused_ ? kResPause : kResPlay)});
}

void CEventPanelModel::setProgress(uint32_t done, uint32_t total) {
  total_ = total;
  done_ = done < total ? done : total;
}

bool CEventPanelModel::setBrush(const SReplayedBrush& brush) {
  if (brush == brush_) return false;
  brush_ = brush;
  return true;
}

uint8_t CEventPanelModel::brushGlyph() const {
  // The glyph of the first tool mode that paints with the stroke's kind.
  for (int m = 0; m < kToolModeCount; ++m) {
    uint8_t kind = 0;
    if (strokeKindOfMode(ToolMode(m), kind) && kind == brush_.strokeKind) return glyphOfMode(ToolMode(m));
  }
  return glyphOfMode(ToolMode::Pencil);
}

}  // namespace pg
