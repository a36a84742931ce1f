#pragma once
// The event log as an item list: one row per log row, the event's glyph and
// its text ("name × count"), the newest row active. The rows are the log
// model's; the list only shows them, so none is dragged, renamed or edited.
#include "toolwin/event_log.h"
#include "toolwin/item_list.h"

namespace pg {

class CEventLogList final : public CItemList {
 public:
  explicit CEventLogList(TEventLogModel& log);
  TEventLogModel& log() { return log_; }

  int32_t getCount() const override { return log_.count(); }
  uint32_t getItemFlags(int32_t) const override { return kItemNoDrag | kItemFixed | kItemNoLabel | kItemNoEdit; }
  std::string getItemName(int32_t i) const override;
  void drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t state, int32_t i) override;
  int32_t getActiveIndex() const override { return log_.selected(); }
  bool setActiveIndex(int32_t i) override;
  int32_t listKind() const override { return 20; }

 private:
  TEventLogModel& log_;
};

}  // namespace pg
