#pragma once
// The event log of the tool window: the most recent drawing events, one row
// per run of equal events with a repeat count. Replay and the main window
// add every event they perform; the list widget shows the rows.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pg {

// Codes of the log: event name indices (0..133).
inline constexpr uint8_t kLogCodeStroke = 70;         // a stroke or its points: counted quietly
inline constexpr uint8_t kLogCodeUndo = 3;            // never logged
inline constexpr uint8_t kLogCodeLayerActivate = 29;  // never logged
inline constexpr uint8_t kLogCodeMaskActivate = 117;  // never logged
inline constexpr int32_t kEventLogMaxCapacity = 50;

struct TEventItem {
  uint8_t code = 0;
  std::string name;     // the event's display name
  uint8_t icon = 0;     // the event's image number
  bool silent = false;  // a stroke: the row is redrawn only every tenth count
  int32_t count = 1;
};

class TEventLogModel {
 public:
  // What an addition changed, for the list widget.
  enum class Change : uint8_t {
    None,     // nothing (disabled, no capacity, or a code that is never logged)
    Quiet,    // the last row counted on without a redraw
    Counted,  // the last row's count changed
    Appended, // a new row, selected and scrolled into view (older rows may have gone)
  };

  TEventLogModel() { items_.reserve(10); }

  Change addEvent(uint8_t code);
  void clear();
  int32_t capacity() const { return capacity_; }
  // Clamped to 0..50; the oldest rows beyond it go.
  void setCapacity(int32_t n);
  bool enabled() const { return enabled_; }
  void setEnabled(bool on) { enabled_ = on; }

  int32_t count() const { return int32_t(items_.size()); }
  const TEventItem& item(int32_t i) const { return *items_[size_t(i)]; }
  // The row's text: the name, and "× count" from the second on.
  std::string rowName(int32_t i) const;
  // The selected row (the last one appended); -1 when empty.
  int32_t selected() const { return count() - 1; }

 private:
  std::vector<std::unique_ptr<TEventItem>> items_;
  TEventItem* last_ = nullptr;
  int32_t capacity_ = kEventLogMaxCapacity;
  bool enabled_ = true;
};

}  // namespace pg
