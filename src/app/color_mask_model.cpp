#include "app/color_mask_model.h"

#include <algorithm>

namespace pg {

namespace {
SColorRangeEntry entryOf(uint32_t colour, bool add, int32_t range) {
  SColorRangeEntry e;
  e.color = colour & 0xFFFFFFu;
  e.add = add ? 1 : 0;
  e.range = static_cast<uint8_t>(std::clamp(range, 0, 255));
  return e;
}
}  // namespace

void CColorMaskModel::reset(uint32_t colour, int32_t range) {
  mode_ = ColorMaskMode::New;
  range_ = std::clamp(range, 0, 255);
  entries_.assign(1, entryOf(colour, true, range_));
  full_ = true;
  clearFirst_ = false;
  timerDue_ = false;
}

ColorMaskMode CColorMaskModel::effectiveMode(bool shift, bool ctrl) const {
  if (mode_ != ColorMaskMode::New) return mode_;
  if (shift && ctrl) return ColorMaskMode::Pan;
  if (shift) return ColorMaskMode::Add;
  if (ctrl) return ColorMaskMode::Remove;
  return ColorMaskMode::New;
}

ColorPick CColorMaskModel::pick(uint32_t pixel, ColorMaskMode mode) {
  if ((pixel >> 24) == 0 || mode == ColorMaskMode::Pan) return ColorPick::Ignored;
  const uint32_t colour = pixel & 0xFFFFFFu;
  if (mode == ColorMaskMode::New) {
    entries_.assign(1, entryOf(colour, true, range_));
    clearFirst_ = true;
    return ColorPick::Replaced;
  }
  const uint8_t add = mode == ColorMaskMode::Add ? 1 : 0;
  const auto same = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const SColorRangeEntry& e) { return e.color == colour && e.add == add; });
  if (same != entries_.end()) {
    entries_.erase(same);
    full_ = true;
    return ColorPick::Removed;
  }
  if (entries_.size() >= kColorRangeMaxEntries) return ColorPick::TableFull;
  entries_.push_back(entryOf(colour, add != 0, range_));
  return ColorPick::Added;
}

void CColorMaskModel::setRange(int32_t range) {
  range = std::clamp(range, 0, 255);
  if (range == range_) return;
  range_ = range;
  if (!entries_.empty()) entries_.back().range = static_cast<uint8_t>(range);
  timerDue_ = true;
}

SColorRangeSettings CColorMaskModel::settings(bool composedSource) const {
  SColorRangeSettings s;
  s.count = static_cast<uint32_t>(entries_.size());
  s.source = composedSource ? 1 : 0;
  return s;
}

}  // namespace pg
