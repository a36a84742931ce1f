#include "toolwin/event_log_list.h"

#include <algorithm>

#include "ui/channel_ops.h"
#include "ui/glyph_manager.h"
#include "ui/memory_graphic.h"

namespace pg {

CEventLogList::CEventLogList(TEventLogModel& log) : log_(log) {
  setAllowedStyles((1u << kListSmallRows) | (1u << kListText));
  setOptions(kListKeepActive);
  setStyleImageSize(kListSmallRows, SSize{20, 20});
  setDisplayStyle(kListSmallRows);
}

std::string CEventLogList::getItemName(int32_t i) const { return isValidIndex(i) ? log_.rowName(i) : std::string(); }

void CEventLogList::drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t, int32_t i) {
  const TPgGlyphManager* glyphs = glyphManager();
  if (glyphs == nullptr || !isValidIndex(i)) return;
  const TMemoryGraphic& glyph = glyphs->glyph(log_.item(i).icon, 0);
  const int32_t w = std::min(glyph.width(), r.Right - r.Left), h = std::min(glyph.height(), r.Bottom - r.Top);
  const int32_t x = r.Left + (r.Right - r.Left - w) / 2, y = r.Top + (r.Bottom - r.Top - h) / 2;
  g.blendFrom(x, y, w, h, glyph, 0, 0, lerpChannel, keepChannel);
}

// The newest row stays the active one; a click only presses a row.
bool CEventLogList::setActiveIndex(int32_t i) {
  if (!isValidIndex(i)) return false;
  pressed_ = i;
  doChange();
  return true;
}

}  // namespace pg
