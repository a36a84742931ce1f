#include "toolwin/event_log.h"

#include <algorithm>

#include "platform/message_service.h"
#include "record/event_vocabulary.h"

namespace pg {

TEventLogModel::Change TEventLogModel::addEvent(uint8_t code) {
  if (!enabled_ || capacity_ <= 0) return Change::None;
  if (code == 0 || code == kLogCodeUndo || code == kLogCodeLayerActivate || code == kLogCodeMaskActivate)
    return Change::None;
  if (last_ != nullptr && last_->silent && code == kLogCodeStroke) {
    ++last_->count;
    return last_->count % 10 == 0 ? Change::Counted : Change::Quiet;
  }
  if (last_ != nullptr && last_->code == code) {
    ++last_->count;
    return Change::Counted;
  }
  auto item = std::make_unique<TEventItem>();
  item->code = code;
  item->name = eventDisplayName(code);
  item->icon = eventIconOf(code);
  item->silent = code == kLogCodeStroke;
  while (!items_.empty() && count() >= capacity_) items_.erase(items_.begin());
  last_ = item.get();
  items_.push_back(std::move(item));
  return Change::Appended;
}

void TEventLogModel::clear() {
  items_.clear();
  last_ = nullptr;
}

void TEventLogModel::setCapacity(int32_t n) {
  capacity_ = std::clamp(n, 0, kEventLogMaxCapacity);
  if (count() > capacity_) items_.erase(items_.begin(), items_.begin() + (count() - capacity_));
  if (items_.empty()) last_ = nullptr;
}

std::string TEventLogModel::rowName(int32_t i) const {
  const TEventItem& it = item(i);
  if (it.count < 2) return it.name;
  return formatText("%s %s %d", {it.name, std::string("×"), it.count});
}

}  // namespace pg
